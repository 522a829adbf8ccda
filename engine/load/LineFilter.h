// Which loaded lines a run leaves out before grouping: the one line the
// single-line job deletes, and lines outside a length range in bytes (the
// line break not counted). A line left out for its length is counted apart
// from the dupes.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

struct LineFilter {
    std::optional<std::string> single;  // every copy of this line goes
    uint64_t minLength = 0;
    uint64_t maxLength = UINT64_MAX;

    enum class Verdict { kKeep, kSingle, kLength };

    Verdict Judge(const char* line, uint64_t length) const {
        if (single && length == single->size() && std::memcmp(line, single->data(), length) == 0)
            return Verdict::kSingle;
        if (length < minLength || length > maxLength) return Verdict::kLength;
        return Verdict::kKeep;
    }
};
