// The orders kept lines are written in.
#include "order/KeptOrder.h"

#include <algorithm>
#include <cstring>

#include "load/Record.h"

namespace {
int CompareText(const char* a, const char* b) {
    const uint32_t la = record::Length(a);
    const uint32_t lb = record::Length(b);
    const int c = std::memcmp(record::KeptLine(a), record::KeptLine(b), std::min(la, lb));
    return c != 0 ? c : (la < lb ? -1 : la > lb ? 1 : 0);
}

uint64_t IndexOf(const char* kept) {
    return record::Index(kept) & ~record::kReferenceBit;
}

}  // namespace

bool KeptBefore(KeptOrder order, const char* a, const char* b) {
    switch (order) {
        case KeptOrder::Frequency:
            if (record::Copies(a) != record::Copies(b))
                return record::Copies(a) > record::Copies(b);
            return IndexOf(a) < IndexOf(b);
        case KeptOrder::Alphabetical:
            return CompareText(a, b) < 0;
        case KeptOrder::File:
            break;
    }
    return IndexOf(a) < IndexOf(b);
}
