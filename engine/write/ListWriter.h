// Where the kept lines of a run go: a replacement of a list, a new file, or
// standard output. Nothing written counts until Commit() succeeds; a writer
// dropped without it leaves no trace of what it was given.
#pragma once

#include <cstddef>

namespace lintrim {

class ListWriter {
public:
    virtual ~ListWriter() = default;
    // Buffered; throws JobFailure("output list can't be written").
    virtual void Write(const char* bytes, size_t size) = 0;
    // A line and its end, which a writer into memory puts in at once.
    virtual void WriteLine(const char* line, size_t length, const char* end, size_t endLength) {
        Write(line, length);
        Write(end, endLength);
    }
    // Makes the output whole and in place; throws JobFailure.
    virtual void Commit() = 0;
};

}  // namespace lintrim
