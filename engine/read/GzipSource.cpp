// Inflating gzip members one after another.
#include "read/GzipSource.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

#include "os/SystemCalls.h"
#include "read/InflatingSource.h"

namespace lintrim {

namespace {
constexpr unsigned char kFirstMagicByte = 0x1f;
// Header and trailer of the smallest member.
constexpr uint64_t kSmallestMember = 18;

// Members follow one another until the compressed bytes end. Zero bytes
// after a member are padding (tape blocks, disk images), which gzip accepts
// too; a member never starts with one.
class Gzip : public InflatingSource {
public:
    Gzip(std::unique_ptr<ByteSource> compressed, const char* failureText)
        : InflatingSource(std::move(compressed), failureText, "gzip") {
        if (inflateInit2(&m_stream, 15 + 16) != Z_OK) throw std::bad_alloc();
    }
    ~Gzip() override { inflateEnd(&m_stream); }
    Gzip(const Gzip&) = delete;
    Gzip& operator=(const Gzip&) = delete;

private:
    size_t Inflate(char* to, size_t size) override {
        if (!m_inMember && (m_padding || Input()[0] == 0)) return SkipPadding();
        if (!m_inMember && Input()[0] != kFirstMagicByte) Garbage();
        m_inMember = true;
        const auto given = static_cast<uInt>(std::min<size_t>(InputLeft(), UINT_MAX));
        const auto room = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
        m_stream.next_in = const_cast<Bytef*>(Input());
        m_stream.avail_in = given;
        m_stream.next_out = reinterpret_cast<Bytef*>(to);
        m_stream.avail_out = room;
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        Consume(given - m_stream.avail_in);
        if (result == Z_STREAM_END) {
            m_inMember = false;
            inflateReset(&m_stream);
        } else if (result == Z_MEM_ERROR) {
            throw std::bad_alloc();
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            if (m_stream.msg) Fail(m_stream.msg);
            Corrupt();
        }
        return room - m_stream.avail_out;
    }
    bool InStream() const override { return m_inMember; }

    size_t SkipPadding() {
        const unsigned char* end = Input() + InputLeft();
        if (std::find_if(Input(), end, [](unsigned char b) { return b != 0; }) != end) Garbage();
        Consume(InputLeft());
        m_padding = true;
        return 0;
    }

    z_stream m_stream{};
    bool m_inMember = false;
    bool m_padding = false;
};
}  // namespace

std::unique_ptr<ByteSource> GzipSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText) {
    return std::make_unique<Gzip>(std::move(compressed), failureText);
}

uint64_t GzipInflatedSize(int fd, uint64_t fileSize) {
    unsigned char trailer[4] = {};
    if (fileSize < kSmallestMember ||
        Sys().Pread(fd, trailer, 4, static_cast<off_t>(fileSize - 4)) != 4)
        return 0;
    return uint64_t{trailer[0]} | uint64_t{trailer[1]} << 8 | uint64_t{trailer[2]} << 16 |
           uint64_t{trailer[3]} << 24;
}

}  // namespace lintrim
