// The sort key of a kept record in each order, held beside a pointer to the
// record so that most comparisons never reach into the records: the index
// (file order); the copies, then the index (by frequency); or the first 8
// bytes of the line's key (alphabetical). Only when keys agree are the
// records read.
#pragma once

#include <algorithm>
#include <cstdint>

#include "order/KeptOrder.h"
#include "record/Record.h"

namespace lintrim {

struct KeptKey {
    // By frequency: the copies, capped and turned so that more come first,
    // above the index's 40 bits. A key whose copies reached the cap has 0 there.
    static constexpr int kIndexBits = 40;
    static constexpr uint64_t kCopiesCap = (uint64_t{1} << (64 - kIndexBits)) - 1;

    uint64_t key;
    const char* kept;

    static KeptKey Of(const KeptOrder& order, const char* kept) {
        const uint64_t index = record::Index(kept) & ~record::kReferenceBit;
        switch (order.kind) {
            case OrderKind::Frequency: {
                const uint64_t copies = std::min(record::Copies(kept), kCopiesCap);
                return {((kCopiesCap - copies) << kIndexBits) | index, kept};
            }
            case OrderKind::Alphabetical:
                return {order.key.Prefix(record::KeptLine(kept), record::Length(kept)), kept};
            case OrderKind::File:
                break;
        }
        return {index, kept};
    }
};

// Orders keys; no two kept records of one list are equal in any order.
struct KeptKeyBefore {
    KeptOrder order;
    bool operator()(const KeptKey& a, const KeptKey& b) const {
        const bool bothCapped = order.kind == OrderKind::Frequency &&
                                (a.key >> KeptKey::kIndexBits) == 0 &&
                                (b.key >> KeptKey::kIndexBits) == 0;
        if (a.key != b.key && !bothCapped) return a.key < b.key;
        return order.kind != OrderKind::File && a.kept != b.kept &&
               KeptBefore(order, a.kept, b.kept);
    }
};

}  // namespace lintrim
