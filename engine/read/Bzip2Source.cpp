// Decompressing bzip2 streams one after another.
#include "read/Bzip2Source.h"

#include <bzlib.h>

#include <algorithm>
#include <climits>
#include <new>

#include "read/InflatingSource.h"

namespace lintrim {

namespace {
// libbz2 decodes a stream in 100 kB and four times its block size, which
// the stream's fourth byte gives in 100 kB.
constexpr size_t kBlockSizeByte = 3;
constexpr uint64_t kBlockUnit = 100000;
constexpr uint64_t kDecoderBase = 100000;
constexpr uint64_t kBytesPerBlockByte = 4;

class Bzip2 : public InflatingSource {
public:
    Bzip2(std::unique_ptr<ByteSource> compressed, const char* failureText)
        : InflatingSource(std::move(compressed), failureText, "bzip2") {
        Start();
    }
    ~Bzip2() override { BZ2_bzDecompressEnd(&m_stream); }
    Bzip2(const Bzip2&) = delete;
    Bzip2& operator=(const Bzip2&) = delete;

    uint64_t WorkingMemory() const override { return m_memory; }

private:
    // libbz2 ends with each stream: the next one needs a new decoder.
    size_t Inflate(char* to, size_t size) override {
        if (!m_inStream && Input()[0] != 'B') Garbage();
        if (!m_inStream) NoteBlockSize();
        m_inStream = true;
        const auto given = static_cast<unsigned>(std::min<size_t>(InputLeft(), UINT_MAX));
        const auto room = static_cast<unsigned>(std::min<size_t>(size, UINT_MAX));
        m_stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(Input()));
        m_stream.avail_in = given;
        m_stream.next_out = to;
        m_stream.avail_out = room;
        const int result = BZ2_bzDecompress(&m_stream);
        Consume(given - m_stream.avail_in);
        const size_t made = room - m_stream.avail_out;
        if (result == BZ_STREAM_END) Restart();
        if (result == BZ_MEM_ERROR) throw std::bad_alloc();
        // Only a stream's start is checked for its magic, and the first one's was.
        if (result == BZ_DATA_ERROR_MAGIC) Garbage();
        if (result != BZ_OK && result != BZ_STREAM_END) Corrupt();
        return made;
    }
    bool InStream() const override { return m_inStream; }

    void NoteBlockSize() {
        if (InputLeft() <= kBlockSizeByte) return;
        const unsigned digit = Input()[kBlockSizeByte] - '0';
        if (digit > 9) return;
        m_memory = std::max(m_memory, kDecoderBase + kBytesPerBlockByte * kBlockUnit * digit);
    }

    void Start() {
        m_stream = {};
        if (BZ2_bzDecompressInit(&m_stream, 0, 0) != BZ_OK) throw std::bad_alloc();
    }
    void Restart() {
        BZ2_bzDecompressEnd(&m_stream);
        m_inStream = false;
        Start();
    }

    bz_stream m_stream{};
    bool m_inStream = false;
    uint64_t m_memory = 0;
};
}  // namespace

std::unique_ptr<ByteSource> Bzip2Source(std::unique_ptr<ByteSource> compressed,
                                        const char* failureText) {
    return std::make_unique<Bzip2>(std::move(compressed), failureText);
}

}  // namespace lintrim
