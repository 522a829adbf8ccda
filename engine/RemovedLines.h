// The removed lines of a run, in file order. After grouping, the kept
// lines are known by their load index; a second pass over the input lists
// then writes every non-empty line whose index was not kept. The lines of
// one list are first staged in a scratch file, and join the run's file of
// removed lines only once the list's result is in place.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ByteBuffer.h"
#include "InputList.h"
#include "ListWriter.h"
#include "SpillFile.h"

// A scratch file written through a buffer; Commit() flushes it.
class StagedLines : public ListWriter {
public:
    explicit StagedLines(const std::string& folder);
    void Write(const char* bytes, size_t size) override;
    void Commit() override;
    // Copies what was committed to `to` and empties the stage.
    void MoveTo(ListWriter& to);

private:
    std::string m_folder;
    SpillFile m_file;
    ByteBuffer m_buffer;
};

// Writes every non-empty line of the inputs whose load index is not set in
// `kept` (indices count the non-empty lines of all inputs, in order), each
// followed by `lineEnd`.
void WriteRemovedLines(const std::vector<InputList*>& inputs, const std::vector<bool>& kept,
                       ListWriter& to, const std::string& lineEnd);
