// Decompressing zstd frames; the context starts the next frame by itself.
// Each frame's window is checked against what the run lets a decoder hold
// before libzstd sets it up.
#include "read/ZstdSource.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <new>
#include <optional>

#include "os/SystemCalls.h"
#include "read/InflatingSource.h"

namespace lintrim {

namespace {
// ZSTD_FRAMEHEADERSIZE_MAX, which libzstd declares only for static linking.
constexpr size_t kLargestFrameHeader = 18;
constexpr size_t kMagicSize = 4;
constexpr unsigned kSmallestWindowLog = 10;

// The window a frame header declares (RFC 8878, 3.1.1.1): a single-segment
// frame's is its content size. Nothing until the header is whole.
std::optional<uint64_t> DeclaredWindow(const unsigned char* header, size_t size) {
    if (size <= kMagicSize) return std::nullopt;
    const unsigned char descriptor = header[kMagicSize];
    const bool singleSegment = descriptor & 0x20;
    const size_t dictionaryBytes[] = {0, 1, 2, 4};
    const size_t contentBytes[] = {singleSegment ? 1u : 0u, 2, 4, 8};
    const size_t contentAt =
        kMagicSize + 1 + (singleSegment ? 0 : 1) + dictionaryBytes[descriptor & 3];
    const size_t contentSize = contentBytes[descriptor >> 6];
    if (size < contentAt + contentSize) return std::nullopt;
    if (!singleSegment) {
        const unsigned char window = header[kMagicSize + 1];
        const uint64_t base = uint64_t{1} << (kSmallestWindowLog + (window >> 3));
        return base + base / 8 * (window & 7);
    }
    uint64_t content = 0;
    for (size_t i = contentSize; i > 0; --i) content = content << 8 | header[contentAt + i - 1];
    return contentSize == 2 ? content + 256 : content;
}

// The window log libzstd allows: the limit rounded up to a power of two, so
// that it never refuses what the check above let through.
int WindowLogFor(uint64_t limit) {
    const int largest = ZSTD_dParam_getBounds(ZSTD_d_windowLogMax).upperBound;
    int log = kSmallestWindowLog;
    while (log < largest && (uint64_t{1} << log) < limit) ++log;
    return log;
}

class Zstd : public InflatingSource {
public:
    Zstd(std::unique_ptr<ByteSource> compressed, const char* failureText, uint64_t memoryLimit)
        : InflatingSource(std::move(compressed), failureText, "zstd"),
          m_context(ZSTD_createDCtx()),
          m_limit(memoryLimit) {
        if (!m_context) throw std::bad_alloc();
        ZSTD_DCtx_setParameter(m_context, ZSTD_d_windowLogMax, WindowLogFor(m_limit));
    }
    ~Zstd() override { ZSTD_freeDCtx(m_context); }
    Zstd(const Zstd&) = delete;
    Zstd& operator=(const Zstd&) = delete;

    uint64_t WorkingMemory() const override { return m_window; }

private:
    // A call returns 0 exactly when a frame has ended and all of it is out.
    size_t Inflate(char* to, size_t size) override {
        if (!m_inFrame && !StartsFrame(Input()[0])) Garbage();
        if (!m_inFrame) m_headerSize = 0;
        if (m_headerSize < kLargestFrameHeader) CheckWindow();
        ZSTD_inBuffer in{Input(), InputLeft(), 0};
        ZSTD_outBuffer out{to, size, 0};
        const size_t result = ZSTD_decompressStream(m_context, &out, &in);
        KeepHeader(in.pos);
        Consume(in.pos);
        if (ZSTD_isError(result)) Failed(result);
        m_inFrame = result != 0;
        return out.pos;
    }
    bool InStream() const override { return m_inFrame; }

    // A zstd frame, or a skippable one (0x184D2A5?, stored little-endian).
    static bool StartsFrame(unsigned char first) { return first == 0x28 || (first & 0xf0) == 0x50; }

    // The header may straddle two blocks of input: its first bytes are kept
    // as libzstd takes them.
    void KeepHeader(size_t taken) {
        const size_t kept = std::min(taken, kLargestFrameHeader - m_headerSize);
        std::copy_n(Input(), kept, m_header + m_headerSize);
        m_headerSize += kept;
    }

    void CheckWindow() {
        unsigned char header[kLargestFrameHeader] = {};
        std::copy_n(m_header, m_headerSize, header);
        const size_t more = std::min(InputLeft(), kLargestFrameHeader - m_headerSize);
        std::copy_n(Input(), more, header + m_headerSize);
        if (header[0] != 0x28) return;  // a skippable frame, or none yet
        const std::optional<uint64_t> window = DeclaredWindow(header, m_headerSize + more);
        if (!window) return;
        if (*window > m_limit) NeedsMore("window", *window, m_limit);
        m_window = std::max(m_window, *window);
        m_headerSize = kLargestFrameHeader;  // checked
    }

    // Only a frame's start is checked for its magic number, and the first
    // frame's was: an unknown one is what follows the data.
    [[noreturn]] void Failed(size_t result) const {
        const ZSTD_ErrorCode error = ZSTD_getErrorCode(result);
        if (error == ZSTD_error_memory_allocation) throw std::bad_alloc();
        if (error == ZSTD_error_prefix_unknown) Garbage();
        if (error == ZSTD_error_corruption_detected || error == ZSTD_error_checksum_wrong)
            Corrupt();
        // CheckWindow() names the window first; this holds only if it did not.
        if (error == ZSTD_error_frameParameter_windowTooLarge)
            Fail("the zstd stream needs a larger window than the memory budget allows");
        Fail(ZSTD_getErrorName(result));
    }

    ZSTD_DCtx* m_context;
    uint64_t m_limit;
    bool m_inFrame = false;
    unsigned char m_header[kLargestFrameHeader] = {};
    size_t m_headerSize = 0;  // of the frame's first bytes kept; all of them once checked
    uint64_t m_window = 0;    // the largest window so far
};
}  // namespace

std::unique_ptr<ByteSource> ZstdSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText, uint64_t memoryLimit) {
    return std::make_unique<Zstd>(std::move(compressed), failureText, memoryLimit);
}

uint64_t ZstdInflatedSize(int fd, uint64_t fileSize) {
    char header[kLargestFrameHeader];
    const ssize_t got = Sys().Pread(
        fd, header, static_cast<size_t>(std::min<uint64_t>(sizeof header, fileSize)), 0);
    if (got <= 0) return 0;
    const unsigned long long size = ZSTD_getFrameContentSize(header, static_cast<size_t>(got));
    return size == ZSTD_CONTENTSIZE_UNKNOWN || size == ZSTD_CONTENTSIZE_ERROR ? 0 : size;
}

}  // namespace lintrim
