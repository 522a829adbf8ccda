// The command line's progress bar.
#include "CliProgress.h"

#include <algorithm>

using namespace lintrim;

namespace {
// The share of a list's time each stage takes, about, in their order.
struct StageShare {
    const char* name;
    double from;
    double width;
};
constexpr StageShare kShares[] = {
    {"reading", 0.0, 0.4}, {"grouping", 0.4, 0.2}, {"sorting", 0.6, 0.1}, {"writing", 0.7, 0.3}};

const StageShare& ShareOf(Stage stage) {
    return kShares[static_cast<size_t>(stage)];
}
}  // namespace

CliProgress::CliProgress(std::FILE* err, bool showProgress)
    : m_err(err), m_showProgress(showProgress) {}

void CliProgress::StartList() {
    m_started = false;
    m_listStart = Clock::now();
    m_bytesRead = 0;
    m_drawn = -1;
}

void CliProgress::SetStage(Stage stage) {
    m_started = true;
    m_stage = stage;
    m_stageDone = 0;
    m_drawn = -1;
    Draw();
}

void CliProgress::SetProgress(const StageProgress& at) {
    if (at.stage != m_stage || at.total == 0) return;
    m_stageDone = std::min(1.0, static_cast<double>(at.done) / static_cast<double>(at.total));
    if (at.stage == Stage::kLoading && at.bytes) m_bytesRead = at.done;
    Draw();
}

void CliProgress::Draw() {
    if (!m_showProgress || !m_started) return;
    const StageShare& share = ShareOf(m_stage);
    const double done = share.from + share.width * m_stageDone;
    const int perMille = static_cast<int>(done * 1000);
    if (perMille == m_drawn || perMille >= 1000) return;  // each redraw costs a terminal write
    m_drawn = perMille;
    std::fprintf(m_err, "\r\033[K%s %5.1f%%%s", share.name, perMille / 10.0, Pace(done).c_str());
    std::fflush(m_err);
}

// The stages run at uneven paces, so the time left is a rough guess from
// the pace so far; it is shown only on long runs.
std::string CliProgress::Pace(double done) const {
    constexpr double kShownAfter = 3.0;  // seconds
    const double seconds = std::chrono::duration<double>(Clock::now() - m_listStart).count();
    if (seconds < kShownAfter || done <= 0) return {};
    char text[96];
    int used = std::snprintf(text, sizeof text, ", %.0f s in", seconds);
    if (m_stage == Stage::kLoading && m_bytesRead > 0)
        used += std::snprintf(text + used, sizeof text - static_cast<size_t>(used), ", %.0f MB/s",
                              static_cast<double>(m_bytesRead) / seconds / 1e6);
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
