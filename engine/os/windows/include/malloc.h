// Freed heap memory goes back to the system as malloc_trim gives it on Linux.
#pragma once
#pragma GCC system_header
#include_next <malloc.h>

inline int malloc_trim(size_t) {
    return _heapmin() == 0;
}
