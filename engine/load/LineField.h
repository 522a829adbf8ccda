// One field of a line, cut by a delimiter byte: the first, the n-th or the
// last. A line that has no such field (fewer delimiters than it needs) is
// its own field, so a line without the delimiter is always compared and
// written whole. The field is found in place and never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lintrim {

struct LineField {
    static constexpr uint32_t kLast = 0;

    bool on = false;  // off: the whole line
    char delimiter = ':';
    uint32_t number = 1;  // from 1, or kLast

    // Narrows [line, line + length) to the field.
    void Narrow(const char*& line, size_t& length) const {
        if (!on) return;
        if (number == kLast) return NarrowToLast(line, length);
        const char* start = line;
        const char* end = line + length;
        for (uint32_t n = 1; n < number; ++n) {
            const auto* next = static_cast<const char*>(std::memchr(start, delimiter, end - start));
            if (!next) return;  // no field `number`: the whole line
            start = next + 1;
        }
        const auto* after = static_cast<const char*>(std::memchr(start, delimiter, end - start));
        length = static_cast<size_t>((after ? after : end) - start);
        line = start;
    }

private:
    void NarrowToLast(const char*& line, size_t& length) const {
        const auto* last = static_cast<const char*>(memrchr(line, delimiter, length));
        if (!last) return;
        length -= static_cast<size_t>(last + 1 - line);
        line = last + 1;
    }
};

}  // namespace lintrim
