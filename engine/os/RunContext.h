// What one run may take of the machine: its memory budget, its worker
// threads and the folder for its temporary files. RunLists makes one from
// the plan when the run starts, filling in what the plan leaves open from
// the machine, and hands it down to every stage; no two runs share any of it.
#pragma once

#include <cstdint>
#include <string>

namespace lintrim {

struct RunPlan;

struct RunContext {
    uint64_t memoryBudget = 0;  // bytes, however small a plan sets it (tests spill so)
    unsigned threads = 1;       // at least one
    std::string tempDir;        // empty: the folder of the list being cleaned

    // The plan's settings, and the machine's where the plan sets none.
    static RunContext For(const RunPlan& plan);

    // The most a decoder of a compressed list may take: a share of the budget.
    uint64_t DecoderMemoryLimit() const;
    // The folder for the temporary files of the list at `listPath` ("-":
    // standard input, which has no folder of its own).
    std::string TempFolderFor(const std::string& listPath) const;
    // The folder for temporary files that belong to no list's folder: the
    // chosen one, else the system's ($TMPDIR, else /tmp).
    std::string StreamTempFolder() const;
};

}  // namespace lintrim
