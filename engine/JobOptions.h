// What a job is asked to do besides the lists: the options a job reads at
// fixed moments of its run (as the window's check boxes are read), and the
// plan of where the result goes, which only the command line sets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "JobWindow.h"

struct RunPlan {
    // The one file the lists are merged into ("-": standard output); none:
    // each list is replaced by its own result.
    std::optional<std::string> output;
    std::string lineEnd = "\r\n";
    std::optional<uint64_t> minLength;  // bytes, the line break not counted
    std::optional<uint64_t> maxLength;
    // Where every removed line goes, in file order; none: nowhere.
    std::optional<std::string> removed;

    bool HasLengthFilter() const { return minLength || maxLength; }
};

class JobOptions {
public:
    virtual ~JobOptions() = default;
    // Read once, before the controls are locked.
    virtual bool ByFrequency() = 0;
    // Read for each list, when its kept lines are about to be ordered.
    virtual bool Alphabetize() = 0;
    // The single-line job's line, read once the controls are locked.
    virtual std::string SingleLine() = 0;
    virtual const RunPlan& Plan() const = 0;
};

// The window's options: its check boxes and its line box, read through the
// window's requests; the result replaces each list.
class WindowOptions : public JobOptions {
public:
    explicit WindowOptions(JobWindow& window) : m_window(window) {}
    bool ByFrequency() override;
    bool Alphabetize() override;
    std::string SingleLine() override { return m_window.GetSingleText(); }
    const RunPlan& Plan() const override { return m_plan; }

private:
    JobWindow& m_window;
    RunPlan m_plan;
};

// Options given as data (the command line).
class FixedOptions : public JobOptions {
public:
    FixedOptions(bool byFrequency, bool alphabetize, std::string singleLine, RunPlan plan)
        : m_byFrequency(byFrequency),
          m_alphabetize(alphabetize),
          m_singleLine(std::move(singleLine)),
          m_plan(std::move(plan)) {}
    bool ByFrequency() override { return m_byFrequency; }
    bool Alphabetize() override { return m_alphabetize; }
    std::string SingleLine() override { return m_singleLine; }
    const RunPlan& Plan() const override { return m_plan; }

private:
    bool m_byFrequency;
    bool m_alphabetize;
    std::string m_singleLine;
    RunPlan m_plan;
};
