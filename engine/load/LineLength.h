// How long a line is, wherever a run measures it (the length filters, the
// order by length, the files split by length): its bytes as read, the line
// break not counted, or its UTF-8 characters. A character is a lead byte
// with the continuation bytes that follow it; a byte that is no part of a
// well-formed character (a stray continuation byte, a lead byte cut short,
// a byte that never starts one) counts as one character of its own, so
// that every line has a length and a plain ASCII line counts its bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lintrim {

class LineLength {
public:
    LineLength() = default;  // bytes
    explicit LineLength(bool chars) : m_chars(chars) {}

    bool Chars() const { return m_chars; }
    uint64_t Of(const char* line, size_t length) const {
        return m_chars ? CharsOf(reinterpret_cast<const unsigned char*>(line), length) : length;
    }

private:
    // The continuation bytes a lead byte asks for; 0 for a byte that starts
    // no longer character (ASCII, a continuation byte, 0xc0, 0xc1, 0xf5..).
    static size_t Continuations(unsigned char lead) {
        if (lead >= 0xc2 && lead <= 0xdf) return 1;
        if (lead >= 0xe0 && lead <= 0xef) return 2;
        if (lead >= 0xf0 && lead <= 0xf4) return 3;
        return 0;
    }
    // The range of the byte after `lead` that keeps the character well
    // formed: no overlong form, no surrogate, nothing above U+10FFFF.
    static bool SecondFits(unsigned char lead, unsigned char byte) {
        const unsigned char low = lead == 0xe0 ? 0xa0 : lead == 0xf0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xed ? 0x9f : lead == 0xf4 ? 0x8f : 0xbf;
        return byte >= low && byte <= high;
    }
    static bool Continues(unsigned char byte) { return (byte & 0xc0) == 0x80; }

    // The bytes of the character that starts at `at`: its length when it
    // is well formed, else 1.
    static size_t CharAt(const unsigned char* line, size_t at, size_t length) {
        const size_t more = line[at] < 0x80 ? 0 : Continuations(line[at]);
        if (more == 0) return 1;
        if (at + more >= length || !SecondFits(line[at], line[at + 1])) return 1;
        for (size_t i = 2; i <= more; ++i)
            if (!Continues(line[at + i])) return 1;
        return more + 1;
    }

    static uint64_t CharsOf(const unsigned char* line, size_t length) {
        uint64_t chars = 0;
        for (size_t at = 0; at < length; ++chars) at += CharAt(line, at, length);
        return chars;
    }

    bool m_chars = false;
};

}  // namespace lintrim
