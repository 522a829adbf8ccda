// A run: the kept records of one partition, in memory or in a temporary
// file, in file order as grouping leaves them; a run on disk may be sorted
// into another order (order/RunSort), and then every run of the list is, so
// that writing the list is a merge of its runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/ByteBuffer.h"
#include "partition/SpillFile.h"

namespace lintrim {

// Runs laid one after another in a file: where one starts, and its size.
struct Segment {
    uint64_t offset = 0;
    uint64_t bytes = 0;
    uint64_t records = 0;
};

struct KeptRun {
    ByteBuffer bytes;  // kept records
    SpillFile file;    // or the records on disk
    uint64_t records = 0;

    // Where each stretch of the order the run was cut by lies in its file
    // (none: the run is one stretch).
    std::vector<Segment> stretches;

    // Moves the records to a new temporary file in `folder`, each of its
    // stretches starting a block of the file.
    void Spill(const std::string& folder);
};

// Reads a run's records in order, a bounded stretch of a file at a time.
class KeptRunCursor {
public:
    KeptRunCursor(const KeptRun& run, size_t chunkBytes);
    // Over the run that `segment` of `file` holds.
    KeptRunCursor(const SpillFile& file, const Segment& segment, size_t chunkBytes);
    // The current kept record, or nullptr past the last.
    const char* Current() const { return m_current; }
    void Advance();

private:
    void ReadOn();

    const ByteBuffer* m_bytes = nullptr;  // a run in memory
    const SpillFile* m_file = nullptr;    // or on disk
    uint64_t m_records;
    size_t m_chunkBytes;
    ByteBuffer m_chunk;
    size_t m_at = 0;  // in m_chunk, or in the bytes of a run in memory
    uint64_t m_fileAt = 0;
    uint64_t m_fileEnd = 0;
    uint64_t m_next = 0;  // records handed on
    const char* m_current = nullptr;
};

}  // namespace lintrim
