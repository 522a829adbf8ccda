// The orders in which a list's kept lines can be written.
#pragma once

enum class KeptOrder { File, Frequency, Alphabetical };

// Whether kept record a goes before kept record b in `order`. No two kept
// records of one list are equal in any order.
bool KeptBefore(KeptOrder order, const char* a, const char* b);
