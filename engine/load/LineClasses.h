// The classes of characters a line holds, for the filters that keep or drop
// a line by them: lowercase and uppercase ASCII letters, ASCII digits,
// specials (the other printable ASCII bytes, the space among them) and high
// bytes (above 127). A control byte (below ' ', or DEL) is of none of them.
// A line is judged as read, before any change of case.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lintrim/RunPlan.h"

namespace lintrim {

class LineClasses {
public:
    LineClasses() = default;
    LineClasses(bool printable, std::vector<uint8_t> required, std::vector<uint8_t> rejected)
        : m_printable(printable),
          m_required(std::move(required)),
          m_rejected(std::move(rejected)) {}

    bool Any() const { return m_printable || !m_required.empty() || !m_rejected.empty(); }

    // Whether the filters keep the line: printable when asked, holding one
    // class of each required set, and not made only of the classes of a
    // rejected set.
    bool Admits(const char* line, size_t length) const {
        const uint8_t held = Held(line, length);
        if (m_printable && (held & (kControl | kHigh)) != 0) return false;
        for (const uint8_t set : m_required)
            if ((held & set) == 0) return false;
        for (const uint8_t set : m_rejected)
            if ((held & ~set) == 0) return false;
        return true;
    }

private:
    // Bytes of no class, kept apart so that no set of classes covers them.
    static constexpr uint8_t kControl = 0x80;
    static constexpr uint8_t kHigh = static_cast<uint8_t>(kHighClass);

    static uint8_t Held(const char* line, size_t length) {
        uint8_t held = 0;
        for (size_t i = 0; i < length; ++i) held |= ClassOf(static_cast<uint8_t>(line[i]));
        return held;
    }
    static uint8_t ClassOf(uint8_t byte) { return Table()[byte]; }
    static const std::array<uint8_t, 256>& Table() {
        static const std::array<uint8_t, 256> table = [] {
            std::array<uint8_t, 256> classes{};
            for (int c = 0; c < 256; ++c) {
                const uint8_t printable = c >= 'a' && c <= 'z'   ? kLowerClass
                                          : c >= 'A' && c <= 'Z' ? kUpperClass
                                          : c >= '0' && c <= '9' ? kDigitClass
                                                                 : kSpecialClass;
                classes[c] = c >= 0x80 ? kHigh : c >= 0x20 && c < 0x7f ? printable : kControl;
            }
            return classes;
        }();
        return table;
    }

    bool m_printable = false;
    std::vector<uint8_t> m_required;
    std::vector<uint8_t> m_rejected;
};

}  // namespace lintrim
