// The three byte sources. Reads retry on EINTR; every failure names its
// cause (the errno, or what is wrong with the data).
#include "read/ByteSource.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "api/JobFailure.h"
#include "os/ByteBuffer.h"
#include "os/SystemCalls.h"

namespace {
constexpr size_t kInflateInput = size_t{256} << 10;

// One read(2), retried on EINTR; -1 leaves errno set.
ssize_t ReadOnce(int fd, char* to, size_t size) {
    ssize_t done;
    do {
        done = Sys().Read(fd, to, size);
    } while (done < 0 && errno == EINTR);
    return done;
}

class PlainFile : public ByteSource {
public:
    PlainFile(int fd, uint64_t size, const char* failureText)
        : m_fd(fd), m_left(size), m_failureText(failureText) {}

    size_t Read(char* to, size_t size) override {
        if (m_left == 0) return CheckAtEnd();
        const ssize_t done =
            ReadOnce(m_fd, to, static_cast<size_t>(std::min<uint64_t>(size, m_left)));
        if (done < 0) throw JobFailure(m_failureText, FailureCause::FromErrno("read"));
        if (done == 0) throw JobFailure(m_failureText, {0, "the file shrank while it was read"});
        m_left -= static_cast<uint64_t>(done);
        return static_cast<size_t>(done);
    }

private:
    size_t CheckAtEnd() {
        if (m_ended) return 0;
        m_ended = true;
        char probe;
        const ssize_t extra = ReadOnce(m_fd, &probe, 1);
        if (extra < 0) throw JobFailure(m_failureText, FailureCause::FromErrno("read"));
        if (extra > 0) throw JobFailure(m_failureText, {0, "the file grew while it was read"});
        return 0;
    }

    int m_fd;
    uint64_t m_left;
    const char* m_failureText;
    bool m_ended = false;
};

class Stream : public ByteSource {
public:
    Stream(int fd, std::string pending, const char* failureText)
        : m_fd(fd), m_pending(std::move(pending)), m_failureText(failureText) {}

    size_t Read(char* to, size_t size) override {
        if (m_at < m_pending.size()) {
            const size_t taken = std::min(size, m_pending.size() - m_at);
            std::memcpy(to, m_pending.data() + m_at, taken);
            m_at += taken;
            return taken;
        }
        const ssize_t done = ReadOnce(m_fd, to, size);
        if (done < 0) throw JobFailure(m_failureText, FailureCause::FromErrno("read"));
        return static_cast<size_t>(done);
    }

private:
    int m_fd;
    std::string m_pending;
    size_t m_at = 0;
    const char* m_failureText;
};

// Members follow one another until the compressed bytes end; the end of
// the compressed bytes inside a member is a stream cut short. Zero bytes
// after a member are padding (tape blocks, disk images), which gzip accepts
// too; a member never starts with one.
class Gzip : public ByteSource {
public:
    Gzip(std::unique_ptr<ByteSource> compressed, const char* failureText)
        : m_compressed(std::move(compressed)), m_failureText(failureText) {
        m_input.Resize(kInflateInput);
        if (inflateInit2(&m_stream, 15 + 16) != Z_OK) throw std::bad_alloc();
    }
    ~Gzip() override { inflateEnd(&m_stream); }
    Gzip(const Gzip&) = delete;
    Gzip& operator=(const Gzip&) = delete;

    size_t Read(char* to, size_t size) override {
        const auto want = static_cast<uInt>(std::min<size_t>(size, UINT32_MAX));
        m_stream.next_out = reinterpret_cast<Bytef*>(to);
        m_stream.avail_out = want;
        while (m_stream.avail_out == want && !m_ended) Inflate();
        return want - m_stream.avail_out;
    }

private:
    void Inflate() {
        if (m_stream.avail_in == 0 && !TakeInput()) {
            if (m_inMember) Fail("the gzip data is cut short");
            m_ended = true;
            return;
        }
        if (!m_inMember && m_stream.next_in[0] == 0) return SkipPadding();
        m_inMember = true;
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            m_inMember = false;
            inflateReset(&m_stream);
        } else if (result == Z_MEM_ERROR) {
            throw std::bad_alloc();
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            Fail(m_stream.msg ? m_stream.msg : "the gzip data is corrupt");
        }
    }
    void SkipPadding() {
        do {
            const Bytef* begin = m_stream.next_in;
            const Bytef* end = begin + m_stream.avail_in;
            if (std::find_if(begin, end, [](Bytef b) { return b != 0; }) != end)
                Fail("garbage after the gzip data");
            m_stream.avail_in = 0;
        } while (TakeInput());
        m_ended = true;
    }
    bool TakeInput() {
        const size_t got = m_compressed->Read(m_input.Data(), m_input.Size());
        m_stream.next_in = reinterpret_cast<Bytef*>(m_input.Data());
        m_stream.avail_in = static_cast<uInt>(got);
        return got > 0;
    }
    [[noreturn]] void Fail(const char* reason) { throw JobFailure(m_failureText, {0, reason}); }

    std::unique_ptr<ByteSource> m_compressed;
    const char* m_failureText;
    ByteBuffer m_input;
    z_stream m_stream{};
    bool m_inMember = false;
    bool m_ended = false;
};
}  // namespace

std::unique_ptr<ByteSource> FileSource(int fd, uint64_t size, const char* failureText) {
    return std::make_unique<PlainFile>(fd, size, failureText);
}

std::unique_ptr<ByteSource> StreamSource(int fd, std::string pending, const char* failureText) {
    return std::make_unique<Stream>(fd, std::move(pending), failureText);
}

std::unique_ptr<ByteSource> GzipSource(std::unique_ptr<ByteSource> compressed,
                                       const char* failureText) {
    return std::make_unique<Gzip>(std::move(compressed), failureText);
}

bool StartsAsGzip(const char* bytes, size_t size) {
    return size >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}
