// The stages that clean one list, on any size: loading its lines into hash
// partitions (spilled to disk past the memory budget), grouping each
// partition's copies of a line, sorting the kept lines when asked, and
// writing them as a merge of the partitions' runs. The stages send the
// progress positions of their part of the 0-5000 scale; the jobs send the
// status texts around them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "InputList.h"
#include "JobWindow.h"
#include "KeptKey.h"
#include "ListLocation.h"
#include "PartitionSet.h"
#include "Run.h"
#include "StretchLoader.h"

// Where on the progress scale a stage reports: from `base`, `width` wide.
struct ProgressSpan {
    int base;
    int width;
};

// One file to load, with the text shown when it cannot be read.
struct ListSource {
    InputList* list;
    const char* failureText;
    bool reference;
};

class ListCleaner {
public:
    // `output` is where the result goes; `listPath` names the list as chosen.
    ListCleaner(JobWindow& window, const ListLocation& output, const std::string& listPath);

    // Loads the sources in order. Lines equal to `skip` are left out, and
    // counted as removed.
    void Load(const std::vector<ListSource>& sources, const std::optional<std::string>& skip,
              ProgressSpan span);
    // Groups the copies of each line; with everyCopy, every copy is kept.
    void Group(bool everyCopy, ProgressSpan span);
    // Puts each partition's kept lines in `order`.
    void Sort(KeptOrder order, ProgressSpan span);
    // Writes the kept lines over the list (4000-5000).
    void Write(KeptOrder order);

    // Lines loaded (input and reference lists).
    int64_t Read() const { return m_read; }
    // Input lines left out: copies beyond the first, and skipped lines.
    int64_t Removed() const { return m_dupes + m_skipped; }

private:
    void LoadOne(const ListSource& source, uint64_t before, float scale, int base);
    uint64_t KeptLines() const;

    JobWindow& m_window;
    const ListLocation& m_output;
    std::string m_tempFolder;
    uint64_t m_budget;
    std::optional<PartitionSet> m_partitions;
    std::optional<StretchLoader> m_loader;
    PartitionTrail m_trail;
    std::optional<std::string> m_skip;
    std::vector<Run> m_runs;
    int64_t m_read = 0;
    int64_t m_dupes = 0;
    int64_t m_skipped = 0;
    bool m_everyCopy = false;
    bool m_spilled = false;
    std::vector<KeptKey> m_sorted;  // the kept lines in order, for a list held in memory
};
