// The bytes a line stands for: the line itself, or, for a line of the form
// `$HEX[` + an even number of hex digits (either case) + `]`, the bytes its
// digits encode. Any other line, `$HEX[` with an odd number of digits, a
// character that is no hex digit or no closing `]` among them, stands for
// itself. The bytes are read in place, a digit pair at a time, so a line of
// any length is never copied whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lintrim {

struct LineBytes {
    static constexpr char kOpen[] = "$HEX[";
    static constexpr size_t kOpenSize = sizeof kOpen - 1;

    const char* at;  // the line, or its first hex digit
    size_t size;     // bytes stood for
    bool hex;        // `at` holds digit pairs

    // The bytes of `line`; with decodeHex, those its digits encode when it
    // has the form.
    static LineBytes Of(const char* line, size_t length, bool decodeHex) {
        if (decodeHex && IsHexForm(line, length))
            return {line + kOpenSize, (length - kOpenSize - 1) / 2, true};
        return {line, length, false};
    }

    static bool StartsHexForm(const char* line, size_t length) {
        return length >= kOpenSize && std::memcmp(line, kOpen, kOpenSize) == 0;
    }

    static bool IsHexForm(const char* line, size_t length) {
        if (!StartsHexForm(line, length) || length < kOpenSize + 1 || line[length - 1] != ']' ||
            (length - kOpenSize - 1) % 2 != 0)
            return false;
        for (size_t i = kOpenSize; i + 1 < length; ++i)
            if (!IsHexDigit(line[i])) return false;
        return true;
    }

    uint8_t operator[](size_t i) const {
        if (!hex) return static_cast<uint8_t>(at[i]);
        return static_cast<uint8_t>(Nibble(at[2 * i]) << 4 | Nibble(at[2 * i + 1]));
    }

private:
    static bool IsHexDigit(char c) {
        return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
    }
    // Digits are 0x30-0x39, letters 0x41-0x46 or 0x61-0x66: the low nibble,
    // plus 9 for a letter.
    static unsigned Nibble(char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u & 0xfu) + (u >> 6) * 9;
    }
};

}  // namespace lintrim
