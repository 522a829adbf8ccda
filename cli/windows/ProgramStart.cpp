// Starting a program on Windows: the command line is taken in UTF-16 and
// given on in UTF-8, the standard streams are binary (no CR added before LF,
// no Ctrl-Z taken for an end), and Ctrl-C, Ctrl-Break and the closing of
// the console remove a named temporary file, and cut a file being appended
// to back to its last whole step, before the process ends.
#include "ProgramStart.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "StopNote.h"
#include "lintrim/StopCleanup.h"

using namespace lintrim;

namespace {
// The handler runs on a thread of its own while the run goes on: it holds
// the stop lock until the process has ended, so that no rename and no
// append comes after it.
BOOL WINAPI OnStop(DWORD) {
    CleanUpForStop();
    const std::string_view note = StopNote();
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), note.data(), static_cast<DWORD>(note.size()),
                &written, nullptr);
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

// UTF-16 to UTF-8.
std::string Utf8(const wchar_t* wide) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string text(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    text.resize(static_cast<size_t>(bytes) - 1);
    return text;
}
}  // namespace

namespace program_start {
std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStreams() {
    for (FILE* stream : {stdin, stdout, stderr}) ::_setmode(::_fileno(stream), _O_BINARY);
}

void RemoveTemporariesOnStop() {
    ::SetConsoleCtrlHandler(OnStop, TRUE);
}
}  // namespace program_start
