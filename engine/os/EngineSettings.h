// How much a run may take of the machine: the memory budget, the folder for
// temporary files and the number of threads. A front end sets them once,
// before any run; tests shrink the budget so that every spill path runs.
#pragma once

#include <cstdint>
#include <string>

struct EngineSettings {
    uint64_t memoryBudget = 0;  // bytes; 0: a share of the memory available when a run starts
    std::string tempDir;        // empty: the folder of the list being cleaned
    unsigned threads = 0;       // 0: one per core
};


// The settings in use (process-wide).
EngineSettings& Settings();

// The budget in bytes for a run starting now. A budget set by hand is taken
// as it is, however small; the default stays within the address space the
// process may take.
uint64_t MemoryBudget();
// The most one list's decoder may hold (a zstd window, an xz dictionary):
// a share of the budget, the rest left to the run. Below the smallest
// budget (tests' budgets set by hand) it stays that share of the smallest,
// so that those still read ordinary compressed lists.
uint64_t DecoderMemoryLimit();
// The worker threads for a run: at least one.
unsigned WorkerThreads();
// The folder for a run's temporary files, given the list's path ("-":
// standard input, which has no folder of its own).
std::string TempFolderFor(const std::string& listPath);
// The folder for temporary files that belong to no list's folder: the
// chosen one, else the system's ($TMPDIR, else /tmp).
std::string StreamTempFolder();

// Installs settings for the lifetime of the object (tests).
class ScopedSettings {
public:
    explicit ScopedSettings(EngineSettings settings);
    ~ScopedSettings();
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

private:
    EngineSettings m_previous;
};
