// lintrim-probe.exe: reads and closes the Lintrim window from outside, as
// a person would see it, for the window's test under Wine:
//   lintrim-probe.exe wait ID TEXT   until control ID's text holds TEXT (at
//                                    most a minute); prints the text, exits 1
//                                    when it never came
//   lintrim-probe.exe enabled ID     prints 1 or 0
//   lintrim-probe.exe centre ID      prints the screen point at the middle
//                                    of control ID, where a click presses it
//   lintrim-probe.exe close          closes the window as its close box does
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {
constexpr int kWaitSteps = 600;  // of 100 ms
constexpr const wchar_t* kTitle = L"Lintrim 4.1";

HWND Window() {
    for (int step = 0; step < kWaitSteps; ++step) {
        if (HWND window = ::FindWindowW(L"#32770", kTitle)) return window;
        ::Sleep(100);
    }
    return nullptr;
}

std::string Text(HWND control) {
    wchar_t wide[1024] = {};
    ::GetWindowTextW(control, wide, 1024);
    char text[4096] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// The argument in UTF-8: argv holds it in the system's code page.
std::string Utf8Argument(int index) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    char text[4096] = {};
    if (wide && index < count)
        ::WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, text, sizeof text, nullptr, nullptr);
    ::LocalFree(wide);
    return text;
}

int Wait(HWND window, int id, const std::string& wanted) {
    std::string text;
    for (int step = 0; step < kWaitSteps; ++step) {
        text = Text(::GetDlgItem(window, id));
        if (text.find(wanted) != std::string::npos) break;
        ::Sleep(100);
    }
    std::printf("%s\n", text.c_str());
    return text.find(wanted) != std::string::npos ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    HWND window = Window();
    if (window == nullptr) {
        std::fprintf(stderr, "lintrim-probe: no window\n");
        return 2;
    }
    if (command == "wait" && argc == 4) return Wait(window, std::atoi(argv[2]), Utf8Argument(3));
    if (command == "enabled" && argc == 3) {
        std::printf("%d\n", ::IsWindowEnabled(::GetDlgItem(window, std::atoi(argv[2]))) ? 1 : 0);
        return 0;
    }
    if (command == "centre" && argc == 3) {
        RECT r{};
        ::GetWindowRect(::GetDlgItem(window, std::atoi(argv[2])), &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    if (command == "close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    std::fprintf(stderr,
                 "usage: lintrim-probe.exe wait ID TEXT | enabled ID | centre ID | close\n");
    return 2;
}
