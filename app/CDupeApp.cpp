// Start-up and shut-down around the main window.
#include "CDupeApp.h"

#include "CMainDlg.h"

bool CDupeApp::InitInstance() {
    // Destroyed at the end of this scope; its destructor stops a job that is
    // still running, so no worker outlives the window.
    CMainDlg dialog;
    dialog.exec();
    return false;
}
