// Which loaded lines a run leaves out before grouping: every line whose key
// is that of one of the lines the single-line job deletes, and lines outside a
// length range (LineLength: bytes or characters as read, the line break not
// counted), and lines the class filters drop (LineClasses). A line left out
// for its length or its classes is counted apart from the dupes.
#pragma once

#include <cstdint>
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
};

}  // namespace lintrim
