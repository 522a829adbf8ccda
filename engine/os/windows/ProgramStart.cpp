// Starting a program on Windows: the command line is taken in UTF-16 and
// given on in UTF-8, the standard streams are binary (no CR added before LF,
// no Ctrl-Z taken for an end), and Ctrl-C, Ctrl-Break and the closing of
// the console remove a named temporary file, and cut a file being appended
// to back to its last whole step, before the process ends.
#include "os/ProgramStart.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "os/RegisteredLength.h"
#include "os/RegisteredName.h"
#include "os/windows/Win32.h"

namespace {
// The handler runs on a thread of its own while the run goes on: it holds
// the stop lock until the process has ended, so that no rename and no
// append comes after it.
BOOL WINAPI OnStop(DWORD) {
    win32::StopLock().lock();
    RegisteredLength::CutAll();
    RegisteredName::RemoveAll();
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}
}  // namespace

namespace program_start {
std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(win32::Utf8(wide[i]));
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
