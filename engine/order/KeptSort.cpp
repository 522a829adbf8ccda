// Gathering the keys, sorting the pieces in parallel, merging them in place.
#include "order/KeptSort.h"

#include <algorithm>
#include <cstring>

#include "os/ParallelStage.h"

namespace lintrim {

namespace {
// Past this many bytes, lines that still agree are compared whole.
constexpr size_t kDeepestPrefix = 64;

// Bytes [at, at + 8) of a line, zero past its end, as a number that orders
// as the bytes do.
uint64_t PrefixAt(const char* kept, size_t at) {
    const size_t length = record::Length(kept);
    uint64_t word = 0;
    if (at < length)
        std::memcpy(&word, record::KeptLine(kept) + at, std::min<size_t>(length - at, 8));
    return __builtin_bswap64(word);
}

// Keys in [begin, end) hold bytes [at, at + 8) of their lines, and their
// lines agree on every byte before. Zero padding makes a line that ends
// tie with one that goes on in zero bytes: lines that all end within the
// key's bytes, or that still agree deep down, are compared whole.
void SortByPrefixes(KeptKey* begin, KeptKey* end, size_t at, const KeptKeyBefore& before) {
    std::sort(begin, end, [](const KeptKey& a, const KeptKey& b) { return a.key < b.key; });
    for (KeptKey* group = begin; group != end;) {
        KeptKey* next = group + 1;
        while (next != end && next->key == group->key) ++next;
        if (next - group > 1) {
            const uint64_t key = group->key;
            size_t longest = 0;
            for (KeptKey* k = group; k != next; ++k)
                longest = std::max<size_t>(longest, record::Length(k->kept));
            if (longest <= at + 8 || at + 8 >= kDeepestPrefix) {
                std::sort(group, next, before);
            } else {
                for (KeptKey* k = group; k != next; ++k) k->key = PrefixAt(k->kept, at + 8);
                SortByPrefixes(group, next, at + 8, before);
                for (KeptKey* k = group; k != next; ++k) k->key = key;
            }
        }
        group = next;
    }
}

std::vector<KeptKey> Gather(const std::vector<KeptRun>& runs, const KeptOrder& order) {
    size_t count = 0;
    for (const KeptRun& run : runs) count += run.records;
    std::vector<KeptKey> keys;
    keys.reserve(count);
    for (const KeptRun& run : runs)
        for (size_t at = 0; at < run.bytes.Size(); at += record::KeptSize(run.bytes.Data() + at))
            keys.push_back(KeptKey::Of(order, run.bytes.Data() + at));
    return keys;
}
}  // namespace

std::vector<KeptKey> SortKept(const std::vector<KeptRun>& runs, const KeptOrder& order,
                              unsigned threads) {
    std::vector<KeptKey> keys = Gather(runs, order);
    const KeptKeyBefore before{order};
    const size_t pieces =
        std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(keys.size() / 4096 + 1)));
    std::vector<size_t> bounds;
    for (size_t i = 0; i <= pieces; ++i) bounds.push_back(keys.size() * i / pieces);
    RunParallel(
        pieces, threads,
        [&](size_t i) { SortKeys(keys.data() + bounds[i], keys.data() + bounds[i + 1], order); },
        [] {});
    for (size_t i = 1; i < pieces; ++i)
        std::inplace_merge(keys.begin(), keys.begin() + bounds[i], keys.begin() + bounds[i + 1],
                           before);
    return keys;
}

void SortKeys(KeptKey* begin, KeptKey* end, const KeptOrder& order) {
    const KeptKeyBefore before{order};
    if (order.kind == OrderKind::Alphabetical && order.key.Plain())
        SortByPrefixes(begin, end, 0, before);
    else
        std::sort(begin, end, before);
}

}  // namespace lintrim
