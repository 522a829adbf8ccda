// What the snapping dialog needs to know about the desktop around it, behind
// an interface of our own: the platform answers it (Qt, X11), tests fake it.
#pragma once

#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

// One top-level window as the desktop reports it. `outer` includes the
// window manager's frame, in screen coordinates.
struct CDesktopWindow {
    WId m_id = 0;
    QRect m_outer;
    bool m_visible = false;
};

class CDesktop {
public:
    virtual ~CDesktop() = default;

    // The primary screen without task bars and other docked panels.
    virtual QRect WorkArea() const = 0;

    // Every top-level window, in the platform's order, the caller's own
    // included; where the platform cannot tell, none.
    virtual std::vector<CDesktopWindow> TopLevelWindows() const = 0;

    // Whether the primary mouse button is held, even while another client
    // (the window manager moving us by the title bar) has grabbed the pointer.
    virtual bool IsPrimaryButtonDown() const = 0;

    // The desktop of the platform this application runs on: X11 when Qt runs
    // on xcb and the display answers, otherwise Qt alone with no window list.
    static std::unique_ptr<CDesktop> CreateForPlatform();
};
