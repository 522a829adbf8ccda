// The orders kept lines are written in.
#include "order/KeptOrder.h"

#include "record/Record.h"

namespace lintrim {

namespace {
uint64_t IndexOf(const char* kept) {
    return record::Index(kept) & ~record::kReferenceBit;
}

}  // namespace

bool KeptBefore(const KeptOrder& order, const char* a, const char* b) {
    switch (order.kind) {
        case OrderKind::Frequency:
            if (record::Copies(a) != record::Copies(b))
                return record::Copies(a) > record::Copies(b);
            return IndexOf(a) < IndexOf(b);
        case OrderKind::Alphabetical: {
            const int c = order.key.Compare(record::KeptLine(a), record::Length(a),
                                            record::KeptLine(b), record::Length(b));
            if (c != 0) return c < 0;
            break;
        }
        case OrderKind::File:
            break;
    }
    return IndexOf(a) < IndexOf(b);
}

}  // namespace lintrim
