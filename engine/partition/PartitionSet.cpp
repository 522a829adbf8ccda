// Partition count, spilling and reading spilled partitions back.
#include "partition/PartitionSet.h"

#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <bit>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/ParallelStage.h"

namespace lintrim {

namespace {
// Grouping stays within the caches while a partition holds about this much.
constexpr uint64_t kCacheFriendlyBytes = uint64_t{512} << 10;
constexpr unsigned kMostInMemory = 256;
// A spilled partition, grouped by each thread at once, must leave room for
// its distinct lines and their table: it gets this fraction of the budget.
constexpr uint64_t kSpilledShare = 16;
constexpr unsigned kMostPartitions = 4096;
// Every spill of the partitions ends a block of each one's file, and each
// block is noted in memory: under a small budget, partitions that each get
// less than this before a spill would note more blocks than they hold.
constexpr uint64_t kLeastBeforeSpill = uint64_t{16} << 10;
// Records take their lines' bytes and a head; with short lines, about this
// many times the bytes of the list.
constexpr uint64_t kRecordGrowth = 3;
// Spilled partitions and the runs made from them overlap on disk.
constexpr uint64_t kDiskNeedPercent = 130;
// Records packed to foresee how they pack.
constexpr uint64_t kDiskSample = uint64_t{1} << 20;
constexpr size_t kLargestReadChunk = size_t{4} << 20;
constexpr size_t kSmallestReadChunk = size_t{64} << 10;
constexpr size_t kLargestSlab = size_t{64} << 10;
constexpr size_t kSmallestSlab = size_t{4} << 10;
// Records take about twice the bytes of their lines; a list whose records
// fill at least this many huge pages a band has its slabs in an arena.
constexpr uint64_t kForeseenRecordGrowth = 2;
constexpr uint64_t kHugePagesPerBand = 8;
// Bands a thread, and the largest region of a band's chain.
constexpr unsigned kBandsPerThread = 4;
constexpr size_t kLargestRegion = size_t{32} << 20;
// Descriptors kept free for everything but the lists' and the partitions'
// and runs' files: the standard streams, the output, the trail, the pieces
// of partitions split again.
constexpr uint64_t kSpareDescriptors = 64;
constexpr unsigned kMostSplitFanOut = 16;
// Levels of splitting a thread may be in at once, each holding the files of
// its pieces.
constexpr uint64_t kSplitLevels = 4;

// The descriptors the process may have open, after raising its limit as
// far as it may.
uint64_t DescriptorLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur == RLIM_INFINITY ? kMostPartitions * 4 : limit.rlim_cur;
}

uint64_t OpenDescriptors() {
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return kSpareDescriptors;
    uint64_t open = 0;
    while (const dirent* entry = ::readdir(folder)) open += entry->d_name[0] != '.';
    ::closedir(folder);
    return open;
}

// How many partitions the process can keep a file open for (a partition's
// file, then its run's) beside the `inputs` lists of the run, each holding
// its file and its folder, whether or not they are open yet.
uint64_t PartitionsWithFiles(size_t inputs) {
    const uint64_t held = kSpareDescriptors + std::max<uint64_t>(OpenDescriptors(), 2 * inputs);
    const uint64_t open = DescriptorLimit();
    return open > held + 2 ? (open - held) / 2 : 1;
}
}  // namespace

unsigned PartitionSet::CountFor(uint64_t bytes, uint64_t budget, size_t inputs) {
    const uint64_t records = bytes * kRecordGrowth;
    uint64_t wanted = std::min<uint64_t>(bytes / kCacheFriendlyBytes, kMostInMemory);
    if (records > budget / 2) wanted = std::max<uint64_t>(wanted, records / GroupLimit(budget));
    wanted = std::clamp<uint64_t>(
        wanted, 1, std::clamp<uint64_t>(budget / kLeastBeforeSpill, 1, kMostPartitions));
    const uint64_t most = std::bit_floor(std::max<uint64_t>(PartitionsWithFiles(inputs), 1));
    return static_cast<unsigned>(std::min(std::bit_ceil(wanted), most));
}

uint64_t PartitionSet::GroupLimit(uint64_t budget) {
    return std::max<uint64_t>(budget / kSpilledShare, 1);
}

unsigned PartitionSet::SplitFanOut(unsigned threads) {
    const uint64_t limit = DescriptorLimit();
    const uint64_t open = OpenDescriptors();
    const uint64_t free = limit > open ? limit - open : 0;
    const uint64_t each = free / std::max(threads, 1u) / kSplitLevels;
    return static_cast<unsigned>(std::bit_floor(std::clamp<uint64_t>(each, 2, kMostSplitFanOut)));
}

PartitionSet::PartitionSet(unsigned partitions, uint64_t memoryLimit, std::string tempFolder,
                           uint64_t expectedBytes, unsigned threads)
    : m_arena(ArenaFor(partitions, memoryLimit, expectedBytes, threads)),
      m_parts(partitions),
      m_limit(memoryLimit),
      m_tempFolder(std::move(tempFolder)),
      m_expectedBytes(expectedBytes),
      // Every partition may start a slab within one stretch: small budgets
      // take small slabs.
      m_slabSize(std::clamp<size_t>(memoryLimit / 4 / partitions, kSmallestSlab, kLargestSlab)),
      // Each thread grouping a spilled partition reads it a chunk at a time.
      m_readChunk(std::clamp<size_t>(memoryLimit / 16, kSmallestReadChunk, kLargestReadChunk)),
      m_threads(threads) {
    // A non-empty line takes two bytes of its list at least.
    if (m_arena) m_trail.Reserve(expectedBytes / 2 + 1);
}

// A run expected to be held in memory takes its slabs from an arena; one
// that spills keeps them on the heap, which it frees and takes all along.
// Huge pages pay only where each band fills a good many of them: the last
// one of a band is part empty.
std::unique_ptr<SlabArena> PartitionSet::ArenaFor(unsigned partitions, uint64_t memoryLimit,
                                                  uint64_t expectedBytes, unsigned threads) {
    const uint64_t records = expectedBytes * kForeseenRecordGrowth;
    if (records > memoryLimit) return nullptr;
    const unsigned bands = std::min(partitions, std::max(threads, 1u) * kBandsPerThread);
    const uint64_t perBand = records / bands;
    const size_t region = std::min<size_t>(
        (perBand / MappedRegion::kHugePage + 1) * MappedRegion::kHugePage, kLargestRegion);
    const bool hugePages = perBand >= kHugePagesPerBand * MappedRegion::kHugePage;
    return std::make_unique<SlabArena>(partitions, bands, region, hugePages);
}

size_t PartitionSet::NewSlab(size_t p, size_t size) {
    const size_t capacity = std::max(m_slabSize, size);
    char* lent = m_arena ? m_arena->Take(p, capacity) : nullptr;
    if (lent)
        m_parts[p].slabs.push_back(ByteBuffer::Borrowed(lent, capacity));
    else
        m_parts[p].slabs.emplace_back().Reserve(capacity);
    return capacity;
}

void PartitionSet::Charge(const Tally& tally) {
    m_held += tally.held;
    m_recordBytes += tally.recordBytes;
    if (m_held + m_trail.HeldBytes() > m_limit) SpillAll();
}

// Each partition is packed on a worker thread as it goes to disk; the
// trail, the largest part, first.
void PartitionSet::SpillAll() {
    if (!m_spilled) CheckDisk();
    m_spilled = true;
    RunParallel(
        m_parts.size() + 1, m_threads,
        [&](size_t i) {
            if (i == 0)
                m_trail.Spill(m_tempFolder);
            else
                Spill(m_parts[i - 1]);
        },
        [] {});
    if (m_arena) m_arena->Reuse();
    m_held = 0;
}

void PartitionSet::Spill(Partition& part) const {
    if (part.slabs.empty()) return;
    if (!part.file) part.file = SpillFile::Create(m_tempFolder);
    part.file.Append(part.slabs);
    std::vector<ByteBuffer>().swap(part.slabs);
}

// Foresees what the whole list will need on disk from what the records of
// the part loaded so far took, packed as a sample of them packs, and stops
// before writing when it is short.
void PartitionSet::CheckDisk() const {
    const double perByte =
        m_loaded ? static_cast<double>(m_recordBytes) / static_cast<double>(m_loaded) : 1.0;
    const double need = perByte * DiskShare() *
                        static_cast<double>(std::max(m_expectedBytes, m_loaded)) *
                        kDiskNeedPercent / 100.0;
    const SpillFile probe = SpillFile::Create(m_tempFolder);
    if (static_cast<double>(probe.FreeSpace()) < need)
        throw JobFailure(status::kNoDiskSpace, {}, m_tempFolder);
}

// Lines lie in the partitions by their hash: the first slabs are as good a
// sample as any.
double PartitionSet::DiskShare() const {
    uint64_t sampled = 0, onDisk = 0;
    for (const Partition& part : m_parts)
        for (const ByteBuffer& slab : part.slabs) {
            if (sampled >= kDiskSample) break;
            onDisk += SpillFile::DiskSizeOf(slab.Data(), slab.Size());
            sampled += slab.Size();
        }
    return sampled ? static_cast<double>(onDisk) / static_cast<double>(sampled) : 1.0;
}

}  // namespace lintrim
