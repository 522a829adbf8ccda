// Decompressing zstd frames; the context starts the next frame by itself.
#include "read/ZstdSource.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <new>

#include "os/SystemCalls.h"
#include "read/InflatingSource.h"

namespace {
// ZSTD_FRAMEHEADERSIZE_MAX, which libzstd declares only for static linking.
constexpr size_t kLargestFrameHeader = 18;

class Zstd : public InflatingSource {
public:
    Zstd(std::unique_ptr<ByteSource> compressed, const char* failureText)
        : InflatingSource(std::move(compressed), failureText, "zstd"),
          m_context(ZSTD_createDCtx()) {
        if (!m_context) throw std::bad_alloc();
    }
    ~Zstd() override { ZSTD_freeDCtx(m_context); }
    Zstd(const Zstd&) = delete;
    Zstd& operator=(const Zstd&) = delete;

private:
    // A call returns 0 exactly when a frame has ended and all of it is out.
    size_t Inflate(char* to, size_t size) override {
        if (!m_inFrame && !StartsFrame(Input()[0])) Garbage();
        ZSTD_inBuffer in{Input(), InputLeft(), 0};
        ZSTD_outBuffer out{to, size, 0};
        const size_t result = ZSTD_decompressStream(m_context, &out, &in);
        Consume(in.pos);
        if (ZSTD_isError(result)) Failed(result);
        m_inFrame = result != 0;
        return out.pos;
    }
    bool InStream() const override { return m_inFrame; }

    // A zstd frame, or a skippable one (0x184D2A5?, stored little-endian).
    static bool StartsFrame(unsigned char first) { return first == 0x28 || (first & 0xf0) == 0x50; }

    // Only a frame's start is checked for its magic number, and the first
    // frame's was: an unknown one is what follows the data.
    [[noreturn]] void Failed(size_t result) const {
        const ZSTD_ErrorCode error = ZSTD_getErrorCode(result);
        if (error == ZSTD_error_memory_allocation) throw std::bad_alloc();
        if (error == ZSTD_error_prefix_unknown) Garbage();
        if (error == ZSTD_error_corruption_detected || error == ZSTD_error_checksum_wrong)
            Corrupt();
        Fail(ZSTD_getErrorName(result));
    }

    ZSTD_DCtx* m_context;
    bool m_inFrame = false;
};
}  // namespace

std::unique_ptr<ByteSource> ZstdSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText) {
    return std::make_unique<Zstd>(std::move(compressed), failureText);
}

uint64_t ZstdInflatedSize(int fd, uint64_t fileSize) {
    char header[kLargestFrameHeader];
    const ssize_t got = Sys().Pread(
        fd, header, static_cast<size_t>(std::min<uint64_t>(sizeof header, fileSize)), 0);
    if (got <= 0) return 0;
    const unsigned long long size = ZSTD_getFrameContentSize(header, static_cast<size_t>(got));
    return size == ZSTD_CONTENTSIZE_UNKNOWN || size == ZSTD_CONTENTSIZE_ERROR ? 0 : size;
}
