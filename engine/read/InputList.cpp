// Opening input and reference lists, copying standard input aside, and
// choosing the byte source of each reading.
#include "read/InputList.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"
#include "read/PackedFiles.h"

namespace lintrim {

namespace {
constexpr size_t kCopyBlock = size_t{1} << 20;

void Rewind(int fd, const char* failureText, const std::string& name) {
    if (::lseek(fd, 0, SEEK_SET) != 0)
        throw JobFailure(failureText, FailureCause::FromErrno("lseek"), name);
}

void WriteWhole(int to, const char* bytes, size_t size, const std::string& folder) {
    while (size > 0) {
        const ssize_t done = Sys().Write(to, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0)
            throw JobFailure(
                status::kTempCantBeWritten,
                done == 0 ? FailureCause{ENOSPC, {}, "write"} : FailureCause::FromErrno("write"),
                folder);
        bytes += done;
        size -= static_cast<size_t>(done);
    }
}

// Copies standard input to `to`, a file in `folder`; returns the bytes copied.
uint64_t CopyStandardInput(int to, const std::string& folder) {
    std::string block(kCopyBlock, '\0');
    uint64_t copied = 0;
    std::unique_ptr<ByteSource> in = StreamSource(STDIN_FILENO, {}, status::kInputCantBeRead);
    try {
        while (const size_t got = in->Read(block.data(), block.size())) {
            WriteWhole(to, block.data(), got, folder);
            copied += got;
        }
    } catch (const JobFailure& failure) {
        throw failure.Naming("-");
    }
    return copied;
}

// A name that leads to no regular file: the list was removed, renamed or
// replaced; any other failure to open it is a failure to read.
bool Vanished(const FailureCause& why) {
    return why.error == 0 || why.error == ENOENT || why.error == ENOTDIR || why.error == ELOOP;
}

// A reading of a list opened for it alone: the list is closed with it.
class HeldList : public ByteSource {
public:
    HeldList(ListLocation location, uint64_t size, const char* failureText)
        : m_location(std::move(location)),
          m_file(FileSource(m_location.Descriptor(), size, failureText)) {}
    size_t Read(char* to, size_t size) override { return m_file->Read(to, size); }

private:
    ListLocation m_location;
    std::unique_ptr<ByteSource> m_file;
};

// Standard input inflated: its first bytes are looked at for a packed file
// inside before any of them is handed on.
class CheckedStart : public ByteSource {
public:
    CheckedStart(std::unique_ptr<ByteSource> inflated, ListFormat format)
        : m_inflated(std::move(inflated)), m_format(format) {}

    size_t Read(char* to, size_t size) override {
        if (!m_checked) Check();
        if (m_at == m_start.size()) return m_inflated->Read(to, size);
        const size_t taken = std::min(size, m_start.size() - m_at);
        std::memcpy(to, m_start.data() + m_at, taken);
        m_at += taken;
        return taken;
    }

private:
    void Check() {
        m_start = FirstBytes(*m_inflated, kPackedCheckSize);
        m_checked = true;
        if (const char* kind = PackedFileOfStart(m_start.data(), m_start.size()))
            throw JobFailure(status::kInvalidInputFile, {0, NotAWordList(kind, m_format)}, "-");
    }

    std::unique_ptr<ByteSource> m_inflated;
    ListFormat m_format;
    std::string m_start;
    size_t m_at = 0;
    bool m_checked = false;
};
}  // namespace

InputList::InputList(ListLocation location, std::string name, uint64_t decoderLimit)
    : m_name(std::move(name)), m_location(std::move(location)), m_decoderLimit(decoderLimit) {}

std::optional<InputList> InputList::OpenToReplace(const std::string& path, uint64_t decoderLimit,
                                                  FailureCause* why) {
    std::optional<ListLocation> location =
        ListLocation::Open(path, ListLocation::Lock::kExclusive, why);
    if (!location) return std::nullopt;
    return Checked(InputList(std::move(*location), path, decoderLimit), why);
}

std::optional<InputList> InputList::OpenToRead(const std::string& path, uint64_t decoderLimit,
                                               FailureCause* why) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kNone, why);
    if (!location) return std::nullopt;
    return Checked(InputList(std::move(*location), path, decoderLimit), why);
}

// A refused list is closed (and its lock let go) before the run goes on.
std::optional<InputList> InputList::Checked(InputList list, FailureCause* why) {
    const int fd = list.m_location->Descriptor();
    const std::optional<std::string> refusal =
        list.Examine(fd, static_cast<uint64_t>(list.m_location->Identity().size));
    if (!refusal) return list;
    if (why) *why = {0, *refusal, nullptr};
    return std::nullopt;
}

InputList InputList::StandardInput(const std::optional<std::string>& spoolFolder,
                                   uint64_t decoderLimit) {
    InputList list;
    list.m_decoderLimit = decoderLimit;
    list.m_name.assign(1, '-');  // not = "-": GCC 12 warns wrongly of an overlap there
    if (!spoolFolder) return list;
    list.m_spool.emplace(ScratchFile::Create(*spoolFolder));
    const int fd = list.m_spool->Descriptor();
    if (const std::optional<std::string> refusal =
            list.Examine(fd, CopyStandardInput(fd, *spoolFolder)))
        throw JobFailure(status::kInvalidInputFile, {0, *refusal, nullptr}, list.m_name);
    return list;
}

std::optional<std::string> InputList::Examine(int fd, uint64_t size) {
    m_fileSize = size;
    char start[kPackedCheckSize];
    const ssize_t got = Sys().Pread(fd, start, sizeof start, 0);
    const size_t startSize = got > 0 ? static_cast<size_t>(got) : 0;
    m_format = FormatOfStart(start, startSize);
    m_size = InflatedSizeGuess(m_format, fd, size);
    const char* kind =
        m_format == ListFormat::kPlain ? PackedFileOfStart(start, startSize) : PackedFileInside(fd);
    if (!kind) return std::nullopt;
    return NotAWordList(kind, m_format);
}

// The first inflated bytes, read from the descriptor's start (a pread on
// Windows moves the file's position; each reading rewinds it again). A
// stream that cannot be inflated that far is left for its reading to
// report, as it would be without this look.
const char* InputList::PackedFileInside(int fd) {
    try {
        Rewind(fd, status::kInputCantBeRead, m_name);
        std::unique_ptr<ByteSource> inflated =
            InflatedSource(m_format, FileSource(fd, m_fileSize, status::kInputCantBeRead),
                           status::kInputCantBeRead, m_decoderLimit);
        const std::string start = FirstBytes(*inflated, kPackedCheckSize);
        m_decoderMemory = inflated->WorkingMemory();
        return PackedFileOfStart(start.data(), start.size());
    } catch (const JobFailure&) {
        return nullptr;
    }
}

std::unique_ptr<ByteSource> InputList::OpenSource(const char* failureText) {
    if (!m_released && !m_location && !m_spool) return StandardInputSource(failureText);
    std::unique_ptr<ByteSource> source =
        m_released ? ReopenedSource(failureText) : OpenedSource(failureText);
    return InflatedSource(m_format, std::move(source), failureText, m_decoderLimit);
}

void InputList::Release() {
    if (!m_location) return;
    m_released = m_location->Identity();
    m_location.reset();
}

std::unique_ptr<ByteSource> InputList::OpenedSource(const char* failureText) {
    const int fd = m_location ? m_location->Descriptor() : m_spool->Descriptor();
    Rewind(fd, failureText, m_name);
    return FileSource(fd, m_fileSize, failureText);
}

// The path is resolved again: a name that leads to another file, or to this
// one changed, must not mix two versions of a list into one result.
std::unique_ptr<ByteSource> InputList::ReopenedSource(const char* failureText) const {
    FailureCause why;
    std::optional<ListLocation> location =
        ListLocation::Open(m_name, ListLocation::Lock::kNone, &why);
    if (!location && !Vanished(why)) throw JobFailure(failureText, why, m_name);
    if (!location || !(location->Identity() == *m_released))
        throw JobFailure(status::kInputChanged, {}, m_name);
    return std::make_unique<HeldList>(std::move(*location), m_fileSize, failureText);
}

// The first bytes are taken to look for a magic number, and come out first.
std::unique_ptr<ByteSource> InputList::StandardInputSource(const char* failureText) {
    if (std::exchange(m_read, true)) throw JobFailure(failureText, {0, "read once already"});
    std::unique_ptr<ByteSource> in = StreamSource(STDIN_FILENO, {}, failureText);
    std::string start = FirstBytes(*in, kPackedCheckSize);
    m_format = FormatOfStart(start.data(), start.size());
    const char* kind =
        m_format == ListFormat::kPlain ? PackedFileOfStart(start.data(), start.size()) : nullptr;
    if (kind)
        throw JobFailure(status::kInvalidInputFile, {0, NotAWordList(kind, m_format), nullptr},
                         m_name);
    std::unique_ptr<ByteSource> stored = StreamSource(STDIN_FILENO, std::move(start), failureText);
    if (m_format == ListFormat::kPlain) return stored;
    return std::make_unique<CheckedStart>(
        InflatedSource(m_format, std::move(stored), failureText, m_decoderLimit), m_format);
}

}  // namespace lintrim
