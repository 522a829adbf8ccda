// Grouping one partition: every distinct line once (lines of one key are
// copies), as the record of its first copy, with the number of copies the
// input list holds. A line that a reference list also holds is marked and
// left out of the run. The records come in load order, so the groups, made
// as their first copies arrive, are in file order too.
#pragma once

#include <cstdint>
#include <vector>

#include "group/KeptRun.h"
#include "load/LineKey.h"
#include "os/ByteBuffer.h"

class LineGroups {
public:
    // With everyCopy, copies beyond the first are kept too: they are
    // counted, not removed, and written as many times as they came.
    LineGroups(bool everyCopy, LineKey key) : m_everyCopy(everyCopy), m_key(key) {}

    // Sizes the table for up to `records` distinct lines ahead.
    void Reserve(uint64_t records);
    void Add(const char* record);
    // The run of the kept lines, in file order; the groups are emptied.
    KeptRun TakeRun();
    // Input copies beyond the first of each line.
    int64_t Dupes() const { return m_dupes; }

private:
    char* Keep(const char* record, uint64_t copies);
    void Grow(size_t slots);
    template <bool kKeyed>
    size_t Find(uint64_t hash, const char* line, uint32_t length) const;

    bool m_everyCopy;
    LineKey m_key;
    ByteBuffer m_kept;
    std::vector<uint64_t> m_offsets;  // group -> its record in m_kept
    std::vector<uint64_t> m_slots;    // open addressing: hash tag << 32 | group + 1; 0 is empty
    uint64_t m_mask = 0;
    int64_t m_dupes = 0;
};
