// The lines of a list split into partitions by their hash, so that every
// copy of a line lands in the same partition and each partition can be
// grouped on its own, on any core. Each partition keeps its records in
// memory while the run's memory budget allows; past it, every partition is
// spilled to a temporary file of its own and keeps filling in memory again.
// A partition's records stay in load order: first those on disk, then
// those in memory.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/ByteBuffer.h"
#include "partition/PartitionTrail.h"
#include "partition/SlabArena.h"
#include "partition/SpillFile.h"
#include "record/CopyLine.h"
#include "record/Record.h"

namespace lintrim {

class PartitionSet {
public:
    // `expectedBytes`: the bytes of the lists to load, to foresee the disk a
    // spill will need; `threads` pack the partitions as they spill.
    PartitionSet(unsigned partitions, uint64_t memoryLimit, std::string tempFolder,
                 uint64_t expectedBytes, unsigned threads);

    // How many partitions suit lists of `bytes` bytes under `budget`, with
    // `inputs` lists held open meanwhile.
    static unsigned CountFor(uint64_t bytes, uint64_t budget, size_t inputs);
    // The record bytes a partition may hold to be grouped in memory at once
    // under `budget`, while every worker thread groups one; a larger one is
    // split.
    static uint64_t GroupLimit(uint64_t budget);
    // How many pieces a partition too large to group is split into at once,
    // so that each of `threads` threads, splitting a few levels deep, finds
    // the descriptors for the pieces' files.
    static unsigned SplitFanOut(unsigned threads);

    // What one thread's appends took, charged to the set once it is done.
    struct Tally {
        uint64_t held = 0;         // memory the stores grew by
        uint64_t recordBytes = 0;  // bytes of the records made
    };

    size_t PartitionOf(uint64_t hash) const {
        return static_cast<size_t>(hash >> kSelectShift) & (m_parts.size() - 1);
    }
    // Appends a record to partition p; partitions may be appended to by
    // different threads at once, each partition by one thread.
    void Append(size_t p, const char* line, uint32_t length, uint64_t index, Tally& tally) {
        Partition& part = m_parts[p];
        const size_t size = record::kHeadSize + length;
        if (part.slabs.empty() || part.slabs.back().Capacity() - part.slabs.back().Size() < size)
            tally.held += NewSlab(p, size);
        char* at = part.slabs.back().Extend(size);
        record::WriteHead(at, length, index);
        CopyLine(at + record::kHeadSize, line, length);
        tally.recordBytes += size;
        part.bytes += size;
        ++part.records;
    }
    // Charges appends to the budget; spills everything, the trail too, when
    // the budget is spent.
    void Charge(const Tally& tally);
    PartitionTrail& Trail() { return m_trail; }
    const PartitionTrail& Trail() const { return m_trail; }

    // Tells how many bytes of the lists have been loaded so far.
    void NoteLoaded(uint64_t bytes) { m_loaded = bytes; }

    unsigned Count() const { return static_cast<unsigned>(m_parts.size()); }
    bool Spilled() const { return m_spilled; }
    uint64_t RecordsIn(unsigned p) const { return m_parts[p].records; }
    uint64_t BytesIn(unsigned p) const { return m_parts[p].bytes; }
    // The lowest bit of the hash that the choice of a partition leaves unused.
    int FreeHashBit() const { return kSelectShift + std::countr_zero(m_parts.size()); }

    // Calls onRecord(record) for each record of partition p in load order,
    // then gives the partition's memory and file back.
    template <typename OnRecord>
    void Drain(unsigned p, OnRecord&& onRecord);

private:
    // Records are stored in slabs of a fixed size, which they never straddle:
    // a partition wastes at most the end of its last slab, and nothing is
    // ever copied to grow.
    struct Partition {
        std::vector<ByteBuffer> slabs;
        SpillFile file;
        uint64_t records = 0;
        uint64_t bytes = 0;
    };

    // High bits of the hash: the low half places a line in its partition's table.
    static constexpr int kSelectShift = 40;
    // Adds a slab to partition p for a record of `size` bytes; returns the
    // bytes it took.
    size_t NewSlab(size_t p, size_t size);
    // The arena for the slabs of lists that fit the budget and are large
    // enough for huge pages to pay; none otherwise.
    static std::unique_ptr<SlabArena> ArenaFor(unsigned partitions, uint64_t memoryLimit,
                                               uint64_t expectedBytes, unsigned threads);
    void SpillAll();
    void Spill(Partition& part) const;
    void CheckDisk() const;
    // The share of their bytes the records take on disk, from a sample.
    double DiskShare() const;

    // First, so that it outlives the slabs it lends.
    std::unique_ptr<SlabArena> m_arena;
    std::vector<Partition> m_parts;
    uint64_t m_limit;
    std::string m_tempFolder;
    uint64_t m_expectedBytes;
    size_t m_slabSize;
    size_t m_readChunk;
    unsigned m_threads;
    uint64_t m_held = 0;         // memory taken by the partitions' stores
    uint64_t m_recordBytes = 0;  // record bytes made so far
    uint64_t m_loaded = 0;
    bool m_spilled = false;
    PartitionTrail m_trail;
};

// Walks the records in [data, data + size) that are whole; returns the
// bytes they take.
template <typename OnRecord>
size_t WalkRecords(const char* data, size_t size, OnRecord& onRecord) {
    size_t at = 0;
    while (size - at >= record::kHeadSize) {
        const size_t bytes = record::Size(data + at);
        if (bytes > size - at) break;
        onRecord(data + at);
        at += bytes;
    }
    return at;
}

// Walks the records of `file`, read `chunkBytes` at a time (a record longer
// than a chunk is read whole with the one after it).
template <typename OnRecord>
void WalkFileRecords(const SpillFile& file, size_t chunkBytes, OnRecord& onRecord) {
    ByteBuffer chunk;
    uint64_t offset = 0;
    size_t carried = 0;
    while (offset < file.Size()) {
        const auto want = static_cast<size_t>(std::min<uint64_t>(chunkBytes, file.Size() - offset));
        chunk.Resize(carried);
        chunk.Extend(want);
        file.ReadAt(chunk.Data() + carried, want, offset);
        offset += want;
        const size_t size = carried + want;
        const size_t used = WalkRecords(chunk.Data(), size, onRecord);
        carried = size - used;
        std::memmove(chunk.Data(), chunk.Data() + used, carried);
    }
}

template <typename OnRecord>
void PartitionSet::Drain(unsigned p, OnRecord&& onRecord) {
    Partition& part = m_parts[p];
    if (part.file) {
        WalkFileRecords(part.file, m_readChunk, onRecord);
        part.file.Drop();
    }
    for (const ByteBuffer& slab : part.slabs) WalkRecords(slab.Data(), slab.Size(), onRecord);
    std::vector<ByteBuffer>().swap(part.slabs);
    if (m_arena) m_arena->Spent(p);
}

}  // namespace lintrim
