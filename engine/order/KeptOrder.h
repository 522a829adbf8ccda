// The orders in which a list's kept lines can be written.
#pragma once

#include "load/LineKey.h"

namespace lintrim {

enum class OrderKind { File, Frequency, Alphabetical };

struct KeptOrder {
    OrderKind kind = OrderKind::File;
    LineKey key;  // what alphabetical order sorts by
};

// Whether kept record a goes before kept record b in `order`. Records whose
// keys are equal (lines the single-line job keeps that differ only where the
// key does not look) go in file order.
bool KeptBefore(const KeptOrder& order, const char* a, const char* b);

}  // namespace lintrim
