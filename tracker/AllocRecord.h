// One recorded heap block of the allocation tracker: where it lives, how big
// it is and which source line asked for it.
#pragma once

#include <cstddef>
#include <cstdint>

struct AllocRecord {
    // Room for a 63-character file name and its terminator; longer names are cut.
    static constexpr std::size_t kFileCapacity = 64;

    std::uintptr_t address = 0;
    std::size_t size = 0;
    char file[kFileCapacity] = {};
    std::uint32_t line = 0;
};
