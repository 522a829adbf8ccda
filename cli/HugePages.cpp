// The allocator's tunable, set once through the environment.
#include "HugePages.h"

#include "lintrim/RunPlan.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

using namespace lintrim;

namespace {
constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kHugePages = "glibc.malloc.hugetlb=1";
// Each thread's heap grows 2 MiB at a time with huge pages: under this
// budget that would take a share of it for little gain.
constexpr uint64_t kSmallestHugeBudget = uint64_t{256} << 20;
// A list's records, tables and runs take up to about this many times its
// bytes: a list larger than the budget over this is spilled.
constexpr uint64_t kHeldPerListByte = 4;
}  // namespace

void StartWithHugePages(char** argv, uint64_t budget, uint64_t listBytes) {
    if (budget == 0) budget = DefaultMemoryBudget();
    if (budget < kSmallestHugeBudget || listBytes == 0 || listBytes > budget / kHeldPerListByte)
        return;
    const char* tunables = std::getenv(kTunables);
    std::string wanted = tunables ? tunables : "";
    // Whatever the caller set for it stands, and a second start finds it set.
    if (wanted.find("glibc.malloc.hugetlb") != std::string::npos) return;
    wanted += wanted.empty() ? kHugePages : std::string(":") + kHugePages;
    if (::setenv(kTunables, wanted.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    // Not started again: the tunable would only mislead a program this one starts.
    if (tunables)
        ::setenv(kTunables, tunables, 1);
    else
        ::unsetenv(kTunables);
}
