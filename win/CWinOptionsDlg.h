// The window's options in a dialog of the same skin (IDD_OPTIONS): how lines
// end, where each result goes, whether the removed lines are kept, how lines
// are compared, which lengths stay, and how much memory a run may take. The
// user's choice is read back with Chosen() once the dialog ended with OK.
#pragma once

#include "CWinSkinButton.h"
#include "CWinVelDialog.h"
#include "WindowJob.h"

class CWinOptionsDlg : public CWinVelDialog {
public:
    explicit CWinOptionsDlg(const WindowOptions& options) : m_options(options) {}

    const WindowOptions& Chosen() const { return m_options; }

protected:
    INT_PTR Message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void OnCommand(int id, int code);
    void ShowBesideName();
    void ChooseRemovedFile();
    void ReadChoice();
    std::string Text(int id) const;
    uint64_t Number(int id) const;

    WindowOptions m_options;
    CWinSkinButton m_ok;
    CWinSkinButton m_cancel;
    CWinSkinButton m_browseRemoved;
};
