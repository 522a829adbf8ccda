// lintrim: the window program. Takes no arguments of its own; the window
// does the rest.
#include <QApplication>

#include "CDupeApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lintrim"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lintrim"));
    CDupeApp app;
    app.InitInstance();
    return 0;
}
