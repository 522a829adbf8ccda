// The results dialog for Windows; see CWinResultsDlg.h.
#include "CWinResultsDlg.h"

#include "Accessible.h"
#include "WideText.h"
#include "resource.h"

namespace {
// An edit box breaks lines at CR LF only.
std::wstring WithCrLf(const std::string& text) {
    std::wstring shown;
    for (const wchar_t c : Wide(text)) {
        if (c == L'\n') shown += L'\r';
        shown += c;
    }
    return shown;
}
}  // namespace

INT_PTR CWinResultsDlg::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetBackgroundColor(RGB(176, 184, 192));
            SetDragAnywhere(true);
            m_close.Attach(Handle(), IDCANCEL);
            const HWND text = ::GetDlgItem(Handle(), IDC_RESULTS_TEXT);
            SetAccessibleName(text, L"results of the last run");
            ::SetWindowTextW(text, m_results.empty() ? L"no run yet" : WithCrLf(m_results).c_str());
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) ::EndDialog(Handle(), IDOK);
            return TRUE;
        case WM_DRAWITEM:
            m_close.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return CWinVelDialog::Message(message, wParam, lParam);
    }
}
