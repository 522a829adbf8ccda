// Reads a list in large sequential blocks into one buffer. The length taken
// when the file was opened is the contract: a file that grows or shrinks
// while it is read is reported, never half-used.
#include "InputList.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "JobFailure.h"
#include "StatusTexts.h"
#include "SystemCalls.h"

namespace {
constexpr uint64_t kDefaultBlockSize = uint64_t{8} << 20;
uint64_t g_blockSize = kDefaultBlockSize;
constexpr char kEndOfFileMark = 26;
}  // namespace

void InputList::SetBlockSizeForTesting(uint64_t bytes) {
    g_blockSize = bytes ? bytes : kDefaultBlockSize;
}

std::optional<InputList> InputList::Open(const std::string& path) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kExclusive);
    if (!location) return std::nullopt;
    return InputList(std::move(*location));
}

std::optional<InputList> InputList::OpenReference(const std::string& path) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kNone);
    if (!location) return std::nullopt;
    return InputList(std::move(*location));
}

ListBuffer InputList::ReadAll(const BlockObserver& onBlock, const char* failureText) {
    ListBuffer buffer;
    buffer.size = m_size;
    if (m_size <= UINT64_MAX - ListBuffer::kSlack)
        buffer.block = LargeBlock::Take(m_size + ListBuffer::kSlack);
    if (!buffer.block) throw JobFailure(status::kNotEnoughMemory);
    ReadBlocks(buffer, onBlock, failureText);
    // An end-of-file mark counts only as the very last byte: anywhere else it
    // is part of a line, and cutting the list there would lose what follows.
    buffer.contentEnd = m_size;
    if (m_size > 0 && buffer.Bytes()[m_size - 1] == kEndOfFileMark) buffer.contentEnd = m_size - 1;
    return buffer;
}

void InputList::ReadBlocks(ListBuffer& buffer, const BlockObserver& onBlock,
                           const char* failureText) {
    uint64_t done = 0;
    while (done < m_size) {
        const size_t want = static_cast<size_t>(std::min(g_blockSize, m_size - done));
        const ssize_t got = Sys().Read(Descriptor(), buffer.Bytes() + done, want);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw JobFailure(failureText);  // an error, or the file shrank
        done += static_cast<uint64_t>(got);
        onBlock(buffer, done);
    }
    if (m_size == 0) onBlock(buffer, 0);
    char probe;
    ssize_t extra;
    do {
        extra = Sys().Read(Descriptor(), &probe, 1);
    } while (extra < 0 && errno == EINTR);
    if (extra != 0) throw JobFailure(failureText);  // the file grew, or the read failed
}
