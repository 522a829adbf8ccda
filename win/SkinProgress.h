// The progress bar in the skin's colours: the system's bar keeps its own
// colours under visual styles (and under Wine, its own trough), so the
// window paints the bar itself, from the control's own range and position.
#pragma once

#include <windows.h>

struct ProgressColours {
    COLORREF trough;
    COLORREF bar;
};

// `colours` must outlive the control.
void SkinProgressBar(HWND bar, const ProgressColours& colours);
