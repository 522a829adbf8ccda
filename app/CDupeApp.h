// The application object: runs the main window modally and ends the program
// when it closes.
#pragma once

class CDupeApp {
public:
    // Constructs the main window, runs it until it closes, destroys it.
    // Always false: there is no message loop of the application's own.
    bool InitInstance();
};
