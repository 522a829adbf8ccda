#include "os/ThreadCaches.h"

#include <cstdlib>

namespace lintrim {

namespace {
// Plain storage only: nothing here has a destructor.
constexpr unsigned kMostCaches = 8;
thread_local void (*t_releases[kMostCaches])() = {};
thread_local unsigned t_caches = 0;
}  // namespace

void ReleaseAtThreadEnd(void (*release)()) {
    if (t_caches == kMostCaches) std::abort();  // a new kind of cache needs room here
    t_releases[t_caches++] = release;
}

void ReleaseThreadCaches() {
    while (t_caches > 0) t_releases[--t_caches]();
}

}  // namespace lintrim
