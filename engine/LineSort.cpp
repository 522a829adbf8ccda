// The quicksort behind all four sort forms. A key policy says how a row
// compares with the pivot's key, taken by value so that it stays valid while
// rows move. The partition is Hoare's: both scans stop on keys equal to the
// pivot, so long runs of equal lines split near their middle.
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

struct ByText {
    static constexpr bool kGatherEqual = true;
    struct Key {
        uint64_t prefix;
        const char* text;
        uint32_t length;
    };
    static Key KeyOf(const LineTable& t, int64_t row) {
        return {t.prefix[row], t.text[row], t.length[row]};
    }
    static int Compare(const LineTable& t, int64_t row, const Key& key) {
        if (t.prefix[row] != key.prefix) return t.prefix[row] < key.prefix ? -1 : 1;
        return CompareTail(t.text[row], t.length[row], key.text, key.length);
    }
};

// Equal order values fall back to the line's address, which within one list's
// buffer is its place in the file: every key is distinct, so the result is
// the same whatever pivots are drawn.
struct ByOrder {
    static constexpr bool kGatherEqual = false;  // its keys are all distinct
    struct Key {
        int64_t order;
        uintptr_t address;
    };
    static Key KeyOf(const LineTable& t, int64_t row) {
        return {t.order[row], reinterpret_cast<uintptr_t>(t.text[row])};
    }
    static int Compare(const LineTable& t, int64_t row, const Key& key) {
        if (t.order[row] != key.order) return t.order[row] < key.order ? -1 : 1;
        const auto address = reinterpret_cast<uintptr_t>(t.text[row]);
        return (address > key.address) - (address < key.address);
    }
};

template <bool kWithSource>
[[gnu::always_inline]] inline void ExchangeRows(LineTable& t, int64_t a, int64_t b) {
    std::swap(t.prefix[a], t.prefix[b]);
    std::swap(t.text[a], t.text[b]);
    std::swap(t.length[a], t.length[b]);
    std::swap(t.order[a], t.order[b]);
    std::swap(t.drop[a], t.drop[b]);
    if constexpr (kWithSource) std::swap(t.source[a], t.source[b]);
}

// Short ranges are finished by insertion, cheaper there than more partitions.
constexpr int64_t kInsertionRows = 16;

template <typename Policy, bool kWithSource>
void InsertionSort(LineTable& t, int64_t lo, int64_t hi) {
    for (int64_t i = lo + 1; i <= hi; ++i)
        for (int64_t j = i; j > lo && Policy::Compare(t, j - 1, Policy::KeyOf(t, j)) > 0; --j)
            ExchangeRows<kWithSource>(t, j - 1, j);
}

// Splits lo..hi around a random pivot; afterwards lo..j and i..hi remain.
template <typename Policy, bool kWithSource>
std::pair<int64_t, int64_t> Partition(LineTable& t, int64_t lo, int64_t hi, PivotRandom& random) {
    // Never the last row of the range, as the pivot of a two-row range is its first.
    const int64_t p = lo + static_cast<int64_t>(random.Below(static_cast<uint64_t>(hi - lo)));
    const typename Policy::Key pivot = Policy::KeyOf(t, p);
    if constexpr (Policy::kGatherEqual) {
        // Three ways: rows equal to the pivot are gathered between the two
        // sides and never looked at again. A word list repeats its popular
        // lines thousands of times, and comparing equal lines is the dearest
        // comparison there is (it reads both lines to their ends).
        int64_t less = lo;
        int64_t i = lo;
        int64_t greater = hi;
        while (i <= greater) {
            const int c = Policy::Compare(t, i, pivot);
            if (c < 0) {
                if (less != i) ExchangeRows<kWithSource>(t, less, i);
                ++less;
                ++i;
            } else if (c > 0) {
                ExchangeRows<kWithSource>(t, i, greater--);
            } else {
                ++i;
            }
        }
        return {less - 1, greater + 1};
    } else {
        int64_t i = lo;
        int64_t j = hi;
        while (i <= j) {
            while (Policy::Compare(t, i, pivot) < 0) ++i;
            while (Policy::Compare(t, j, pivot) > 0) --j;
            if (i <= j) ExchangeRows<kWithSource>(t, i++, j--);
        }
        return {j, i};
    }
}

template <typename Policy, bool kWithSource>
void QuickSort(LineTable& t, int64_t lo, int64_t hi, PivotRandom& random, int splitDepth);

// Sorts the two sides of a partition at once; the left side gets its own
// sequence, seeded from this one, so the outcome stays fixed for a run.
template <typename Policy, bool kWithSource>
bool SortSidesInParallel(LineTable& t, int64_t lo, int64_t j, int64_t i, int64_t hi,
                         PivotRandom& random, int splitDepth) {
    PivotRandom leftRandom(random.Next15() | (random.Next15() << 15));
    std::thread left;
    try {
        left =
            std::thread([&] { QuickSort<Policy, kWithSource>(t, lo, j, leftRandom, splitDepth); });
    } catch (const std::system_error&) {
        return false;  // no thread to be had: sort on this one
    }
    QuickSort<Policy, kWithSource>(t, i, hi, random, splitDepth);
    left.join();
    return true;
}

template <typename Policy, bool kWithSource>
void QuickSort(LineTable& t, int64_t lo, int64_t hi, PivotRandom& random, int splitDepth) {
    while (lo < hi) {
        if (hi - lo < kInsertionRows) return InsertionSort<Policy, kWithSource>(t, lo, hi);
        const auto [j, i] = Partition<Policy, kWithSource>(t, lo, hi, random);
        if (splitDepth > 0 && hi - lo > kParallelMinRows &&
            SortSidesInParallel<Policy, kWithSource>(t, lo, j, i, hi, random, splitDepth - 1))
            return;
        // Recurse into the smaller side and loop on the larger: the stack stays
        // logarithmic whatever the pivots.
        if (j - lo < hi - i) {
            QuickSort<Policy, kWithSource>(t, lo, j, random, 0);
            lo = i;
        } else {
            QuickSort<Policy, kWithSource>(t, i, hi, random, 0);
            hi = j;
        }
    }
}
}  // namespace

void SortByText(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByText, false>(table, lo, hi, random, kParallelDepth);
}

void SortByTextWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByText, true>(table, lo, hi, random, kParallelDepth);
}

void SortByOrder(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByOrder, false>(table, lo, hi, random, kParallelDepth);
}

void SortByOrderWithSource(LineTable& table, int64_t lo, int64_t hi, PivotRandom& random) {
    QuickSort<ByOrder, true>(table, lo, hi, random, kParallelDepth);
}

int CompareLines(const LineTable& table, int64_t a, int64_t b) {
    return ByText::Compare(table, a, ByText::KeyOf(table, b));
}
