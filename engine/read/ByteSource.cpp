// The sources of stored bytes. Reads retry on EINTR; every failure names its
// cause (the errno, or what is wrong with the file).
#include "read/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "lintrim/JobFailure.h"
#include "os/SystemCalls.h"

namespace lintrim {

namespace {
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
}  // namespace

std::string FirstBytes(ByteSource& source, size_t size) {
    std::string bytes(size, '\0');
    size_t got = 0;
    while (got < size) {
        const size_t n = source.Read(bytes.data() + got, size - got);
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

std::unique_ptr<ByteSource> FileSource(int fd, uint64_t size, const char* failureText) {
    return std::make_unique<PlainFile>(fd, size, failureText);
}

std::unique_ptr<ByteSource> StreamSource(int fd, std::string pending, const char* failureText) {
    return std::make_unique<Stream>(fd, std::move(pending), failureText);
}

}  // namespace lintrim
