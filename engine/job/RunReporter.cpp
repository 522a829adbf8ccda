// Events out, a stop in.
#include "job/RunReporter.h"

namespace lintrim {

void RunReporter::StopIfAsked() const {
    if (m_control && m_control->StopAsked()) throw RunStopped{};
}

void RunReporter::StageBegun(Stage stage) {
    m_events.StageBegun(stage);
    StopIfAsked();
}

void RunReporter::Progress(Stage stage, uint64_t done, uint64_t total, bool bytes) {
    m_events.Progress({stage, done, total, bytes});
    StopIfAsked();
}

bool RunReporter::ChooseAlphabetize(bool planned) {
    m_events.OrderToBeChosen();
    StopIfAsked();
    return m_control ? m_control->Alphabetize().value_or(planned) : planned;
}

void RowReporter::At(uint64_t done) {
    const uint64_t step = done / kRowsPerReport;
    if (m_reported && step == m_step) return;
    m_reported = true;
    m_step = step;
    m_reporter.Progress(m_stage, done, m_total);
}

}  // namespace lintrim
