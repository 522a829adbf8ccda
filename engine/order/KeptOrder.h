// The orders in which a list's kept lines can be written.
#pragma once

#include "load/LineKey.h"
#include "load/LineLength.h"

namespace lintrim {

enum class OrderKind { File, Frequency, Alphabetical, Length };

struct KeptOrder {
    OrderKind kind = OrderKind::File;
    LineKey key;        // what alphabetical order sorts by
    LineLength length;  // what the order by length measures
};

// Whether kept record a goes before kept record b in `order`. Lines of one
// length, like lines of one frequency, go in file order. Records whose
// keys are equal (lines the single-line job keeps that differ only where the
// key does not look) go in file order.
bool KeptBefore(const KeptOrder& order, const char* a, const char* b);
// The length of kept record `kept` as `order` measures it.
uint64_t LengthOf(const KeptOrder& order, const char* kept);

}  // namespace lintrim
