// A linear congruential generator with 15-bit outputs.
#include "PivotRandom.h"

uint32_t PivotRandom::Next15() {
    m_state = m_state * 214013u + 2531011u;
    return (m_state >> 16) & 0x7fffu;
}

uint64_t PivotRandom::Below(uint64_t range) {
    uint64_t value = Next15();
    for (uint64_t reach = uint64_t{1} << 15; reach < range && reach < (uint64_t{1} << 60);
         reach <<= 15)
        value = (value << 15) | Next15();
    return value % range;
}
