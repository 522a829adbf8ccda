// What every compressed format shares on its way to a ByteSource: the
// compressed bytes taken in blocks, the loop that fills a read, and the
// failures, each naming the format. A format adds one step of its library
// and says whether it is inside a stream (a gzip member, an xz stream, a
// zstd frame, a bzip2 stream): the compressed bytes may only end outside
// one, else the data is cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "os/ByteBuffer.h"
#include "read/ByteSource.h"

namespace lintrim {

class InflatingSource : public ByteSource {
public:
    InflatingSource(std::unique_ptr<ByteSource> compressed, const char* failureText,
                    const char* formatName);

    size_t Read(char* to, size_t size) final;

protected:
    // One call of the library: inflates from the pending input (Input(),
    // InputLeft(), marked used with Consume()) into `to`; returns the bytes
    // made. Once the input has ended, InputLeft() is 0 and the call is to
    // finish the stream.
    virtual size_t Inflate(char* to, size_t size) = 0;
    // Inside a stream, where the compressed bytes may not end.
    virtual bool InStream() const = 0;

    const unsigned char* Input() const {
        return reinterpret_cast<const unsigned char*>(m_input.Data()) + m_at;
    }
    size_t InputLeft() const { return m_input.Size() - m_at; }
    void Consume(size_t bytes) { m_at += bytes; }
    bool InputEnded() const { return m_ended; }

    // "the xz data is cut short", "garbage after the xz data", "the xz data
    // is corrupt"; Fail() gives any other reason.
    [[noreturn]] void CutShort() const;
    [[noreturn]] void Garbage() const;
    [[noreturn]] void Corrupt() const;
    [[noreturn]] void Fail(const std::string& reason) const;
    // "the xz stream needs 65 MiB for its dictionary; the memory budget
    // allows 12 MiB": a stream the run cannot hold the decoder of.
    [[noreturn]] void NeedsMore(const char* part, uint64_t need, uint64_t limit) const;

private:
    void TakeInput();

    std::unique_ptr<ByteSource> m_compressed;
    const char* m_failureText;
    const char* m_formatName;
    ByteBuffer m_input;
    size_t m_at = 0;
    bool m_ended = false;  // the compressed bytes are all taken
    bool m_done = false;   // and the last stream is inflated
};

}  // namespace lintrim
