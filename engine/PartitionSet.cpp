// Partition count, spilling and reading spilled partitions back.
#include "PartitionSet.h"

#include <sys/resource.h>
#include <algorithm>

#include <bit>

#include "JobFailure.h"
#include "StatusTexts.h"

namespace {
// Grouping stays within the caches while a partition holds about this much.
constexpr uint64_t kCacheFriendlyBytes = uint64_t{512} << 10;
constexpr unsigned kMostInMemory = 256;
// A spilled partition, grouped by each thread at once, must leave room for
// its distinct lines and their table: it gets this fraction of the budget.
constexpr uint64_t kSpilledShare = 16;
constexpr unsigned kMostPartitions = 4096;
// Records take their lines' bytes and a head; with short lines, about this
// many times the bytes of the list.
constexpr uint64_t kRecordGrowth = 3;
// Spilled partitions and the runs made from them overlap on disk.
constexpr uint64_t kDiskNeedPercent = 130;
constexpr size_t kReadChunk = size_t{4} << 20;
constexpr size_t kLargestSlab = size_t{64} << 10;
constexpr size_t kSmallestSlab = size_t{4} << 10;
// Descriptors kept free for everything but the partitions' and runs' files.
constexpr uint64_t kSpareDescriptors = 64;

// How many partitions the process can keep a file open for (a partition's
// file, then its run's), after raising its limit of descriptors as far as
// it may.
uint64_t PartitionsWithFiles() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    const uint64_t open = limit.rlim_cur == RLIM_INFINITY ? kMostPartitions * 2 : limit.rlim_cur;
    return open > 2 * kSpareDescriptors ? (open - kSpareDescriptors) / 2 : 1;
}
}  // namespace

unsigned PartitionSet::CountFor(uint64_t bytes, uint64_t budget) {
    const uint64_t records = bytes * kRecordGrowth;
    uint64_t wanted = std::min<uint64_t>(bytes / kCacheFriendlyBytes, kMostInMemory);
    if (records > budget / 2)
        wanted = std::max<uint64_t>(wanted, records / (budget / kSpilledShare));
    wanted = std::clamp<uint64_t>(wanted, 1, kMostPartitions);
    const uint64_t most = std::bit_floor(std::max<uint64_t>(PartitionsWithFiles(), 1));
    return static_cast<unsigned>(std::min(std::bit_ceil(wanted), most));
}

PartitionSet::PartitionSet(unsigned partitions, uint64_t memoryLimit, std::string tempFolder,
                           uint64_t expectedBytes)
    : m_parts(partitions),
      m_limit(memoryLimit),
      m_tempFolder(std::move(tempFolder)),
      m_expectedBytes(expectedBytes),
      // Every partition may start a slab within one stretch: small budgets
      // take small slabs.
      m_slabSize(std::clamp<size_t>(memoryLimit / 4 / partitions, kSmallestSlab, kLargestSlab)) {}

size_t PartitionSet::NewSlab(Partition& part, size_t size) const {
    const size_t capacity = std::max(m_slabSize, size);
    part.slabs.emplace_back().Reserve(capacity);
    return capacity;
}

void PartitionSet::Charge(const Tally& tally) {
    m_held += tally.held;
    m_recordBytes += tally.recordBytes;
    if (m_held + m_trail.HeldBytes() > m_limit) SpillAll();
}

void PartitionSet::SpillAll() {
    for (Partition& part : m_parts) {
        if (part.slabs.empty()) continue;
        if (!part.file) {
            part.file = SpillFile::Create(m_tempFolder);
            if (!m_spilled) CheckDiskFor(part.file);
            m_spilled = true;
        }
        for (const ByteBuffer& slab : part.slabs) part.file.Append(slab.Data(), slab.Size());
        std::vector<ByteBuffer>().swap(part.slabs);
    }
    m_trail.Spill(m_tempFolder);
    m_held = 0;
}

// Foresees what the whole list will need on disk from what the records of
// the part loaded so far took, and stops before writing when it is short.
void PartitionSet::CheckDiskFor(const SpillFile& file) const {
    const double perByte =
        m_loaded ? static_cast<double>(m_recordBytes) / static_cast<double>(m_loaded) : 1.0;
    const double need = perByte * static_cast<double>(std::max(m_expectedBytes, m_loaded)) *
                        kDiskNeedPercent / 100.0;
    if (static_cast<double>(file.FreeSpace()) < need) throw JobFailure(status::kNoDiskSpace);
}

size_t PartitionSet::ReadChunk(const Partition& part, uint64_t& offset, ByteBuffer& chunk,
                               size_t carried) const {
    const size_t want =
        static_cast<size_t>(std::min<uint64_t>(kReadChunk, part.file.Size() - offset));
    chunk.Resize(carried);
    // A record longer than a chunk is read whole with the one after it.
    chunk.Extend(want);
    part.file.ReadAt(chunk.Data() + carried, want, offset);
    offset += want;
    return carried + want;
}
