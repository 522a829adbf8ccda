// The skinned progress bar; see SkinProgress.h.
#include "SkinProgress.h"

#include <commctrl.h>

namespace {
void Fill(HDC dc, const RECT& r, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// The part of the width that the position has come, from the low end.
LONG BarWidth(HWND bar, LONG width) {
    PBRANGE range{};
    ::SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const auto pos = static_cast<long long>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
    const long long span = static_cast<long long>(range.iHigh) - range.iLow;
    if (span <= 0) return 0;
    return static_cast<LONG>(width * (pos - range.iLow) / span);
}

void Paint(HWND bar, const ProgressColours& colours) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(bar, &paint);
    RECT r;
    ::GetClientRect(bar, &r);
    RECT done = r;
    done.right = r.left + BarWidth(bar, r.right - r.left);
    RECT rest = r;
    rest.left = done.right;
    Fill(dc, done, colours.bar);
    Fill(dc, rest, colours.trough);
    ::EndPaint(bar, &paint);
}

LRESULT CALLBACK Subclass(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR colours) {
    switch (message) {
        case WM_PAINT:
            Paint(bar, *reinterpret_cast<const ProgressColours*>(colours));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(bar, &Subclass, 1);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(bar, message, wParam, lParam);
}
}  // namespace

void SkinProgressBar(HWND bar, const ProgressColours& colours) {
    ::SetWindowSubclass(bar, &Subclass, 1, reinterpret_cast<DWORD_PTR>(&colours));
    ::InvalidateRect(bar, nullptr, TRUE);
}
