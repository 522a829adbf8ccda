// Grouping one partition: every distinct line once (lines of one key are
// copies), as the record of its first copy, with the number of copies the
// input list holds. A line that a reference list also holds is marked and
// left out of the run. The records come in load order, so the groups, made
// as their first copies arrive, are in file order too.
#pragma once

#include <cstdint>
#include <vector>

#include "group/KeptArena.h"
#include "runs/KeptRun.h"
#include "lintrim/RunPlan.h"
#include "load/LineKey.h"
#include "os/ByteBuffer.h"

namespace lintrim {

// What grouping removed: copies beyond the first of each line, and the
// input copies of lines a reference list holds (all of them, the first too;
// `referenceDupes` are those among `dupes`).
struct GroupCounts {
    int64_t dupes = 0;
    int64_t referenceHits = 0;
    int64_t referenceDupes = 0;
    int64_t setHits = 0;   // input copies of lines the set operation left out
    int64_t setDupes = 0;  // of those, the ones among `dupes`

    GroupCounts& operator+=(const GroupCounts& other) {
        dupes += other.dupes;
        referenceHits += other.referenceHits;
        referenceDupes += other.referenceDupes;
        setHits += other.setHits;
        setDupes += other.setDupes;
        return *this;
    }
};

// What grouping keeps of the copies of a line.
enum class KeptCopies {
    kFirst,  // one record a line, its first copy; the other copies are dupes
    kEvery,  // one record a line counting every copy, all written at its place
    // A record for every copy, each written at its own place: lines of one
    // sort key that differ in their bytes then keep their file order.
    kApart,
    // As kApart, but the copies are still grouped by their key, so that
    // every copy of a line a reference list holds is left out.
    kApartMatched,
};

// Which groups a run keeps, besides leaving out what a reference list holds.
struct KeepRule {
    SetOperation op = SetOperation::kNone;
    // For kCommon and kOnlyInOne: the load index each input list starts at, in order.
    std::vector<uint64_t> listStarts;
};

class LineGroups {
public:
    // Copies beyond the first are kept too unless `copies` is kFirst: they
    // are counted, not removed. With `arena`, the kept lines are reserved there.
    LineGroups(KeptCopies copies, LineKey key, const KeepRule* rule = nullptr,
               KeptArena* arena = nullptr)
        : m_everyCopy(copies != KeptCopies::kFirst),
          m_apart(copies == KeptCopies::kApart),
          m_matched(copies == KeptCopies::kApartMatched),
          m_key(key),
          m_rule(rule),
          m_arena(arena) {}

    // Sizes the table for up to `records` distinct lines ahead, and the kept
    // lines for up to `records` records of `recordBytes` bytes, so that they
    // are never copied to grow (the room they do not fill is given back).
    void Reserve(uint64_t records, uint64_t recordBytes);
    void Add(const char* record);
    // The run of the kept lines, in file order; the groups are emptied.
    KeptRun TakeRun();
    // What was removed; the reference hits are known once the run is taken.
    const GroupCounts& Counts() const { return m_counts; }

private:
    char* Keep(const char* record, uint64_t copies);
    // For kApartMatched: keeps the copy `record` of group g, or marks g as
    // a reference list's line.
    void AddApart(size_t g, const char* record, bool reference);
    // Whether the record kept as number r is of a line a reference list holds.
    bool Referenced(size_t r, const char* kept) const;
    void CountReferenceHit(uint64_t copies);
    // Whether the set operation keeps group g; counts what it leaves out.
    bool RuleKeeps(size_t g, uint64_t copies);
    // For kCommon and kOnlyInOne: notes that group g has a copy in the list of `record`.
    void NoteList(size_t g, const char* record);
    void Grow(size_t slots);
    template <bool kKeyed>
    size_t Find(uint64_t hash, const char* line, uint32_t length) const;

    bool m_everyCopy;
    bool m_apart;
    bool m_matched;
    // For kApartMatched, by record kept: the record that begins its group;
    // and by that record, whether a reference list holds the line.
    std::vector<uint32_t> m_groupOf;
    std::vector<bool> m_referenced;
    LineKey m_key;
    const KeepRule* m_rule;
    KeptArena* m_arena;
    const char* m_reserved = nullptr;  // the room reserved in the arena
    // For kCommon and kOnlyInOne, by group: the last list a copy came from (+1), and how
    // many lists hold the line.
    std::vector<uint32_t> m_lastList;
    std::vector<uint32_t> m_lists;
    ByteBuffer m_kept;
    std::vector<uint64_t> m_offsets;  // group -> its record in m_kept
    std::vector<uint64_t> m_slots;    // open addressing: hash tag << 32 | group + 1; 0 is empty
    uint64_t m_mask = 0;
    GroupCounts m_counts;
};

}  // namespace lintrim
