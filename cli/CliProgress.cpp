// The command line's progress bar.
#include "CliProgress.h"

#include "api/ProgressScale.h"

#include <cstdint>

CliProgress::CliProgress(std::FILE* err, bool showProgress)
    : m_err(err), m_showProgress(showProgress) {}

void CliProgress::SetStage(const std::string& text) {
    m_status = text;
    m_drawn = -1;
    DrawProgress();
}

void CliProgress::StartRange() {
    ++m_ranges;
    m_rangeStart = std::chrono::steady_clock::now();
    m_pos = 0;
}

void CliProgress::SetPosition(int position) {
    m_pos = position;
    DrawProgress();
}

// A list's summary arrives at the end of the scale; its report follows.
void CliProgress::DrawProgress() {
    if (!m_showProgress || m_pos < 0 || m_pos >= progress::kHigh || m_status.empty()) return;
    const int perMille = static_cast<int>(int64_t{m_pos} * 1000 / progress::kHigh);
    if (perMille == m_drawn) return;  // each redraw costs a terminal write
    m_drawn = perMille;
    std::fprintf(m_err, "\r\033[K%s %5.1f%%%s", m_status.c_str(), perMille / 10.0, Pace().c_str());
    std::fflush(m_err);
}

// The scale runs at an uneven pace through the stages, so the time left is
// a rough guess from the pace so far; it is shown only on long runs.
std::string CliProgress::Pace() const {
    constexpr double kShownAfter = 3.0;  // seconds
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_rangeStart).count();
    if (seconds < kShownAfter || m_pos <= 0) return {};
    const double done = static_cast<double>(m_pos) / progress::kHigh;
    char text[96];
    int used = std::snprintf(text, sizeof text, ", %.0f s in", seconds);
    if (m_ranges > 0 && m_ranges <= m_rangeBytes.size() && m_rangeBytes[m_ranges - 1] > 0)
        used +=
            std::snprintf(text + used, sizeof text - static_cast<size_t>(used), ", %.0f MB/s",
                          static_cast<double>(m_rangeBytes[m_ranges - 1]) * done / seconds / 1e6);
    std::snprintf(text + used, sizeof text - static_cast<size_t>(used), ", about %.0f s left",
                  seconds * (1 - done) / done);
    return text;
}

void CliProgress::Clear() {
    if (!m_showProgress || m_drawn < 0) return;
    std::fprintf(m_err, "\r\033[K");
    std::fflush(m_err);
    m_drawn = -1;
}
