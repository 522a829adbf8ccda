// lintrim.exe: the window program for Windows. Its arguments are the lists
// to start with, as if dropped on the window; the window does the rest.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "CWinMainDlg.h"
#include "WideText.h"

using namespace lintrim;

namespace {
std::vector<std::string> StartPaths() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> paths;
    for (int i = 1; wide && i < count; ++i) paths.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return paths;
}

int RunWindow(int show) {
    auto window = std::make_unique<CWinMainDlg>();
    if (window->Create() == nullptr) return 1;
    window->TakeStartPaths(StartPaths());
    ::ShowWindow(window->Handle(), show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window->TakeMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    // The chooser and the accessibility annotations need COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const int result = RunWindow(show);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return result;
}
