// The limits the engine asks about, in their Windows terms: the C runtime's
// table of descriptors is the limit on open files (each list, partition and
// scratch file takes one), and a process's address space is not limited.
#pragma once

#include <cstdint>

using rlim_t = uint64_t;
struct rlimit {
    rlim_t rlim_cur;
    rlim_t rlim_max;
};
inline constexpr int RLIMIT_NOFILE = 7;
inline constexpr int RLIMIT_AS = 9;
inline constexpr rlim_t RLIM_INFINITY = ~rlim_t{0};
// The C runtime's descriptors, less the standard streams' share.
inline constexpr rlim_t kRuntimeDescriptors = 2048;

inline int getrlimit(int resource, rlimit* limit) {
    const rlim_t value = resource == RLIMIT_NOFILE ? kRuntimeDescriptors : RLIM_INFINITY;
    *limit = {value, value};
    return 0;
}
inline int setrlimit(int, const rlimit*) {
    return 0;
}
