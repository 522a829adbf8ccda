// Decompressing lz4 frames; the context starts the next frame by itself.
#include "read/Lz4Source.h"

#include <lz4frame.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "os/SystemCalls.h"
#include "read/InflatingSource.h"

namespace lintrim {

namespace {
// The frame descriptor: FLG at byte 4 (bit 3: the content size follows
// BD, at byte 6), BD at byte 5 (bits 4-6: the largest block).
constexpr size_t kFlagByte = 4;
constexpr size_t kBlockByte = 5;
constexpr size_t kContentSizeAt = 6;
constexpr unsigned char kContentSizeFlag = 0x08;
// The context holds a block in and a block out, and 128 KiB of history
// for linked blocks.
constexpr uint64_t kHistory = uint64_t{128} << 10;

class Lz4 : public InflatingSource {
public:
    Lz4(std::unique_ptr<ByteSource> compressed, const char* failureText)
        : InflatingSource(std::move(compressed), failureText, "lz4") {
        if (LZ4F_isError(LZ4F_createDecompressionContext(&m_context, LZ4F_VERSION)))
            throw std::bad_alloc();
    }
    ~Lz4() override { LZ4F_freeDecompressionContext(m_context); }
    Lz4(const Lz4&) = delete;
    Lz4& operator=(const Lz4&) = delete;

    uint64_t WorkingMemory() const override { return m_memory; }

private:
    // A call returns 0 exactly when a frame has ended and all of it is out.
    size_t Inflate(char* to, size_t size) override {
        if (!m_inFrame && !StartsFrame(Input()[0])) Garbage();
        if (!m_inFrame) NoteBlockSize();
        size_t given = InputLeft();
        size_t made = size;
        const size_t hint = LZ4F_decompress(m_context, to, &made, Input(), &given, nullptr);
        Consume(given);
        if (LZ4F_isError(hint)) Failed(hint);
        m_inFrame = hint != 0;
        return made;
    }
    bool InStream() const override { return m_inFrame; }

    // An lz4 frame, or a skippable one (0x184D2A5?, stored little-endian).
    static bool StartsFrame(unsigned char first) { return first == 0x04 || (first & 0xf0) == 0x50; }

    // Block sizes 4 to 7 are 64 KiB, 256 KiB, 1 MiB and 4 MiB.
    void NoteBlockSize() {
        if (InputLeft() <= kBlockByte || Input()[0] != 0x04) return;
        const unsigned id = (Input()[kBlockByte] >> 4) & 7;
        if (id < 4) return;
        const uint64_t block = uint64_t{1} << (2 * id + 8);
        m_memory = std::max(m_memory, 2 * block + kHistory);
    }

    // Only a frame's start is checked for its magic number, and the first
    // frame's was: an unknown one is what follows the data.
    [[noreturn]] void Failed(size_t result) const {
        const char* name = LZ4F_getErrorName(result);
        if (std::strcmp(name, "ERROR_allocation_failed") == 0) throw std::bad_alloc();
        if (std::strcmp(name, "ERROR_frameType_unknown") == 0) Garbage();
        Corrupt();
    }

    LZ4F_dctx* m_context = nullptr;
    bool m_inFrame = false;
    uint64_t m_memory = 0;
};
}  // namespace

std::unique_ptr<ByteSource> Lz4Source(std::unique_ptr<ByteSource> compressed,
                                      const char* failureText) {
    return std::make_unique<Lz4>(std::move(compressed), failureText);
}

uint64_t Lz4InflatedSize(int fd, uint64_t fileSize) {
    unsigned char header[kContentSizeAt + 8] = {};
    if (fileSize < sizeof header ||
        Sys().Pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
        header[0] != 0x04 || !(header[kFlagByte] & kContentSizeFlag))
        return 0;
    uint64_t size = 0;
    for (size_t i = sizeof header; i > kContentSizeAt; --i) size = size << 8 | header[i - 1];
    return size;
}

}  // namespace lintrim
