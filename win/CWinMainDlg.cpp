// The Windows window's construction and messages: its controls from the
// template, its start-up state, the texts it draws itself, its keys and the
// handlers of the user's choices, which are the Qt window's (WindowChoices).
#include "CWinMainDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "Accessible.h"
#include "ControlIds.h"
#include "SkinProgress.h"
#include "WideText.h"
#include "WinFileChooser.h"
#include "WinSettings.h"
#include "WindowChoices.h"
#include "WindowTexts.h"
#include "resource.h"

using namespace lintrim;

namespace {
constexpr int kSingleLineMaxChars = 40;
constexpr int kSnapDistance = 30;
constexpr COLORREF kBackground = RGB(176, 184, 192);
// Greyed text dark enough to read on that background, as in the Qt window.
constexpr COLORREF kGrayText = RGB(64, 68, 76);
// The progress bar on the face, in the highlight of the Qt window's style.
constexpr ProgressColours kProgressColours{kBackground, RGB(48, 140, 198)};

// Tab goes through the controls as they stand, row by row, left to right.
const int kTabOrder[] = {IDC_BROWSE_INPUT, IDC_GO,          IDC_USE_REF,      IDC_BROWSE_REF,
                         IDC_DEL_SINGLE,   IDC_SINGLE_TEXT, IDC_BY_FREQUENCY, IDC_ALPHABETIZE};

// Text drawn in a single line, as the control's alignment wants it.
UINT Alignment(int id, bool fits) {
    switch (id) {
        case IDC_REF_CAPTION:
            return DT_RIGHT;
        case IDC_STATUS:
            return fits ? DT_CENTER : DT_LEFT;
        default:
            return DT_CENTER;
    }
}
}  // namespace

CWinMainDlg::CWinMainDlg()
    : m_hIcon(
          static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN),
                                          IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))),
      m_hSmallIcon(static_cast<HICON>(
          ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                       ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0))),
      m_keys(::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_KEYS))),
      m_windowThread(::GetCurrentThreadId()),
      m_options(LoadOptions()),
      m_requests([this] { ::PostMessageW(Handle(), kWmRequests, 0, 0); }) {}

CWinMainDlg::~CWinMainDlg() {
    if (m_worker.joinable()) m_worker.join();
    if (m_hIcon) ::DestroyIcon(m_hIcon);
    if (m_hSmallIcon) ::DestroyIcon(m_hSmallIcon);
}

HWND CWinMainDlg::Create() {
    return CWinVelDialog::Create(IDD_MAIN, nullptr);
}

bool CWinMainDlg::TakeMessage(MSG& message) {
    if (Handle() == nullptr) return false;
    if (m_keys && ::TranslateAcceleratorW(Handle(), m_keys, &message)) return true;
    return ::IsDialogMessageW(Handle(), &message) != FALSE;
}

INT_PTR CWinMainDlg::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_STATIC) DrawStatic(item);
            for (const CWinSkinButton* button : {&m_browseInput, &m_browseRef, &m_go})
                if (button->Handle() == item.hwndItem) button->Draw(item);
            return TRUE;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_CONTEXTMENU:
            ShowMenu({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_DPICHANGED:
            // The system scales the template's layout and font; what the
            // window made itself follows once it has.
            ::PostMessageW(Handle(), kWmDpiChanged, 0, 0);
            return CWinVelDialog::Message(message, wParam, lParam);
        case kWmDpiChanged:
            for (CWinSkinButton* button : {&m_browseInput, &m_browseRef, &m_go})
                button->DpiChanged();
            UpdateStatusTip();
            return TRUE;
        case kWmRequests:
            m_requests.Serve();
            return TRUE;
        case kWmJobEnded:
            OnJobEnded();
            return TRUE;
        default:
            return CWinVelDialog::Message(message, wParam, lParam);
    }
}

bool CWinMainDlg::OnInitDialog() {
    SetGrayTextColor(kGrayText);
    SetBackgroundColor(kBackground);
    SetTopmost(true);
    SetDragAnywhere(true);
    SetSnapDistance(kSnapDistance);
    m_refCount = 0;
    m_inputCount = 0;
    m_browseInput.Attach(Handle(), IDC_BROWSE_INPUT);
    m_browseRef.Attach(Handle(), IDC_BROWSE_REF);
    m_go.Attach(Handle(), IDC_GO);
    m_browseInput.SetIcon(IDI_BROWSE);
    m_browseRef.SetIcon(IDI_BROWSE);
    ::EnableWindow(Control(IDC_BROWSE_REF), FALSE);
    ::EnableWindow(Control(IDC_REF_CAPTION), FALSE);
    ::SendMessageW(Control(IDC_SINGLE_TEXT), EM_LIMITTEXT, kSingleLineMaxChars, 0);
    ::SendMessageW(Control(IDC_SINGLE_TEXT), EM_SETREADONLY, TRUE, 0);
    ::SetDlgItemTextW(Handle(), IDC_STATUS, Wide(window_text::kCredit).c_str());
    const HWND progress = Control(IDC_PROGRESS);
    SkinProgressBar(progress, kProgressColours);
    ::SendMessageW(progress, PBM_SETRANGE32, 0, 100);
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    AcceptDroppedFiles(true);
    SetTabOrder();
    SetAccessibleTexts();
    CreateStatusTip();
    return true;
}

void CWinMainDlg::SetTabOrder() {
    HWND after = HWND_TOP;
    for (const int id : kTabOrder) {
        ::SetWindowPos(Control(id), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = Control(id);
    }
}

// The browse buttons show an icon; their text is their name for a screen
// reader. Every such control also gets its description as a tool tip.
void CWinMainDlg::SetAccessibleTexts() {
    for (const window_text::AccessibleText& text : window_text::kAccessible) {
        const HWND control = Control(text.id);
        SetAccessibleName(control, Wide(text.name));
        SetAccessibleDescription(control, Wide(text.description));
    }
    ::SetDlgItemTextW(Handle(), IDC_BROWSE_INPUT, L"choose input lists");
    ::SetDlgItemTextW(Handle(), IDC_BROWSE_REF, L"choose reference lists");
    m_browseInput.SetTipText(Wide(window_text::kAccessible[0].description));
    m_browseRef.SetTipText(Wide(window_text::kAccessible[1].description));
    m_go.SetTipText(Wide(window_text::kAccessible[2].description));
    for (const int caption : {IDC_INPUT_CAPTION, IDC_REF_CAPTION}) {
        wchar_t text[64] = {};
        ::GetDlgItemTextW(Handle(), caption, text, 64);
        SetAccessibleName(Control(caption), Wide(SpokenCaption(Utf8(text))));
    }
}

void CWinMainDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED && id >= IDC_INPUT_CAPTION && id <= IDC_SINGLE_TEXT) return;
    switch (id) {
        case IDC_GO:
            return OnGo();
        case IDC_BROWSE_INPUT:
            return OnBrowseInput();
        case IDC_BROWSE_REF:
            return OnBrowseRef();
        case IDC_USE_REF:
            return UseRefClicked(*this);
        case IDC_BY_FREQUENCY:
            return ByFrequencyClicked(*this);
        case IDC_ALPHABETIZE:
            return AlphabetizeClicked(*this);
        case IDC_DEL_SINGLE:
            return DelSingleClicked(*this);
        case IDOK:
            return OnEnter();
        case IDCANCEL:
            return OnClose();
        case IDM_OPTIONS:
            return OnOptions();
        case IDM_STOP:
            return OnStop();
        case IDM_RESULTS:
            return OnResults();
        case IDM_HELP:
            return OnHelp();
        default:
            return;
    }
}

// Enter never closes the window, which would lose the user's choices: it
// presses the focused button or check box, and in the line's box presses go
// when go may be pressed. Escape still closes it.
void CWinMainDlg::OnEnter() {
    const HWND focus = ::GetFocus();
    wchar_t kind[16] = {};
    ::GetClassNameW(focus, kind, 16);
    if (::lstrcmpiW(kind, L"Button") == 0)
        ::SendMessageW(focus, BM_CLICK, 0, 0);
    else if (focus == Control(IDC_SINGLE_TEXT) && ::IsWindowEnabled(Control(IDC_GO)))
        ::SendMessageW(Control(IDC_GO), BM_CLICK, 0, 0);
}

// The texts whose colour follows their state: black, or the skin's grey
// when disabled, on the face colour.
void CWinMainDlg::DrawStatic(const DRAWITEMSTRUCT& item) const {
    wchar_t text[512] = {};
    ::GetWindowTextW(item.hwndItem, text, 512);
    RECT r = item.rcItem;
    ::SetBkColor(item.hDC, BackgroundColor());
    ::ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, TextColor(::IsWindowEnabled(item.hwndItem) != FALSE));
    HGDIOBJ old = ::SelectObject(
        item.hDC, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    const bool fits = item.CtlID != IDC_STATUS || m_statusFits;
    ::DrawTextW(item.hDC, text, -1, &r,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | Alignment(item.CtlID, fits));
    ::SelectObject(item.hDC, old);
}

void CWinMainDlg::SetInputCaptionForCount() {
    SetCaptionText(IDC_INPUT_CAPTION, InputCaptionText(*this));
}

void CWinMainDlg::SetRefCaptionForCount() {
    SetCaptionText(IDC_REF_CAPTION, RefCaptionText(m_refCount));
}

void CWinMainDlg::OnBrowseInput() {
    const std::vector<std::string> chosen =
        ChooseFiles(Handle(), ListChooserRequest(L"Single/Combo wordlists (*.txt)"));
    if (chosen.empty()) return;
    AddInputLists(*this, chosen);
    SetInputCaptionForCount();
    EnableControl(IDC_GO, true);
}

void CWinMainDlg::OnBrowseRef() {
    const std::vector<std::string> chosen =
        ChooseFiles(Handle(), ListChooserRequest(L"Reference list (*.txt)"));
    if (chosen.empty()) return;
    // A job in progress copied the reference lists at its start and removes
    // only what it used, so this choice stays for the next run.
    AccessSelection([&] {
        for (const std::string& path : chosen) {
            m_refFiles.push_back(path);
            ++m_refCount;
        }
    });
    SetRefCaptionForCount();
    // While a job runs, go stays as the job left it; the job gives it back.
    if (!HasJob()) EnableGoForInputAndRefs(*this);
}

// Paths of any length: each is asked for its length first.
void CWinMainDlg::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
        ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(Utf8(path));
    }
    ::DragFinish(drop);
    // Refused while a job runs, as the drop is then off.
    if (m_acceptDrops) OnDropFiles(paths);
}

void CWinMainDlg::OnDropFiles(const std::vector<std::string>& paths) {
    AddInputLists(*this, paths);
    if (m_inputCount == 0) return;
    SetInputCaptionForCount();
    EnableGoAfterDrop(*this);
}

void CWinMainDlg::TakeStartPaths(const std::vector<std::string>& paths) {
    OnDropFiles(paths);
}
