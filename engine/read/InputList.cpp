// Opening input and reference lists, copying standard input aside, and
// choosing the byte source of each reading.
#include "read/InputList.h"

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include "api/StatusTexts.h"
#include "os/SystemCalls.h"

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
}  // namespace

InputList::InputList(ListLocation location, std::string name)
    : m_name(std::move(name)), m_location(std::move(location)) {
    NoteFormat(m_location->Descriptor(), static_cast<uint64_t>(m_location->Identity().size));
}

std::optional<InputList> InputList::OpenToReplace(const std::string& path, FailureCause* why) {
    std::optional<ListLocation> location =
        ListLocation::Open(path, ListLocation::Lock::kExclusive, why);
    if (!location) return std::nullopt;
    return InputList(std::move(*location), path);
}

std::optional<InputList> InputList::OpenToRead(const std::string& path, FailureCause* why) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kNone, why);
    if (!location) return std::nullopt;
    return InputList(std::move(*location), path);
}

InputList InputList::StandardInput(const std::optional<std::string>& spoolFolder) {
    InputList list;
    list.m_name.assign(1, '-');  // not = "-": GCC 12 warns wrongly of an overlap there
    if (!spoolFolder) return list;
    list.m_spool.emplace(ScratchFile::Create(*spoolFolder));
    const int fd = list.m_spool->Descriptor();
    list.NoteFormat(fd, CopyStandardInput(fd, *spoolFolder));
    return list;
}

void InputList::NoteFormat(int fd, uint64_t size) {
    m_fileSize = size;
    char magic[kFormatMagicSize];
    const ssize_t got = Sys().Pread(fd, magic, kFormatMagicSize, 0);
    m_format = FormatOfStart(magic, got > 0 ? static_cast<size_t>(got) : 0);
    m_size = InflatedSizeGuess(m_format, fd, size);
}

std::unique_ptr<ByteSource> InputList::OpenSource(const char* failureText) {
    std::unique_ptr<ByteSource> source;
    if (m_released)
        source = ReopenedSource(failureText);
    else if (m_location || m_spool)
        source = OpenedSource(failureText);
    else
        source = StandardInputSource(failureText);
    return InflatedSource(m_format, std::move(source), failureText);
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
    std::string start(kFormatMagicSize, '\0');
    std::unique_ptr<ByteSource> in = StreamSource(STDIN_FILENO, {}, failureText);
    size_t got = 0;
    while (got < kFormatMagicSize) {
        const size_t n = in->Read(start.data() + got, kFormatMagicSize - got);
        if (n == 0) break;
        got += n;
    }
    start.resize(got);
    m_format = FormatOfStart(start.data(), got);
    return StreamSource(STDIN_FILENO, std::move(start), failureText);
}
