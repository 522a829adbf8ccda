// A run's context and the machine's defaults it falls back on.
#include "os/RunContext.h"

#include <algorithm>
#include <string>

#include "lintrim/RunPlan.h"
#include "os/SystemFacts.h"

namespace lintrim {

namespace {
// A run may take this share of the memory the system has available when it
// starts; the rest stays for the page cache and the programs beside it.
constexpr uint64_t kShareNumerator = 1;
constexpr uint64_t kShareDenominator = 2;
constexpr uint64_t kFallbackBudget = uint64_t{1} << 30;
// Address space the program takes whatever its budget: code, libraries,
// thread stacks and the heap's reservations for each thread.
constexpr uint64_t kFixedAddressSpace = uint64_t{96} << 20;
// Of what is left, the heap's growth in place and its fragments take up to
// as much again as the budget.
constexpr uint64_t kAddressSpaceShare = 2;
// A decoder may take up to three quarters of the budget: at the smallest,
// 12 MiB, enough for xz's default dictionary (9 MiB with the decoder) and
// zstd's largest window below --long (8 MiB).
constexpr uint64_t kDecoderShareNumerator = 3;
constexpr uint64_t kDecoderShareDenominator = 4;

// No limit: the largest budget.
uint64_t AddressSpaceBudget() {
    const uint64_t space = system_facts::AddressSpaceLimit();
    if (space == UINT64_MAX) return UINT64_MAX;
    return space > kFixedAddressSpace ? (space - kFixedAddressSpace) / kAddressSpaceShare : 0;
}

uint64_t SystemShare() {
    const uint64_t available = system_facts::AvailableMemory();
    return available ? available / kShareDenominator * kShareNumerator : kFallbackBudget;
}
}  // namespace

uint64_t AvailableMemory() {
    return system_facts::AvailableMemory();
}

unsigned Processors() {
    return system_facts::Processors();
}

uint64_t DefaultMemoryBudget() {
    return std::max(std::min(SystemShare(), AddressSpaceBudget()), kSmallestMemoryBudget);
}

RunContext RunContext::For(const RunPlan& plan) {
    RunContext context;
    context.memoryBudget = plan.memoryBudget ? plan.memoryBudget : DefaultMemoryBudget();
    context.threads = plan.threads ? plan.threads : system_facts::Processors();
    context.tempDir = plan.tempDir;
    return context;
}

uint64_t RunContext::DecoderMemoryLimit() const {
    return std::max(memoryBudget, kSmallestMemoryBudget) / kDecoderShareDenominator *
           kDecoderShareNumerator;
}

std::string RunContext::TempFolderFor(const std::string& listPath) const {
    if (!tempDir.empty()) return tempDir;
    if (listPath == "-") return StreamTempFolder();
    return system_facts::FolderOf(listPath);
}

// The current folder is no place for them: it may be anywhere, even
// where the user may not write.
std::string RunContext::StreamTempFolder() const {
    if (!tempDir.empty()) return tempDir;
    return system_facts::TemporaryFolder();
}

}  // namespace lintrim
