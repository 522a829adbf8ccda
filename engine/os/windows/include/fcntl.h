// Open flags with no Windows meaning of their own: a handle is never a
// controlling terminal, and every handle the engine opens is not inherited.
#pragma once
#pragma GCC system_header
#include_next <fcntl.h>

#define O_CLOEXEC _O_NOINHERIT
#define O_NOCTTY 0
