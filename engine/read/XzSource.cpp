// Decoding xz streams one after another, each within what the run lets a
// decoder hold.
#include "read/XzSource.h"

#include <lzma.h>

#include <algorithm>
#include <new>
#include <vector>

#include "os/SystemCalls.h"
#include "read/InflatingSource.h"

namespace lintrim {

namespace {
constexpr unsigned char kFirstMagicByte = 0xfd;
// An index larger than this is not read for a progress estimate.
constexpr lzma_vli kLargestIndex = lzma_vli{16} << 20;

// The streams are taken one at a time, so that bytes after the last one
// that are no stream can be told from a damaged stream. Stream padding
// (zero bytes in fours) may come between streams and after the last.
class Xz : public InflatingSource {
public:
    Xz(std::unique_ptr<ByteSource> compressed, const char* failureText, uint64_t memoryLimit)
        : InflatingSource(std::move(compressed), failureText, "xz"), m_limit(memoryLimit) {
        Start();
    }
    ~Xz() override { lzma_end(&m_stream); }
    Xz(const Xz&) = delete;
    Xz& operator=(const Xz&) = delete;

    uint64_t WorkingMemory() const override { return m_memory; }

private:
    size_t Inflate(char* to, size_t size) override {
        if (!m_inStream) return BetweenStreams();
        const size_t given = InputLeft();
        m_stream.next_in = Input();
        m_stream.avail_in = given;
        m_stream.next_out = reinterpret_cast<uint8_t*>(to);
        m_stream.avail_out = size;
        const lzma_ret result = lzma_code(&m_stream, InputEnded() ? LZMA_FINISH : LZMA_RUN);
        Consume(given - m_stream.avail_in);
        const size_t made = size - m_stream.avail_out;
        m_memory = std::max(m_memory, lzma_memusage(&m_stream));
        if (result == LZMA_STREAM_END) {
            m_inStream = false;
            Start();
        } else if (result != LZMA_OK) {
            Failed(result);
        }
        return made;
    }
    // Padding that is not a multiple of four is called on to fail at the end.
    bool InStream() const override { return m_inStream || m_padding % 4 != 0; }

    size_t BetweenStreams() {
        const unsigned char* end = Input() + InputLeft();
        const unsigned char* next =
            std::find_if(Input(), end, [](unsigned char b) { return b != 0; });
        m_padding += static_cast<size_t>(next - Input());
        Consume(static_cast<size_t>(next - Input()));
        if (next == end && !InputEnded()) return 0;
        if (next != end && *next != kFirstMagicByte) Garbage();
        if (m_padding % 4 != 0) Corrupt();
        m_padding = 0;
        m_inStream = true;
        return 0;
    }

    // The decoder keeps its memory when it is set up again on its stream.
    void Start() {
        if (lzma_stream_decoder(&m_stream, m_limit, 0) != LZMA_OK) throw std::bad_alloc();
    }

    [[noreturn]] void Failed(lzma_ret result) const {
        if (result == LZMA_MEM_ERROR) throw std::bad_alloc();
        if (result == LZMA_MEMLIMIT_ERROR)
            NeedsMore("dictionary", lzma_memusage(&m_stream), m_limit);
        if (result == LZMA_BUF_ERROR && InputEnded()) CutShort();
        if (result == LZMA_FORMAT_ERROR) Garbage();  // the first stream's magic was checked
        if (result == LZMA_OPTIONS_ERROR) Fail("the xz data uses options liblzma can't read");
        Corrupt();
    }

    lzma_stream m_stream{};  // LZMA_STREAM_INIT
    uint64_t m_limit;
    uint64_t m_memory = 0;  // the most the decoder has needed
    bool m_inStream = false;
    size_t m_padding = 0;
};

bool ReadAt(int fd, uint8_t* to, size_t size, uint64_t offset) {
    return Sys().Pread(fd, to, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}
}  // namespace

std::unique_ptr<ByteSource> XzSource(std::unique_ptr<ByteSource> compressed,
                                     const char* failureText, uint64_t memoryLimit) {
    return std::make_unique<Xz>(std::move(compressed), failureText, memoryLimit);
}

// The stream footer at the very end gives the size of the index before it.
uint64_t XzInflatedSize(int fd, uint64_t fileSize) {
    uint8_t footer[LZMA_STREAM_HEADER_SIZE];
    lzma_stream_flags flags{};
    if (fileSize < 2 * LZMA_STREAM_HEADER_SIZE ||
        !ReadAt(fd, footer, sizeof footer, fileSize - sizeof footer) ||
        lzma_stream_footer_decode(&flags, footer) != LZMA_OK ||
        flags.backward_size > kLargestIndex ||
        flags.backward_size > fileSize - 2 * LZMA_STREAM_HEADER_SIZE)
        return 0;
    std::vector<uint8_t> bytes(flags.backward_size);
    if (!ReadAt(fd, bytes.data(), bytes.size(), fileSize - sizeof footer - bytes.size())) return 0;
    lzma_index* index = nullptr;
    uint64_t memoryLimit = UINT64_MAX;
    size_t at = 0;
    if (lzma_index_buffer_decode(&index, &memoryLimit, nullptr, bytes.data(), &at, bytes.size()) !=
        LZMA_OK)
        return 0;
    const uint64_t size = lzma_index_uncompressed_size(index);
    lzma_index_end(index, nullptr);
    return size;
}

}  // namespace lintrim
