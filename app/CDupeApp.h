// The application object: Qt's start-up from the command line, then the main
// window run modally with the lists the command line named already chosen,
// and the end of the program when it closes.
#pragma once

#include <QApplication>
#include <string>
#include <vector>

class CDupeApp {
public:
    // Qt takes its own options (-style, -platform, ...) out of argv first;
    // every argument left is a list to start with, taken as its bytes so that
    // any name works. argc must outlive this object, as QApplication wants.
    CDupeApp(int& argc, char** argv);

    // Constructs the main window, runs it until it closes, destroys it.
    // Always false: there is no message loop of the application's own.
    bool InitInstance();

    const std::vector<std::string>& StartPaths() const { return m_startPaths; }

private:
    QApplication m_application;
    std::vector<std::string> m_startPaths;
};
