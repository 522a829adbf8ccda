// Sorting runs by their keys, and cutting them into stretches as they spill.
#include "order/RunSort.h"

#include <utility>
#include <vector>

#include "order/KeptKey.h"
#include "order/KeptSort.h"
#include "record/Record.h"

namespace lintrim {

namespace {
// The run's records in `order`, as keys.
std::vector<KeptKey> SortedKeys(const ByteBuffer& bytes, const KeptOrder& order) {
    std::vector<KeptKey> keys;
    for (size_t at = 0; at < bytes.Size(); at += record::KeptSize(bytes.Data() + at))
        keys.push_back(KeptKey::Of(order, bytes.Data() + at));
    SortKeys(keys.data(), keys.data() + keys.size(), order);
    return keys;
}

// The records the keys point at, in the keys' order.
ByteBuffer InKeyOrder(const ByteBuffer& bytes, const std::vector<KeptKey>& keys) {
    ByteBuffer sorted;
    sorted.Reserve(bytes.Size());
    for (const KeptKey& key : keys) sorted.Append(key.kept, record::KeptSize(key.kept));
    return sorted;
}
}  // namespace

void SpillInStretches(KeptRun& run, const std::string& folder, const KeyBounds* bounds) {
    run.stretches.clear();
    if (bounds && !bounds->Empty()) {
        StretchCutter cutter(*bounds, run.stretches, 0);
        for (size_t at = 0; at < run.bytes.Size(); at += record::KeptSize(run.bytes.Data() + at))
            cutter.Add(run.bytes.Data() + at, at);
        cutter.Finish(run.bytes.Size());
    }
    run.Spill(folder);
}

void SortOnDisk(KeptRun& run, const KeptOrder& order, const std::string& folder, KeyBounds* bounds,
                size_t takeStretches) {
    if (order.kind == OrderKind::File) return;  // grouping leaves a run in file order
    run.bytes.Resize(run.file.Size());
    run.file.ReadAt(run.bytes.Data(), run.bytes.Size(), 0);
    run.file.Drop();
    const std::vector<KeptKey> keys = SortedKeys(run.bytes, order);
    if (bounds && takeStretches) bounds->TakeFrom(keys, takeStretches);
    run.bytes = InKeyOrder(run.bytes, keys);
    SpillInStretches(run, folder, bounds);
}

void SortInMemory(KeptRun& run, const KeptOrder& order) {
    if (order.kind == OrderKind::File) return;
    run.bytes = InKeyOrder(run.bytes, SortedKeys(run.bytes, order));
}

}  // namespace lintrim
