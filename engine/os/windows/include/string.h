// memrchr, a GNU extension the C runtime lacks: the last `c` in `size` bytes.
#pragma once
#pragma GCC system_header
#include_next <string.h>

#ifdef __cplusplus
inline void* memrchr(const void* bytes, int c, size_t size) {
    const unsigned char* at = static_cast<const unsigned char*>(bytes) + size;
    while (at != bytes)
        if (*--at == static_cast<unsigned char>(c)) return const_cast<unsigned char*>(at);
    return nullptr;
}
#endif
