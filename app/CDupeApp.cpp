// Start-up and shut-down around the main window.
#include "CDupeApp.h"

#include "CMainDlg.h"

using namespace lintrim;

CDupeApp::CDupeApp(int& argc, char** argv)
    // m_application is constructed first, so argv holds only what Qt left.
    : m_application(argc, argv), m_startPaths(argv + 1, argv + argc) {
    QApplication::setApplicationName(QStringLiteral("lintrim"));
    // The .desktop file's name: a desktop groups the window under its entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("lintrim"));
}

bool CDupeApp::InitInstance() {
    // Destroyed at the end of this scope; its destructor stops a job that is
    // still running, so no worker outlives the window.
    CMainDlg dialog;
    dialog.TakeStartPaths(m_startPaths);
    dialog.exec();
    return false;
}
