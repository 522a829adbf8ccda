// Gathering the keys, sorting the pieces in parallel, merging them in place.
#include "order/KeptSort.h"

#include <algorithm>

#include "os/ParallelStage.h"

namespace {
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
        [&](size_t i) {
            std::sort(keys.begin() + bounds[i], keys.begin() + bounds[i + 1], before);
        },
        [] {});
    for (size_t i = 1; i < pieces; ++i)
        std::inplace_merge(keys.begin(), keys.begin() + bounds[i], keys.begin() + bounds[i + 1],
                           before);
    return keys;
}
