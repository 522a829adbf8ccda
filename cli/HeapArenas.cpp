#include "HeapArenas.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
constexpr uint64_t kSmallBudget = uint64_t{256} << 20;
}  // namespace

void LimitHeapArenas(uint64_t budget) {
#if defined(__GLIBC__)
    if (budget != 0 && budget < kSmallBudget) ::mallopt(M_ARENA_MAX, 1);
#else
    (void)budget;
#endif
}
