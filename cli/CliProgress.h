// The command line's progress bar: on a terminal, the stage text and the
// percentage of the 0-5000 scale on standard error, with the rate and the
// time taken and left once a list has run a while.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CliProgress {
public:
    CliProgress(std::FILE* err, bool showProgress);

    // A new range of the scale begins (a list, or lists merged into one).
    void StartRange();
    void SetStage(const std::string& text);
    void SetPosition(int position);
    // The bytes each range stands for, in order (one a list, or one for
    // lists merged into one output), for the rate shown on long runs.
    void SetRangeBytes(std::vector<uint64_t> bytes) { m_rangeBytes = std::move(bytes); }
    // Takes the bar off the line, before a report is printed.
    void Clear();

private:
    void DrawProgress();
    // ", 9 s in, 41 MB/s, about 12 s left" once a range has run a while, else
    // empty.
    std::string Pace() const;

    std::FILE* m_err;
    bool m_showProgress;
    std::string m_status;
    int m_pos = -1;
    int m_drawn = -1;  // the per-mille last drawn
    std::vector<uint64_t> m_rangeBytes;
    size_t m_ranges = 0;  // ranges begun
    std::chrono::steady_clock::time_point m_rangeStart;
};
