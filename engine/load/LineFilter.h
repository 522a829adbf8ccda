// Which loaded lines a run leaves out before grouping: every line whose key
// is that of one of the lines the single-line job deletes, and lines outside a
// length range in bytes as read (the line break not counted). A line left
// out for its length is counted apart from the dupes. With trimming, a
// line is taken without its blanks at both ends and a leading UTF-8
// byte-order mark before it is judged, compared or kept; a line of blanks
// only is then empty, and left out as too short.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "load/LineKey.h"

namespace lintrim {

struct LineFilter {
    // Every copy of each of these lines goes. They are few (a front end
    // takes many lines as a reference list), so each is tried in turn.
    std::vector<std::string> singles;
    uint64_t minLength = 0;
    uint64_t maxLength = UINT64_MAX;
    LineKey key;  // what the single line is matched by
    bool trim = false;

    // Narrows [line, line + length) to the line as it is kept.
    void Trim(const char*& line, uint64_t& length) const {
        if (!trim) return;
        static constexpr char kByteOrderMark[] = "\xef\xbb\xbf";
        if (length >= 3 && std::memcmp(line, kByteOrderMark, 3) == 0) line += 3, length -= 3;
        while (length > 0 && IsBlank(line[0])) ++line, --length;
        while (length > 0 && IsBlank(line[length - 1])) --length;
    }

    enum class Verdict { kKeep, kSingle, kLength };

    Verdict Judge(const char* line, uint64_t length) const {
        for (const std::string& single : singles)
            if (key.Equal(line, length, single.data(), single.size())) return Verdict::kSingle;
        if (length < minLength || length > maxLength) return Verdict::kLength;
        return Verdict::kKeep;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
};

}  // namespace lintrim
