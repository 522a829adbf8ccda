// Appending to and reading back unnamed scratch files, a packed block at
// a time.
#include "partition/SpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/ScratchFile.h"
#include "os/SystemCalls.h"
#include "os/ThreadCaches.h"
#include "partition/SpillCodec.h"
#include "record/LineHash.h"

namespace lintrim {

namespace {
// Large enough to pack well, small enough that a thread's buffers stay
// small beside its budget and that a read ending inside a block unpacks
// little more than it uses.
constexpr size_t kBlockBytes = size_t{128} << 10;
constexpr size_t kCheckBytes = sizeof(uint32_t);
constexpr size_t kMarkEvery = 64;

std::atomic<size_t> g_blockSize{0};
std::atomic<uint64_t> g_nextId{1};

size_t BlockSize() {
    const size_t size = g_blockSize.load(std::memory_order_relaxed);
    return size ? size : kBlockBytes;
}

uint32_t CheckOf(const char* bytes, size_t size) {
    return static_cast<uint32_t>(XXH3_64bits(bytes, size));
}

// What a thread holds while it appends or reads: the block being made,
// one block as on disk, and the last block it read only in part, which
// the next read of the same file most often goes on in.
struct Scratch {
    ByteBuffer staged;
    ByteBuffer stored;
    ByteBuffer cached;
    uint64_t cachedFile = 0;
    size_t cachedBlock = 0;
};

thread_local Scratch* t_scratch = nullptr;

void FreeScratch() {
    std::unique_ptr<Scratch>(std::exchange(t_scratch, nullptr));
}

Scratch& ThreadScratch() {
    if (!t_scratch) {
        t_scratch = std::make_unique<Scratch>().release();
        ReleaseAtThreadEnd(FreeScratch);
    }
    return *t_scratch;
}

[[noreturn]] void WriteFailed(const std::string& folder) {
    throw JobFailure(
        errno == ENOSPC || errno == EDQUOT ? status::kNoDiskSpace : status::kTempCantBeWritten,
        FailureCause::FromErrno("write"), folder);
}

// Packs a block into `to`; returns what it takes on disk, check included.
size_t StoreBlock(const char* bytes, size_t size, ByteBuffer& to) {
    to.Resize(std::max(SpillCodec::Bound(size), size) + kCheckBytes);
    size_t stored = SpillCodec::Pack(bytes, size, to.Data());
    if (stored == 0) {
        std::memcpy(to.Data(), bytes, size);
        stored = size;
    }
    const uint32_t check = CheckOf(to.Data(), stored);
    std::memcpy(to.Data() + stored, &check, kCheckBytes);
    return stored + kCheckBytes;
}
}  // namespace

SpillFile::SpillFile(ScratchFile file, std::string folder)
    : m_file(std::move(file)), m_folder(std::move(folder)), m_id(g_nextId++) {}

SpillFile SpillFile::Create(const std::string& folder) {
    return SpillFile(ScratchFile::Create(folder), folder);
}

void SpillFile::SetBlockSizeForTesting(size_t bytes) {
    g_blockSize = bytes;
}

void SpillFile::Append(const char* bytes, size_t size) {
    ThreadScratch().staged.Clear();  // what a failed append left
    Stage(bytes, size);
    EndBlock();
}

void SpillFile::Append(const std::vector<ByteBuffer>& buffers) {
    ThreadScratch().staged.Clear();
    for (const ByteBuffer& buffer : buffers) Stage(buffer.Data(), buffer.Size());
    EndBlock();
}

// Whole blocks go straight from the caller's bytes; the rest is gathered.
void SpillFile::Stage(const char* bytes, size_t size) {
    ByteBuffer& staged = ThreadScratch().staged;
    const size_t block = BlockSize();
    while (size > 0) {
        const size_t take = std::min(size, block - staged.Size());
        if (staged.Empty() && take == block) {
            WriteBlock(bytes, take);
        } else {
            staged.Reserve(block);
            staged.Append(bytes, take);
            if (staged.Size() == block) EndBlock();
        }
        bytes += take;
        size -= take;
    }
}

void SpillFile::EndBlock() {
    ByteBuffer& staged = ThreadScratch().staged;
    if (staged.Empty()) return;
    WriteBlock(staged.Data(), staged.Size());
    staged.Clear();
}

void SpillFile::WriteBlock(const char* bytes, size_t size) {
    ByteBuffer& stored = ThreadScratch().stored;
    const size_t onDisk = StoreBlock(bytes, size, stored);
    WriteAll(stored.Data(), onDisk);
    if (m_blocks.size() % kMarkEvery == 0) m_marks.push_back({m_size, m_diskSize});
    m_blocks.push_back({static_cast<uint32_t>(onDisk - kCheckBytes), static_cast<uint32_t>(size)});
    m_size += size;
    m_diskSize += onDisk;
}

void SpillFile::WriteAll(const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = Sys().Write(m_file->Descriptor(), bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            WriteFailed(m_folder);
        }
        bytes += done;
        size -= static_cast<size_t>(done);
    }
}

size_t SpillFile::Find(uint64_t offset, Place& place) const {
    const auto mark = std::upper_bound(m_marks.begin(), m_marks.end(), offset,
                                       [](uint64_t at, const Place& p) { return at < p.at; });
    if (mark == m_marks.begin()) return m_blocks.size();
    place = *std::prev(mark);
    size_t b = static_cast<size_t>(std::prev(mark) - m_marks.begin()) * kMarkEvery;
    for (; b < m_blocks.size() && place.at + m_blocks[b].size <= offset; ++b) {
        place.at += m_blocks[b].size;
        place.diskAt += m_blocks[b].stored + kCheckBytes;
    }
    return b;
}

// Whole blocks are unpacked straight into `to`; a block read in part is
// kept, so that the next read of the file goes on from memory.
void SpillFile::ReadAt(char* to, size_t size, uint64_t offset) const {
    Place place;
    size_t b = Find(offset, place);
    Scratch& scratch = ThreadScratch();
    while (size > 0) {
        if (b == m_blocks.size()) CutShort();
        const Block& block = m_blocks[b];
        const size_t skip = static_cast<size_t>(offset - place.at);
        const size_t take = std::min<size_t>(size, block.size - skip);
        if (take == block.size) {
            Load(b, place, to);
        } else {
            if (scratch.cachedFile != m_id || scratch.cachedBlock != b) {
                scratch.cachedFile = 0;  // until the block is whole
                scratch.cached.Resize(block.size);
                Load(b, place, scratch.cached.Data());
                scratch.cachedFile = m_id;
                scratch.cachedBlock = b;
            }
            std::memcpy(to, scratch.cached.Data() + skip, take);
        }
        to += take;
        size -= take;
        offset += take;
        place.at += block.size;
        place.diskAt += block.stored + kCheckBytes;
        ++b;
    }
}

void SpillFile::Load(size_t b, const Place& place, char* to) const {
    const Block& block = m_blocks[b];
    ByteBuffer& stored = ThreadScratch().stored;
    stored.Resize(block.stored + kCheckBytes);
    char* into = stored.Data();
    for (size_t got = 0; got < stored.Size();) {
        const ssize_t done = Sys().Pread(m_file->Descriptor(), into + got, stored.Size() - got,
                                         static_cast<off_t>(place.diskAt + got));
        if (done < 0 && errno == EINTR) continue;
        if (done < 0)
            throw JobFailure(status::kTempCantBeRead, FailureCause::FromErrno("read"), m_folder);
        if (done == 0) CutShort();
        got += static_cast<size_t>(done);
    }
    uint32_t check;
    std::memcpy(&check, into + block.stored, kCheckBytes);
    if (check != CheckOf(into, block.stored)) Damaged();
    if (block.stored == block.size)
        std::memcpy(to, into, block.size);
    else if (!SpillCodec::Unpack(into, block.stored, to, block.size))
        Damaged();
}

void SpillFile::CutShort() const {
    throw JobFailure(status::kTempCantBeRead, {0, "a temporary file was cut short"}, m_folder);
}

void SpillFile::Damaged() const {
    throw JobFailure(status::kTempCantBeRead, {0, "a temporary file was damaged"}, m_folder);
}

uint64_t SpillFile::FreeSpace() const {
    uint64_t bytes = 0;
    if (Sys().FreeSpace(m_file->Descriptor(), &bytes) != 0)
        return UINT64_MAX;  // unknown: let writes tell
    return bytes;
}

size_t SpillFile::BlockBytes() {
    return BlockSize();
}

uint64_t SpillFile::DiskSizeOf(const char* bytes, size_t size) {
    ByteBuffer stored;
    uint64_t onDisk = 0;
    for (size_t at = 0; at < size; at += BlockSize())
        onDisk += StoreBlock(bytes + at, std::min(size - at, BlockSize()), stored);
    return onDisk;
}

}  // namespace lintrim
