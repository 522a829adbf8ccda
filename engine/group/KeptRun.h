// A run: the kept records of one partition, in memory or in a temporary
// file, in file order as grouping leaves them; a run on disk may be sorted
// into another order, and then every run of the list is, so that writing
// the list is a merge of its runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "order/KeptOrder.h"
#include "os/ByteBuffer.h"
#include "partition/SpillFile.h"

namespace lintrim {

// Runs laid one after another in a file: where one starts, and its size.
struct Segment {
    uint64_t offset = 0;
    uint64_t bytes = 0;
    uint64_t records = 0;
};

class KeyBounds;

struct KeptRun {
    ByteBuffer bytes;  // kept records
    SpillFile file;    // or the records on disk
    uint64_t records = 0;

    // Moves the records to a new temporary file in `folder`; with `bounds`
    // (which cut a run in the order it is in), noting its stretches, each
    // starting a block of the file.
    void Spill(const std::string& folder, const KeyBounds* bounds = nullptr);
    // Where each stretch of the bounds the run was cut by lies in its file.
    std::vector<Segment> stretches;

    // Puts the records of a run on disk in `order`, in a new file, noting
    // its stretches when `bounds` has any; with takeStretches, the bounds are
    // first taken from this run. (The kept lines of a list held in memory
    // are sorted all together instead.)
    void Sort(const KeptOrder& order, const std::string& folder, KeyBounds* bounds = nullptr,
              size_t takeStretches = 0);
    // Puts the records held in memory in `order`.
    void SortBytes(const KeptOrder& order);
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
