// The compressed formats a list may be stored in: a list is read in one when
// its first bytes say so, and a result named with its suffix is written in
// it. A front end names them from here (help texts, file choosers).
#pragma once

#include <vector>

namespace lintrim {

struct CompressedFormat {
    const char* name;    // "gzip"
    const char* suffix;  // ".gz"
    bool built;          // this build reads and writes it; else such a list is refused by name
};

// Every format the engine knows, in a fixed order.
const std::vector<CompressedFormat>& CompressedFormats();

}  // namespace lintrim
