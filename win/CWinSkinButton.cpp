// The skinned push button for Windows; see CWinSkinButton.h. A paint goes
// to an off-screen bitmap and reaches the screen in one copy, so hover and
// press changes do not flicker.
#include "CWinSkinButton.h"

#include <commctrl.h>

namespace {
// The system's colours of a classic button's edges.
COLORREF Light() {
    return ::GetSysColor(COLOR_BTNHIGHLIGHT);
}
COLORREF Shadow() {
    return ::GetSysColor(COLOR_BTNSHADOW);
}

// One-pixel lines from point to point, the end point excluded.
void Polyline(HDC dc, COLORREF colour, std::initializer_list<POINT> points) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::Polyline(dc, points.begin(), static_cast<int>(points.size()));
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

// Tab, Shift+Tab or an arrow key moved the focus.
bool FocusFromKeyboard() {
    for (const int key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        if (::GetKeyState(key) < 0) return true;
    return false;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}
}  // namespace

CWinSkinButton::~CWinSkinButton() {
    if (m_icon) ::DestroyIcon(m_icon);
}

void CWinSkinButton::Attach(HWND dialog, int id) {
    m_hwnd = ::GetDlgItem(dialog, id);
    ::SetWindowSubclass(m_hwnd, &CWinSkinButton::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

void CWinSkinButton::SetIcon(int iconId) {
    m_iconId = iconId;
    LoadIcon();
}

void CWinSkinButton::DpiChanged() {
    if (m_iconId) LoadIcon();
}

// 16 px at 96 dpi, as many more as the window's DPI asks for.
void CWinSkinButton::LoadIcon() {
    if (m_icon) ::DestroyIcon(m_icon);
    m_iconSize = ::MulDiv(16, static_cast<int>(::GetDpiForWindow(m_hwnd)), USER_DEFAULT_SCREEN_DPI);
    m_icon =
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_iconId),
                                        IMAGE_ICON, m_iconSize, m_iconSize, LR_DEFAULTCOLOR));
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CWinSkinButton::SetTipText(const std::wstring& text) {
    if (text.empty()) return;
    if (m_tip == nullptr)
        m_tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  m_hwnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(m_hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(m_tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK CWinSkinButton::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &CWinSkinButton::Subclass, 1);
    return reinterpret_cast<CWinSkinButton*>(self)->Message(message, wParam, lParam);
}

// Hover follows the pointer, except one that comes in with the left button
// already held (a drag from elsewhere); a double click is a second press.
LRESULT CWinSkinButton::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!m_hovered && (wParam & MK_LBUTTON) == 0) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hwnd, 0};
                ::TrackMouseEvent(&track);
                SetHovered(true);
            }
            break;
        case WM_SETFOCUS:
            m_keyboardFocus = FocusFromKeyboard();
            break;
        case WM_KILLFOCUS:
            m_keyboardFocus = false;
            SetHovered(false);
            break;
        case WM_MOUSELEAVE:
            SetHovered(false);
            break;
        case WM_LBUTTONDBLCLK:
            message = WM_LBUTTONDOWN;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(m_hwnd, message, wParam, lParam);
}

void CWinSkinButton::SetHovered(bool hovered) {
    if (m_hovered == hovered) return;
    m_hovered = hovered;
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CWinSkinButton::Draw(const DRAWITEMSTRUCT& item) const {
    const RECT& r = item.rcItem;
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC dc = ::CreateCompatibleDC(item.hDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(item.hDC, width, height);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    const bool active = m_hovered || pressed;
    const RECT b{0, 0, width, height};
    Fill(dc, b, active ? m_activeBk : m_normalBk);
    DrawBorder(dc, b, pressed);
    if (m_icon) {
        const int shift = pressed ? 1 : 0;
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_icon), 0,
                     (width - m_iconSize) / 2 + shift, (height - m_iconSize) / 2 + shift,
                     m_iconSize, m_iconSize, DST_ICON | (enabled ? DSS_NORMAL : DSS_DISABLED));
    } else {
        DrawCaption(dc, b, pressed, enabled);
    }
    // The focus rectangle only where the keyboard brought the focus, which a
    // mouse user does not need (as in the Qt window).
    if ((item.itemState & ODS_FOCUS) && m_keyboardFocus) {
        RECT focus{3, 3, width - 3, height - 3};
        ::DrawFocusRect(dc, &focus);
    }
    ::BitBlt(item.hDC, r.left, r.top, width, height, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

// Sunken while pressed, raised while only hovered, none otherwise.
void CWinSkinButton::DrawBorder(HDC dc, const RECT& b, bool pressed) const {
    if (!pressed && !m_hovered) return;
    const LONG l = b.left, t = b.top, r = b.right, bt = b.bottom;
    Polyline(dc, pressed ? Shadow() : Light(), {{l, bt - 1}, {l, t}, {r, t}});
    Polyline(dc, pressed ? Light() : Shadow(), {{l, bt - 1}, {r - 1, bt - 1}, {r - 1, t}});
}

// Centred, shifted while pressed; disabled: a light copy a pixel down and
// right under the greyed text, dark enough to read on the face.
void CWinSkinButton::DrawCaption(HDC dc, RECT text, bool pressed, bool enabled) const {
    wchar_t caption[64] = {};
    ::GetWindowTextW(m_hwnd, caption, 64);
    if (pressed) ::OffsetRect(&text, 1, 1);
    HGDIOBJ oldFont =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (!enabled) {
        RECT light = text;
        ::OffsetRect(&light, 1, 1);
        ::SetTextColor(dc, Light());
        ::DrawTextW(dc, caption, -1, &light, format);
    }
    ::SetTextColor(dc, enabled ? m_text : m_grayText);
    ::DrawTextW(dc, caption, -1, &text, format);
    ::SelectObject(dc, oldFont);
}
