// The skinned dialog base for Windows; see CWinVelDialog.h.
//
// Windows proposes every new placement of a moving window
// (WM_WINDOWPOSCHANGING) before it is applied, so the snap runs there, for
// the title bar's drag and for the drag by the background alike: a press on
// the background is handed to the system as a press on the caption.
#include "CWinVelDialog.h"

#include <dwmapi.h>

namespace {
// Refresh the candidate edges when the last scan is older than this.
constexpr std::time_t kEdgeScanSeconds = 3;

// Windows whose frame is drawn by the system beyond their visible edges
// report their visible frame here; others (and Wine) their window rectangle.
RECT VisibleFrame(HWND window) {
    RECT r{};
    if (FAILED(::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)))
        ::GetWindowRect(window, &r);
    return r;
}

// A window the user sees: visible, not minimised, not hidden by the system.
bool IsShown(HWND window) {
    if (!::IsWindowVisible(window) || ::IsIconic(window)) return false;
    BOOL cloaked = FALSE;
    if (SUCCEEDED(::DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
        cloaked)
        return false;
    return true;
}

// A press on these children moves the window as a press on the background does.
bool IsBackgroundChild(HWND child) {
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    return ::lstrcmpiW(name, L"Static") == 0 || ::lstrcmpiW(name, L"msctls_progress32") == 0;
}
}  // namespace

CWinVelDialog::~CWinVelDialog() {
    if (m_bkBrush) ::DeleteObject(m_bkBrush);
}

HWND CWinVelDialog::Create(int templateId, HWND parent) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                &CWinVelDialog::Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CWinVelDialog::Run(int templateId, HWND parent) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                             &CWinVelDialog::Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CWinVelDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CWinVelDialog*>(lParam)->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<CWinVelDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;
    const INT_PTR result = self->Message(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->m_hwnd = nullptr;
    return result;
}

INT_PTR CWinVelDialog::Answer(LRESULT result) {
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CWinVelDialog::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            if (!m_customColors) return FALSE;
            RECT client;
            ::GetClientRect(m_hwnd, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, m_bkBrush);
            return Answer(TRUE);
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return m_customColors ? ControlColor(reinterpret_cast<HDC>(wParam)) : FALSE;
        case WM_LBUTTONDOWN:
            if (m_dragAnywhere) StartDrag({LOWORD(lParam), HIWORD(lParam)});
            return FALSE;
        case WM_PARENTNOTIFY:
            if (m_dragAnywhere && LOWORD(wParam) == WM_LBUTTONDOWN) {
                const POINT at{static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
                const HWND child = ::ChildWindowFromPointEx(m_hwnd, at, CWP_SKIPINVISIBLE);
                if (child != nullptr && child != m_hwnd && IsBackgroundChild(child)) StartDrag(at);
            }
            return FALSE;
        case WM_WINDOWPOSCHANGING:
            Snap(*reinterpret_cast<WINDOWPOS*>(lParam));
            return FALSE;
        default:
            return FALSE;
    }
}

// Every control is drawn in the skin's text colour on its face colour.
INT_PTR CWinVelDialog::ControlColor(HDC dc) {
    ::SetTextColor(dc, m_textColor);
    ::SetBkColor(dc, m_bkColor);
    return reinterpret_cast<INT_PTR>(m_bkBrush);
}

void CWinVelDialog::SetBackgroundColor(COLORREF color) {
    m_bkColor = color;
    if (m_bkBrush) ::DeleteObject(m_bkBrush);
    m_bkBrush = ::CreateSolidBrush(m_bkColor);
    m_customColors = true;
    if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CWinVelDialog::SetTextColor(COLORREF color) {
    m_textColor = color;
    SetBackgroundColor(m_bkColor);
}

void CWinVelDialog::SetTopmost(bool on) {
    ::SetWindowPos(m_hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

// The system moves the window with the pointer as if its caption had been
// grabbed; each step passes through WM_WINDOWPOSCHANGING.
void CWinVelDialog::StartDrag(POINT client) {
    ::ClientToScreen(m_hwnd, &client);
    ::ReleaseCapture();
    ::PostMessageW(m_hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(client.x, client.y));
}

void CWinVelDialog::Snap(WINDOWPOS& placement) {
    // The refresh runs even with snapping off, so the cache is never older
    // than the last positioning plus the scan interval.
    const std::time_t now = std::time(nullptr);
    if (now - m_lastEdgeScan > kEdgeScanSeconds) RefreshSnapEdges();
    if ((placement.flags & SWP_NOMOVE) != 0) return;
    placement.x = SnapAxis(placement.x, placement.cx, m_snapEdges.m_snapLeft,
                           m_snapEdges.m_snapRight, m_snapDistance);
    placement.y = SnapAxis(placement.y, placement.cy, m_snapEdges.m_snapTop,
                           m_snapEdges.m_snapBottom, m_snapDistance);
}

// The work area of the screen the window is on, then every other window
// the user sees, each edge where the matching edge of this window may rest.
void CWinVelDialog::RefreshSnapEdges() {
    m_lastEdgeScan = std::time(nullptr);
    m_snapEdges = SnapEdges{};
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (::GetMonitorInfoW(::MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &screen))
        AddEdges(screen.rcWork, false);
    ::EnumWindows(
        [](HWND window, LPARAM self) -> BOOL {
            reinterpret_cast<CWinVelDialog*>(self)->CollectWindowEdges(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

void CWinVelDialog::CollectWindowEdges(HWND window) {
    if (window == m_hwnd || !IsShown(window)) return;
    AddEdges(VisibleFrame(window), true);
}

// A work area holds the window inside its edges; another window's left
// edge is where this one's right edge may rest, and so on.
void CWinVelDialog::AddEdges(const RECT& r, bool asWindow) {
    m_snapEdges.m_snapLeft.push_front(asWindow ? r.right : r.left);
    m_snapEdges.m_snapRight.push_front(asWindow ? r.left : r.right);
    m_snapEdges.m_snapTop.push_front(asWindow ? r.bottom : r.top);
    m_snapEdges.m_snapBottom.push_front(asWindow ? r.top : r.bottom);
}
