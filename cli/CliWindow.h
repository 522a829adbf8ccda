// The window of the command line: the check boxes are set from the options,
// everything else is held in memory. Summaries are printed as they arrive;
// on a terminal, a progress bar on standard error follows each stage.
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "JobWindow.h"

class CliWindow : public JobWindow {
public:
    CliWindow(std::FILE* out, std::FILE* err, bool showProgress);

    void SetStatusText(const std::string& text) override;
    void SetCaptionText(int, const std::string&) override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPos(int pos) override;
    void EnableControl(int, bool) override {}
    void SetSingleTextReadOnly(bool) override {}
    void AcceptDroppedFiles(bool) override {}
    bool IsChecked(int checkBoxId) override;
    void SetChecked(int checkBoxId, bool checked) override;
    std::string GetSingleText() override { return m_singleText; }
    // Everything runs on the one thread of the command line.
    void AccessSelection(const std::function<void()>& access) override { access(); }

    void SetSingleText(std::string text) { m_singleText = std::move(text); }
    // The lists of the run, kept apart from the selection the job empties.
    void ChooseLists(const std::vector<std::string>& lists);

    // After the job: names the list the run stopped at, with the reason, on
    // standard error; false when it did.
    bool ReportOutcome();

private:
    void DrawProgress();
    void ClearProgress();

    std::FILE* m_out;
    std::FILE* m_err;
    bool m_showProgress;
    std::map<int, bool> m_checked;
    std::string m_singleText;
    std::vector<std::string> m_lists;
    std::string m_status;
    int m_high = 5000;
    int m_pos = -1;    // -1 once a list's summary is out
    int m_drawn = -1;  // the per-mille last drawn
    size_t m_summaries = 0;
};
