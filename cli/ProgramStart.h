// What a command-line program sets up before its run, in each system's own
// terms: its arguments in UTF-8, its standard streams as plain bytes, and
// what a stop leaves: no named temporary file, and an appended file cut back
// to its last whole step.
#pragma once

#include <string>
#include <vector>

namespace program_start {
// The arguments after the program's name.
std::vector<std::string> Arguments(int argc, char** argv);
// Lists are bytes: nothing on the standard streams is translated.
void UseBinaryStreams();
// A stop (a signal, Ctrl-C) removes the temporary file that has a name at
// that moment, cuts a file being appended to back to its last whole step,
// prints the stop note (StopNote.h) and ends the program as the stop would
// have.
void RemoveTemporariesOnStop();
}  // namespace program_start
