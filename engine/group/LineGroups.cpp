// The table of a partition's groups: open addressing with linear probing,
// each slot holding the low half of the line's hash beside its group (the
// top bits chose the partition), so that a probe compares bytes only when
// the hashes agree.
#include "group/LineGroups.h"

#include <algorithm>
#include <bit>

#include "record/CopyLine.h"
#include "record/Record.h"

namespace lintrim {

namespace {
constexpr size_t kFirstSlots = 1024;
// A table sized ahead for a partition's records never takes more than this.
constexpr uint64_t kMostReservedSlots = uint64_t{1} << 22;
constexpr uint64_t kGroupMask = 0xffffffffu;

// A slot keeps the low half of the hash: it places the slot, in a table of
// any size, and settles most probes without a look at the line.
uint64_t Tag(uint64_t hash) {
    return hash & 0xffffffffu;
}
}  // namespace

char* LineGroups::Keep(const char* record, uint64_t copies) {
    const uint32_t length = record::Length(record);
    m_offsets.push_back(m_kept.Size());
    char* kept = m_kept.Extend(record::kKeptHeadSize + length);
    std::memcpy(kept, record, record::kHeadSize);
    record::SetCopies(kept, copies);
    CopyLine(kept + record::kKeptHeadSize, record::Line(record), length);
    return kept;
}

// Equal bytes settle a probe; only a key that is not the bytes (kKeyed)
// looks further, so that a plain run probes as tightly as it can.
template <bool kKeyed>
size_t LineGroups::Find(uint64_t hash, const char* line, uint32_t length) const {
    for (size_t s = Tag(hash) & m_mask;; s = (s + 1) & m_mask) {
        const uint64_t slot = m_slots[s];
        if (slot == 0 || (slot >> 32 != Tag(hash))) {
            if (slot == 0) return s;
            continue;
        }
        const char* kept = m_kept.Data() + m_offsets[(slot & kGroupMask) - 1];
        const uint32_t keptLength = record::Length(kept);
        if (keptLength == length && std::memcmp(record::KeptLine(kept), line, length) == 0)
            return s;
        if (kKeyed && m_key.Equal(record::KeptLine(kept), keptLength, line, length)) return s;
    }
}

void LineGroups::Add(const char* record) {
    const bool reference = (record::Index(record) & record::kReferenceBit) != 0;
    if (m_apart) {
        Keep(record, reference ? 0 : 1);
        return;
    }
    if (m_offsets.size() * 2 >= m_slots.size())
        Grow(m_slots.empty() ? kFirstSlots : m_slots.size() * 2);
    const uint32_t length = record::Length(record);
    const char* line = record::Line(record);
    const uint64_t hash = m_key.Hash(line, length);
    const size_t s =
        m_key.Plain() ? Find<false>(hash, line, length) : Find<true>(hash, line, length);
    if (m_slots[s] == 0) {
        Keep(record, reference ? 0 : 1);
        m_slots[s] = (Tag(hash) << 32) | m_offsets.size();
        if (!reference) NoteList(m_offsets.size() - 1, record);
        return;
    }
    char* kept = m_kept.Data() + m_offsets[(m_slots[s] & kGroupMask) - 1];
    if (!reference) NoteList((m_slots[s] & kGroupMask) - 1, record);
    if (reference) {
        record::SetIndex(kept, record::Index(kept) | record::kReferenceBit);
    } else {
        record::SetCopies(kept, record::Copies(kept) + 1);
        if (!m_everyCopy) ++m_counts.dupes;
    }
}

void LineGroups::NoteList(size_t g, const char* record) {
    if (!m_rule || m_rule->op != SetOperation::kCommon) return;
    const std::vector<uint64_t>& starts = m_rule->listStarts;
    const auto list = static_cast<uint32_t>(
        std::upper_bound(starts.begin(), starts.end(), record::Index(record)) - starts.begin());
    if (g >= m_lists.size()) m_lists.resize(g + 1, 0), m_lastList.resize(g + 1, 0);
    if (m_lastList[g] != list) ++m_lists[g], m_lastList[g] = list;
}

bool LineGroups::RuleKeeps(size_t g, uint64_t copies) {
    if (!m_rule) return true;
    bool keeps = true;
    switch (m_rule->op) {
        case SetOperation::kOnlyUnique:
            keeps = copies == 1;
            break;
        case SetOperation::kOnlyRepeated:
            keeps = copies > 1;
            break;
        case SetOperation::kCommon:
            keeps = g < m_lists.size() && m_lists[g] == m_rule->listStarts.size();
            break;
        case SetOperation::kNone:
        case SetOperation::kCascade:
            break;
    }
    if (!keeps) {
        m_counts.setHits += static_cast<int64_t>(copies);
        if (!m_everyCopy && copies > 1) m_counts.setDupes += static_cast<int64_t>(copies - 1);
    }
    return keeps;
}

void LineGroups::CountReferenceHit(uint64_t copies) {
    m_counts.referenceHits += static_cast<int64_t>(copies);
    if (!m_everyCopy && copies > 1) m_counts.referenceDupes += static_cast<int64_t>(copies - 1);
}

void LineGroups::Reserve(uint64_t records, uint64_t recordBytes) {
    const uint64_t wanted = std::clamp<uint64_t>(records * 2, kFirstSlots, kMostReservedSlots);
    if (wanted > m_slots.size()) Grow(std::bit_ceil(wanted));
    const uint64_t most = recordBytes + records * (record::kKeptHeadSize - record::kHeadSize);
    if (m_arena && m_kept.Capacity() == 0) {
        char* room = m_arena->Reserve(most);
        m_reserved = room;
        m_kept = ByteBuffer::Borrowed(room, most);
    }
    m_kept.Reserve(most);
    m_offsets.reserve(records);
}

void LineGroups::Grow(size_t size) {
    std::vector<uint64_t> old(size, 0);
    old.swap(m_slots);
    m_mask = size - 1;
    for (uint64_t slot : old) {
        if (slot == 0) continue;
        size_t s = (slot >> 32) & m_mask;
        while (m_slots[s] != 0) s = (s + 1) & m_mask;
        m_slots[s] = slot;
    }
}

// Leaves out the lines a reference list holds and those the set operation
// drops, closing the gaps in place.
KeptRun LineGroups::TakeRun() {
    KeptRun run;
    size_t to = 0;
    for (size_t at = 0, g = 0; at < m_kept.Size(); ++g) {
        const char* kept = m_kept.Data() + at;
        const size_t size = record::KeptSize(kept);
        if (record::Index(kept) & record::kReferenceBit) {
            CountReferenceHit(record::Copies(kept));
        } else if (RuleKeeps(g, record::Copies(kept))) {
            std::memmove(m_kept.Data() + to, kept, size);
            to += size;
            ++run.records;
        }
        at += size;
    }
    m_kept.Resize(to);
    if (m_reserved) m_arena->Keep(m_reserved, m_kept.Data() == m_reserved ? to : 0);
    m_kept.ShrinkToFit();
    run.bytes = std::move(m_kept);
    std::vector<uint64_t>().swap(m_offsets);
    std::vector<uint64_t>().swap(m_slots);
    return run;
}

}  // namespace lintrim
