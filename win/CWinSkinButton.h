// A push button that paints itself, as the Qt window's CSkinButton: a flat
// face in its own colours, a thin raised border while the pointer is over it
// and a sunken one while pressed, the content shifted by a pixel while
// pressed, an icon centred or left of the caption, an embossed caption when
// disabled, and a tool tip. The button is the template's owner-drawn button;
// its dialog hands it WM_DRAWITEM.
#pragma once

#include <windows.h>

#include <string>

class CWinSkinButton {
public:
    CWinSkinButton() = default;
    CWinSkinButton(const CWinSkinButton&) = delete;
    CWinSkinButton& operator=(const CWinSkinButton&) = delete;
    ~CWinSkinButton();

    // Takes over the dialog's button `id`.
    void Attach(HWND dialog, int id);
    HWND Handle() const { return m_hwnd; }
    // An icon instead of the caption; the caption stays the button's name
    // for screen readers. Loaded at the size the window's DPI asks for.
    void SetIcon(int iconId);
    void SetTipText(const std::wstring& text);
    // The window's DPI changed: the icon is loaded again at the new size.
    void DpiChanged();

    void Draw(const DRAWITEMSTRUCT& item) const;

private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    void SetHovered(bool hovered);
    void LoadIcon();
    void DrawBorder(HDC dc, const RECT& b, bool pressed) const;
    void DrawCaption(HDC dc, RECT text, bool pressed, bool enabled) const;

    HWND m_hwnd = nullptr;
    HWND m_tip = nullptr;
    int m_iconId = 0;
    HICON m_icon = nullptr;
    int m_iconSize = 0;
    bool m_hovered = false;
    bool m_keyboardFocus = false;  // the focus came from the keyboard
    COLORREF m_normalBk = RGB(176, 184, 192);
    COLORREF m_activeBk = RGB(208, 216, 224);
    COLORREF m_text = RGB(0, 0, 0);
    COLORREF m_grayText = RGB(64, 68, 76);
};
