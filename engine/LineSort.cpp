// The quicksort over the sorted view. A key policy says how an entry compares
// with the pivot's key, taken by value so that it stays valid while entries
// move.
#include "LineSort.h"

#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace {
// Partitions larger than this are split over a second thread...
constexpr int64_t kParallelMinRows = int64_t{1} << 16;
// ...down to this many levels: 2^3 pieces keep both cores busy even when the
// random pivots split unevenly.
constexpr int kParallelDepth = 3;
// Short ranges are finished by insertion, cheaper there than more partitions.
constexpr int64_t kInsertionRows = 16;

// Lines whose first 8 bytes agree. Many do (password1, password12, ...), so
// the next 8 are compared as one word before memcmp takes the rest.
[[gnu::always_inline]] inline int CompareTail(const char* a, uint32_t aLength, const char* b,
                                              uint32_t bLength) {
    const uint32_t common = aLength < bLength ? aLength : bLength;
    if (common > 8) {
        const uint32_t next = common - 8 < 8 ? common - 8 : 8;
        const uint64_t aWord = LinePrefix(a + 8, next);
        const uint64_t bWord = LinePrefix(b + 8, next);
        if (aWord != bWord) return aWord < bWord ? -1 : 1;
        if (common > 16) {
            const int c = std::memcmp(a + 16, b + 16, common - 16);
            if (c != 0) return c;
        }
    }
    return (aLength > bLength) - (aLength < bLength);
}

// Rows equal to the pivot are gathered between the two sides and never
// looked at again: a word list repeats its popular lines thousands of times,
// and comparing equal lines is the dearest comparison there is.
struct ByText {
    static constexpr bool kGatherEqual = true;
    struct Key {
        SortEntry entry;
        const char* text;
        uint32_t length;
    };
    static Key KeyOf(const LineTable& t, const SortEntry& e) {
        return {e, t.text[e.Order()], t.LengthOf(e)};
    }
    static int Compare(const LineTable& t, const SortEntry& e, const Key& key) {
        if (e.key != key.entry.key) return e.key < key.entry.key ? -1 : 1;
        const uint32_t a = e.ShortLength();
        const uint32_t b = key.entry.ShortLength();
        // The first 8 bytes agree: a line of 8 bytes or less is settled by length.
        if (a <= 8 || b <= 8) return (a > b) - (a < b);
        return CompareTail(t.text[e.Order()], t.LengthOf(e), key.text, key.length);
    }
};

struct ByOrder {
    static constexpr bool kGatherEqual = false;  // its keys are all distinct
    using Key = SortEntry;
    static Key KeyOf(const LineTable&, const SortEntry& e) { return e; }
    static int Compare(const LineTable&, const SortEntry& e, const Key& key) {
        const auto a = static_cast<int64_t>(e.key);
        const auto b = static_cast<int64_t>(key.key);
        if (a != b) return a < b ? -1 : 1;
        return (e.Order() > key.Order()) - (e.Order() < key.Order());
    }
};

template <typename Policy>
void InsertionSort(const LineTable& t, SortEntry* e, int64_t lo, int64_t hi) {
    for (int64_t i = lo + 1; i <= hi; ++i) {
        const typename Policy::Key key = Policy::KeyOf(t, e[i]);
        const SortEntry moving = e[i];
        int64_t j = i;
        for (; j > lo && Policy::Compare(t, e[j - 1], key) > 0; --j) e[j] = e[j - 1];
        e[j] = moving;
    }
}

// Three ways: afterwards lo..less-1 < pivot, less..greater equal, greater+1..hi >.
template <typename Policy>
std::pair<int64_t, int64_t> PartitionGathering(const LineTable& t, SortEntry* e, int64_t lo,
                                               int64_t hi, const typename Policy::Key& pivot) {
    int64_t less = lo;
    int64_t i = lo;
    int64_t greater = hi;
    while (i <= greater) {
        const int c = Policy::Compare(t, e[i], pivot);
        if (c < 0)
            std::swap(e[less++], e[i++]);
        else if (c > 0)
            std::swap(e[i], e[greater--]);
        else
            ++i;
    }
    return {less - 1, greater + 1};
}

// Hoare's two scans, which stop on keys equal to the pivot.
template <typename Policy>
std::pair<int64_t, int64_t> PartitionHoare(const LineTable& t, SortEntry* e, int64_t lo, int64_t hi,
                                           const typename Policy::Key& pivot) {
    int64_t i = lo;
    int64_t j = hi;
    while (i <= j) {
        while (Policy::Compare(t, e[i], pivot) < 0) ++i;
        while (Policy::Compare(t, e[j], pivot) > 0) --j;
        if (i <= j) std::swap(e[i++], e[j--]);
    }
    return {j, i};
}

// Splits lo..hi around a random pivot; afterwards lo..j and i..hi remain.
template <typename Policy>
std::pair<int64_t, int64_t> Partition(const LineTable& t, SortEntry* e, int64_t lo, int64_t hi,
                                      PivotRandom& random) {
    // Never the last entry of the range, as the pivot of a two-entry range is its first.
    const int64_t p = lo + static_cast<int64_t>(random.Below(static_cast<uint64_t>(hi - lo)));
    const typename Policy::Key pivot = Policy::KeyOf(t, e[p]);
    if constexpr (Policy::kGatherEqual)
        return PartitionGathering<Policy>(t, e, lo, hi, pivot);
    else
        return PartitionHoare<Policy>(t, e, lo, hi, pivot);
}

template <typename Policy>
void QuickSort(const LineTable& t, SortEntry* e, int64_t lo, int64_t hi, PivotRandom& random,
               int splitDepth);

// Sorts the two sides of a partition at once; the left side gets its own
// sequence, seeded from this one, so the outcome stays fixed for a run.
template <typename Policy>
bool SortSidesInParallel(const LineTable& t, SortEntry* e, int64_t lo, int64_t j, int64_t i,
                         int64_t hi, PivotRandom& random, int splitDepth) {
    PivotRandom leftRandom(random.Next15() | (random.Next15() << 15));
    std::thread left;
    try {
        left = std::thread([&] { QuickSort<Policy>(t, e, lo, j, leftRandom, splitDepth); });
    } catch (const std::system_error&) {
        return false;  // no thread to be had: sort on this one
    }
    QuickSort<Policy>(t, e, i, hi, random, splitDepth);
    left.join();
    return true;
}

template <typename Policy>
void QuickSort(const LineTable& t, SortEntry* e, int64_t lo, int64_t hi, PivotRandom& random,
               int splitDepth) {
    while (lo < hi) {
        if (hi - lo < kInsertionRows) return InsertionSort<Policy>(t, e, lo, hi);
        const auto [j, i] = Partition<Policy>(t, e, lo, hi, random);
        if (splitDepth > 0 && hi - lo > kParallelMinRows &&
            SortSidesInParallel<Policy>(t, e, lo, j, i, hi, random, splitDepth - 1))
            return;
        // Recurse into the smaller side and loop on the larger: the stack stays
        // logarithmic whatever the pivots.
        if (j - lo < hi - i) {
            QuickSort<Policy>(t, e, lo, j, random, 0);
            lo = i;
        } else {
            QuickSort<Policy>(t, e, i, hi, random, 0);
            hi = j;
        }
    }
}
}  // namespace

void SortByText(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByText>(table, table.sorted.Data(), lo, hi, random, kParallelDepth);
}

void SortByOrder(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByOrder>(table, table.sorted.Data(), lo, hi, random, kParallelDepth);
}

bool SameLine(const LineTable& t, const SortEntry& a, const SortEntry& b) {
    if (a.key != b.key || a.ShortLength() != b.ShortLength()) return false;
    if (a.ShortLength() <= 8) return true;
    const uint32_t length = t.LengthOf(a);
    return length == t.LengthOf(b) &&
           std::memcmp(t.text[a.Order()] + 8, t.text[b.Order()] + 8, length - 8) == 0;
}
