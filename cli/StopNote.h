// The line a stop (a signal, Ctrl-C) prints before the program ends: which
// list was being cleaned and is left as it was. The report sets it as each
// list starts; the stop handler reads it, so it lives in a fixed buffer that
// a signal handler may read without locks.
#pragma once

#include <string>
#include <string_view>

void SetStopNote(const std::string& note);
// The note set last, empty while one is being set. Async-signal-safe.
std::string_view StopNote() noexcept;
