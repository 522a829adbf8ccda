// The desktop as Qt alone sees it: the work area of the primary screen, and no
// other windows, which is all offscreen and Wayland sessions can tell us.
#pragma once

#include "CDesktop.h"

class CQtDesktop : public CDesktop {
public:
    QRect WorkArea() const override;
    std::vector<CDesktopWindow> TopLevelWindows() const override;
    bool IsPrimaryButtonDown() const override;
};
