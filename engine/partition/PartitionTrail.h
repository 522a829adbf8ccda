// The partition of every non-empty line loaded, in load order (kLeftOut for
// a line that a filter left out): two bytes a line. The
// kept lines of each partition are in load order already, so following the
// trail takes them in file order with one look at a partition's next kept
// line per line loaded, where a merge would compare lines against each other.
// It spills with the partitions and is read back in chunks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "partition/SpillFile.h"

namespace lintrim {

class PartitionTrail {
public:
    // The place of a line that was left out before partitioning.
    static constexpr uint16_t kLeftOut = 0xffff;

    void Append(uint16_t partition) { m_memory.push_back(partition); }
    void Append(const uint16_t* partitions, size_t count) {
        m_memory.insert(m_memory.end(), partitions, partitions + count);
    }
    // Room for `entries` entries, so that a trail held in memory is never
    // copied to grow (pages not yet written take no memory).
    void Reserve(uint64_t entries) { m_memory.reserve(static_cast<size_t>(entries)); }
    // Moves what is in memory to the end of the trail's file in `folder`.
    void Spill(const std::string& folder);
    uint64_t Size() const { return m_onDisk + m_memory.size(); }
    // The memory its entries not yet spilled take.
    uint64_t HeldBytes() const { return m_memory.size() * sizeof(uint16_t); }
    // Whether every entry is in memory, and where they are then.
    bool InMemory() const { return m_onDisk == 0; }
    const uint16_t* Memory() const { return m_memory.data(); }

    // Reads the trail from entry `from` on, up to entry `until` at most, a
    // chunk at a time.
    class Reader {
    public:
        explicit Reader(const PartitionTrail& trail, uint64_t from = 0, uint64_t until = UINT64_MAX)
            : m_trail(trail),
              m_fileAt(std::min(from, trail.m_onDisk)),
              m_fileEnd(std::min(until, trail.m_onDisk)),
              m_memoryAt(from - m_fileAt) {}
        uint16_t Next() {
            if (m_at == m_size) Refill();
            return m_data[m_at++];
        }

    private:
        void Refill();

        const PartitionTrail& m_trail;
        std::vector<uint16_t> m_chunk;
        const uint16_t* m_data = nullptr;  // the chunk, or the trail's memory
        size_t m_size = 0;
        size_t m_at = 0;
        uint64_t m_fileAt;    // entries read from the file
        uint64_t m_fileEnd;   // entries of the file to read
        uint64_t m_memoryAt;  // entries of the memory passed over
        bool m_inMemory = false;
    };

private:
    std::vector<uint16_t> m_memory;
    SpillFile m_file;
    uint64_t m_onDisk = 0;  // entries
};

}  // namespace lintrim
