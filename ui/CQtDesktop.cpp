// Qt-only desktop answers; see CQtDesktop.h.
#include "CQtDesktop.h"

#include <QGuiApplication>
#include <QScreen>

QRect CQtDesktop::WorkArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

std::vector<CDesktopWindow> CQtDesktop::TopLevelWindows() const {
    return {};
}

bool CQtDesktop::IsPrimaryButtonDown() const {
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}
