// The shared request sequences of the window's jobs.
#include "WindowRequests.h"

#include "ControlIds.h"

using namespace lintrim;

void LockControls(JobWindow& window) {
    window.EnableControl(IDC_GO, false);
    window.EnableControl(IDC_STATUS, true);
    window.EnableControl(IDC_BROWSE_INPUT, false);
    window.EnableControl(IDC_USE_REF, false);
    window.EnableControl(IDC_DEL_SINGLE, false);
    window.SetSingleTextReadOnly(true);
    window.EnableControl(IDC_ALPHABETIZE, false);
    window.EnableControl(IDC_BY_FREQUENCY, false);
    window.AcceptDroppedFiles(false);
}

void UnlockControls(JobWindow& window, bool goFirst) {
    window.AccessSelection([&] {
        window.m_inputFiles.clear();
        window.m_inputCount = 0;
    });
    if (goFirst) window.EnableControl(IDC_GO, true);
    window.EnableControl(IDC_BROWSE_INPUT, true);
    window.EnableControl(IDC_USE_REF, true);
    window.EnableControl(IDC_BY_FREQUENCY, true);
    window.EnableControl(IDC_DEL_SINGLE, true);
    window.SetSingleTextReadOnly(false);
    window.EnableControl(IDC_ALPHABETIZE, true);
    if (!goFirst) window.EnableControl(IDC_GO, true);
    window.AcceptDroppedFiles(true);
}

void GiveWindowBack(JobWindow& window, const std::string& statusText) {
    try {
        window.EnableControl(IDC_GO, true);
        window.EnableControl(IDC_BROWSE_INPUT, true);
        window.SetStatusText(statusText);
        window.AcceptDroppedFiles(true);
        window.EnableControl(IDC_USE_REF, true);
        window.EnableControl(IDC_BY_FREQUENCY, true);
        window.EnableControl(IDC_DEL_SINGLE, true);
        window.SetSingleTextReadOnly(false);
        window.EnableControl(IDC_ALPHABETIZE, true);
    } catch (const JobCancelled&) {
    }
}
