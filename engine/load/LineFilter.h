// Which loaded lines a run leaves out before grouping: every line whose key
// is that of one of the lines the single-line job deletes, and lines outside a
// length range (LineLength: bytes or characters as read, the line break not
// counted), and lines the class filters drop (LineClasses). A line left out
// for its length or its classes is counted apart from the dupes. With
// trimming, a line is taken without its blanks at both ends and a leading
// UTF-8 byte-order mark before it is judged, compared or kept; a line of
// blanks only is then empty, and left out as too short.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "load/LineClasses.h"
#include "load/LineKey.h"
#include "load/LineLength.h"

namespace lintrim {

struct LineFilter {
    // Every copy of each of these lines goes. They are few (a front end
    // takes many lines as a reference list), so each is tried in turn.
    std::vector<std::string> singles;
    uint64_t minLength = 0;
    uint64_t maxLength = UINT64_MAX;
    LineKey key;  // what the single line is matched by
    LineLength length;
    LineClasses classes;
    bool trim = false;

    // Narrows [line, line + length) to the line as it is kept.
    void Trim(const char*& line, uint64_t& length) const {
        if (!trim) return;
        static constexpr char kByteOrderMark[] = "\xef\xbb\xbf";
        if (length >= 3 && std::memcmp(line, kByteOrderMark, 3) == 0) line += 3, length -= 3;
        while (length > 0 && IsBlank(line[0])) ++line, --length;
        while (length > 0 && IsBlank(line[length - 1])) --length;
    }

    enum class Verdict { kKeep, kSingle, kLength, kClass };

    Verdict Judge(const char* line, uint64_t length) const {
        for (const std::string& single : singles)
            if (key.Equal(line, length, single.data(), single.size())) return Verdict::kSingle;
        if (minLength > 0 || maxLength < UINT64_MAX) {
            const uint64_t measured = this->length.Of(line, length);
            if (measured < minLength || measured > maxLength) return Verdict::kLength;
        }
        if (classes.Any() && !classes.Admits(line, length)) return Verdict::kClass;
        return Verdict::kKeep;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
};

}  // namespace lintrim
