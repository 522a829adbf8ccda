// lintrim: the window program. Its arguments, after Qt's own options, are the
// lists to start with, as if dropped on the window; the window does the rest.
#include "CDupeApp.h"

int main(int argc, char* argv[]) {
    CDupeApp app(argc, argv);
    app.InitInstance();
    return 0;
}
