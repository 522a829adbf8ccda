// The Windows window's menu, on a right click, Shift+F10 or the menu key:
// the options dialog (its choices kept between runs), a stop of the running
// job, and the results of the last run, also in the status line's tool tip.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "CWinMainDlg.h"
#include "CWinOptionsDlg.h"
#include "CWinResultsDlg.h"
#include "ControlIds.h"
#include "WideText.h"
#include "WinSettings.h"
#include "WindowEvents.h"
#include "WindowTexts.h"
#include "resource.h"

using namespace lintrim;

void CWinMainDlg::ShowMenu(POINT at) {
    // From the keyboard the menu opens at the window's corner.
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ::ClientToScreen(Handle(), &at);
    }
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING | (HasJob() ? MF_GRAYED : 0), IDM_OPTIONS, L"&Options...");
    ::AppendMenuW(menu, MF_STRING | (HasJob() ? 0 : MF_GRAYED), IDM_STOP, L"&Stop\tCtrl+.");
    ::AppendMenuW(menu, MF_STRING, IDM_RESULTS, L"&Results...");
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(),
                     nullptr);
    ::DestroyMenu(menu);
}

// A run takes the options as they are when it starts.
void CWinMainDlg::OnOptions() {
    if (HasJob()) return;
    CWinOptionsDlg dialog(m_options);
    if (dialog.Run(IDD_OPTIONS, Handle()) != IDOK) return;
    m_options = dialog.Chosen();
    SaveOptions(m_options);
}

void CWinMainDlg::OnResults() {
    CWinResultsDlg dialog(WindowEvents::ResultsText(m_results));
    dialog.Run(IDD_RESULTS, Handle());
}

void CWinMainDlg::OnHelp() {
    ::MessageBoxW(Handle(), Wide(window_text::kHelp).c_str(), Wide(window_text::kTitle).c_str(),
                  MB_OK | MB_ICONINFORMATION);
}

// The status line's tool tip: a tool over the line's place on the window,
// which the line, taking no pointer input, leaves to the window.
void CWinMainDlg::CreateStatusTip() {
    m_statusTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_statusTip, TTM_SETMAXTIPWIDTH, 0, 600);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = IDC_STATUS;
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_statusTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    UpdateStatusTip();
}

void CWinMainDlg::UpdateStatusTip() {
    if (m_statusTip == nullptr) return;
    std::wstring results = Wide(WindowEvents::ResultsText(m_results));
    while (!results.empty() && results.back() == L'\n') results.pop_back();
    std::wstring tip = m_statusTipText;
    if (!tip.empty() && !results.empty()) tip += L'\n';
    tip += results;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Handle();
    tool.uId = IDC_STATUS;
    const HWND status = Control(IDC_STATUS);
    ::GetWindowRect(status, &tool.rect);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&tool.rect), 2);
    ::SendMessageW(m_statusTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = tip.data();
    ::SendMessageW(m_statusTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}
