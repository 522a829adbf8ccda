// Windows files have no POSIX owner or group: the engine's ids of them are
// placeholders that its Windows code never sets.
#pragma once
#pragma GCC system_header
#include_next <sys/types.h>

typedef unsigned int uid_t;
typedef unsigned int gid_t;
