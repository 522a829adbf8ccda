// The allocation tracker's registry and the free functions over the
// process-wide instance. Nothing here may call the global operator new or
// delete while the registry's lock is held: those lead back to TrackedRelease,
// which takes the same lock.
#include "AllocationTracker.h"

#include <atomic>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

struct AllocationTracker::Node {
    AllocRecord record;
    Node* next;
};

namespace {

constexpr const char* kReportPath = "memoryleaks.txt";
constexpr const char* kSeparator = "-----------------------------------------------------------\n";

// Published once, after the registry is fully built; TrackedRelease reads it
// without the lock, which keeps the untracked path to one load and one test.
std::atomic<AllocationTracker*> g_registry{nullptr};

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

void WriteRecord(std::FILE* out, const AllocRecord& record) {
    std::fprintf(out, "%s\n\tLine %" PRIu32 "\n\tAddress %" PRIxPTR "\n\t %zu bytes unfreed\n\n",
                 record.file, record.line, record.address, record.size);
}

}  // namespace

AllocationTracker::~AllocationTracker() {
    while (m_front != nullptr) {
        Node* next = m_front->next;
        std::free(m_front);
        m_front = next;
    }
}

AllocationTracker* AllocationTracker::Registry() noexcept {
    return g_registry.load(std::memory_order_acquire);
}

AllocationTracker& AllocationTracker::Instance() noexcept {
    // Static storage without a destructor: blocks are still released, and so
    // still looked up, after the static destructors have run.
    static AllocationTracker* const instance = [] {
        alignas(AllocationTracker) static unsigned char storage[sizeof(AllocationTracker)];
        auto* registry = new (storage) AllocationTracker();
        g_registry.store(registry, std::memory_order_release);
        return registry;
    }();
    return *instance;
}

bool AllocationTracker::Record(const void* block, std::size_t size, const char* file,
                               int line) noexcept {
    auto* node = static_cast<Node*>(std::malloc(sizeof(Node)));
    if (node == nullptr) {
        return false;
    }
    node->record.address = reinterpret_cast<std::uintptr_t>(block);
    node->record.size = size;
    std::strncpy(node->record.file, file, AllocRecord::kFileCapacity - 1);
    node->record.file[AllocRecord::kFileCapacity - 1] = '\0';
    node->record.line = static_cast<std::uint32_t>(line);

    std::lock_guard lock(m_mutex);
    node->next = m_front;
    m_front = node;
    ++m_count;
    return true;
}

bool AllocationTracker::Remove(const void* block) noexcept {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    Node* found = nullptr;
    {
        std::lock_guard lock(m_mutex);
        for (Node** link = &m_front; *link != nullptr; link = &(*link)->next) {
            if ((*link)->record.address == address) {
                found = *link;
                *link = found->next;
                --m_count;
                break;
            }
        }
    }
    std::free(found);
    return found != nullptr;
}

std::size_t AllocationTracker::Count() const noexcept {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void AllocationTracker::WriteReport(std::FILE* out) const noexcept {
    std::size_t total = 0;
    std::lock_guard lock(m_mutex);
    for (const Node* node = m_front; node != nullptr; node = node->next) {
        WriteRecord(out, node->record);
        total += node->record.size;
    }
    std::fputs(kSeparator, out);
    std::fprintf(out, "Total Unfreed: %zu bytes\n", total);
}

void* TrackedAlloc(std::size_t size, const char* file, int line) noexcept {
    void* block = std::malloc(size);
    if (block == nullptr) {
        return nullptr;
    }
    if (!AllocationTracker::Instance().Record(block, size, file, line)) {
        // An unrecorded block would be a silent hole in the report; failing
        // the allocation is the honest answer when there is no room to record it.
        std::free(block);
        return nullptr;
    }
    return block;
}

void TrackedRelease(void* block) noexcept {
    // The record goes before the block: once freed, the address can be handed
    // out and recorded again by another thread.
    if (AllocationTracker* registry = AllocationTracker::Registry()) {
        registry->Remove(block);
    }
    std::free(block);
}

void WriteLeakReport() noexcept {
    WriteLeakReport(AllocationTracker::Registry(), kReportPath);
}

void WriteLeakReport(const AllocationTracker* registry, const char* path) noexcept {
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path, "w"));
    if (out == nullptr || registry == nullptr) {
        return;
    }
    registry->WriteReport(out.get());
}
