// The results of the last run in a dialog of the window's skin
// (IDD_RESULTS): every list a line, read-only, and a button to close it.
#pragma once

#include <string>

#include "CWinSkinButton.h"
#include "CWinVelDialog.h"

class CWinResultsDlg : public CWinVelDialog {
public:
    explicit CWinResultsDlg(std::string results) : m_results(std::move(results)) {}

protected:
    INT_PTR Message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::string m_results;
    CWinSkinButton m_close;
};
