// Where ListReader takes a list's bytes from: a plain file of known length,
// a stream (standard input), or a compressed source over either of them
// (ListFormat.h). ListReader cuts what comes out into pieces the same way
// whatever the source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lintrim {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `to`; 0 only once the source has ended.
    // Throws JobFailure with the source's failure text and its cause.
    virtual size_t Read(char* to, size_t size) = 0;
    // The memory a decoder holds for what it has read so far (a zstd
    // window, an xz dictionary, lz4 or bzip2 blocks); 0 for stored bytes.
    virtual uint64_t WorkingMemory() const { return 0; }
};

// Up to `size` bytes from where `source` stands, fewer only when it ends.
std::string FirstBytes(ByteSource& source, size_t size);

// A regular file read from where its descriptor stands, which must hold
// exactly `size` more bytes: a file that grows or shrinks while it is read
// is reported, never half-used.
std::unique_ptr<ByteSource> FileSource(int fd, uint64_t size, const char* failureText);

// A pipe or terminal read to its end; `pending` comes out first (bytes
// already taken to look at the start).
std::unique_ptr<ByteSource> StreamSource(int fd, std::string pending, const char* failureText);

}  // namespace lintrim
