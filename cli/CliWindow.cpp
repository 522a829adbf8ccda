// The command line's progress bar.
#include "CliWindow.h"

#include <cstdint>

CliWindow::CliWindow(std::FILE* err, bool showProgress)
    : m_err(err), m_showProgress(showProgress) {}

void CliWindow::Choose(const std::vector<std::string>& lists,
                       const std::vector<std::string>& refs) {
    m_inputFiles = lists;
    m_inputCount = static_cast<int>(lists.size());
    m_refFiles = refs;
    m_refCount = static_cast<int>(refs.size());
}

void CliWindow::SetStatusText(const std::string& text) {
    m_status = text;
    m_drawn = -1;
    DrawProgress();
}

void CliWindow::SetProgressRange(int, int high) {
    m_high = high > 0 ? high : 1;
}

void CliWindow::SetProgressPos(int pos) {
    m_pos = pos;
    DrawProgress();
}

// A list's summary arrives at the end of the scale; its report follows.
void CliWindow::DrawProgress() {
    if (!m_showProgress || m_pos < 0 || m_pos >= m_high || m_status.empty()) return;
    const int perMille = static_cast<int>(int64_t{m_pos} * 1000 / m_high);
    if (perMille == m_drawn) return;  // each redraw costs a terminal write
    m_drawn = perMille;
    std::fprintf(m_err, "\r\033[K%s %5.1f%%", m_status.c_str(), perMille / 10.0);
    std::fflush(m_err);
}

void CliWindow::ClearProgress() {
    if (!m_showProgress || m_drawn < 0) return;
    std::fprintf(m_err, "\r\033[K");
    std::fflush(m_err);
    m_drawn = -1;
}
