// Picks the desktop implementation for the running Qt platform.
#include "CDesktop.h"

#include <QGuiApplication>

#include "CQtDesktop.h"
#include "CX11Desktop.h"

std::unique_ptr<CDesktop> CDesktop::CreateForPlatform() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto x11 = std::make_unique<CX11Desktop>(nullptr);
        if (x11->IsConnected()) {
            return x11;
        }
    }
    return std::make_unique<CQtDesktop>();
}
