// The command line's window. A summary is recognised as the status text that
// follows the position 5000: the one a list gets once it is written.
#include "CliWindow.h"

CliWindow::CliWindow(std::FILE* out, std::FILE* err, bool showProgress)
    : m_out(out), m_err(err), m_showProgress(showProgress) {}

void CliWindow::ChooseLists(const std::vector<std::string>& lists) {
    m_lists = lists;
    m_inputFiles = lists;
    m_inputCount = static_cast<int>(lists.size());
}

bool CliWindow::IsChecked(int checkBoxId) {
    const auto found = m_checked.find(checkBoxId);
    return found != m_checked.end() && found->second;
}

void CliWindow::SetChecked(int checkBoxId, bool checked) {
    m_checked[checkBoxId] = checked;
}

void CliWindow::SetStatusText(const std::string& text) {
    m_status = text;
    if (m_pos == m_high && m_summaries < m_lists.size()) {
        ClearProgress();
        std::fprintf(m_out, "%s: %s\n", m_lists[m_summaries++].c_str(), text.c_str());
        std::fflush(m_out);
        m_pos = -1;
        return;
    }
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

bool CliWindow::ReportOutcome() {
    ClearProgress();
    if (m_inputCount == 0) return true;
    const std::string& list = m_summaries < m_lists.size() ? m_lists[m_summaries] : m_lists.back();
    std::fprintf(m_err, "%s: %s\n", list.c_str(), m_status.c_str());
    return false;
}

void CliWindow::DrawProgress() {
    if (!m_showProgress || m_pos < 0 || m_status.empty()) return;
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
