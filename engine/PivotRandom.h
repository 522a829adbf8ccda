// The pseudo-random sequence that picks sort pivots. It always starts from
// the same state, so a run over the same lists always sorts the same way.
#pragma once

#include <cstdint>

class PivotRandom {
public:
    PivotRandom() = default;
    explicit PivotRandom(uint32_t seed) : m_state(seed) {}

    // The next value of the sequence, 0 to 32767.
    uint32_t Next15();

    // A value in [0, range), range > 0, drawn from the whole range: as many
    // 15-bit draws are combined as the range needs, so no part of a long
    // range is out of the pivot's reach.
    uint64_t Below(uint64_t range);

private:
    uint32_t m_state = 1;
};
