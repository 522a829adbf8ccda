// Compresses a result on its way to a ListWriter. A stream (a gzip member,
// an xz stream, a zstd frame, a bzip2 stream) runs from the first Write()
// to Finish(), and the next Write() starts another: streams one after
// another make one file that every tool of the format reads whole, which
// lets the removed lines be appended list by list. What is written is
// gathered into blocks first: given a line at a time, the libraries would
// spend their time on the calls.
#pragma once

#include <cstddef>

#include "os/ByteBuffer.h"
#include "write/ListWriter.h"

namespace lintrim {

class Encoder {
public:
    // Each call of the library is given at least `stepRoom` bytes of
    // output room (a library that writes only where its worst case fits).
    explicit Encoder(const char* formatName, size_t stepRoom = 1);
    virtual ~Encoder() = default;

    // Compressed bytes go to `to` a block at a time; throws what `to` throws.
    void Write(const char* bytes, size_t size, ListWriter& to);
    // Ends the stream: all of it goes to `to`.
    void Finish(ListWriter& to);

protected:
    // One call of the library from the pending input (In(), InLeft(),
    // marked used with Took()) to the output room (Out(), OutLeft(), filled
    // with Made()). With `finish` the stream is ended, and true comes back
    // once it has all been made, the library then ready for the next one.
    virtual bool Step(bool finish) = 0;

    const char* In() const { return m_in; }
    size_t InLeft() const { return m_inLeft; }
    void Took(size_t bytes) {
        m_in += bytes;
        m_inLeft -= bytes;
    }
    char* Out() const { return m_output.Data() + m_output.Size(); }
    size_t OutLeft() const { return m_output.Capacity() - m_output.Size(); }
    void Made(size_t bytes) { m_output.Resize(m_output.Size() + bytes); }
    // Throws JobFailure("output list can't be written") naming the encoder.
    [[noreturn]] void Fail() const;

private:
    void Compress(const char* bytes, size_t size, ListWriter& to);
    bool Advance(bool finish, ListWriter& to);
    void Drain(ListWriter& to);

    const char* m_formatName;
    size_t m_stepRoom;
    ByteBuffer m_gathered;
    ByteBuffer m_output;
    const char* m_in = nullptr;
    size_t m_inLeft = 0;
};

}  // namespace lintrim
