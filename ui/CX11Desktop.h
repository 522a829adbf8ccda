// The desktop of an X11 session: other windows come from the window manager's
// client list (EWMH _NET_CLIENT_LIST) with their frames (_NET_FRAME_EXTENTS);
// without a window manager, from the root window's mapped children.
#pragma once

#include <memory>

#include "CQtDesktop.h"

class CX11Desktop : public CQtDesktop {
public:
    // Opens its own connection to `display` (nullptr: $DISPLAY), so that it
    // works whatever display or platform Qt itself uses.
    explicit CX11Desktop(const char* display);
    ~CX11Desktop() override;
    CX11Desktop(const CX11Desktop&) = delete;
    CX11Desktop& operator=(const CX11Desktop&) = delete;

    bool IsConnected() const;
    std::vector<CDesktopWindow> TopLevelWindows() const override;
    bool IsPrimaryButtonDown() const override;

private:
    struct Connection;
    std::unique_ptr<Connection> m_conn;
};
