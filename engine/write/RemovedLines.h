// The removed lines of a run, in file order. After grouping, the kept
// lines are known by their load index; a second pass over the input lists
// then writes every non-empty line whose index was not kept.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "read/InputList.h"
#include "write/ListWriter.h"

namespace lintrim {

// Writes every non-empty line of the inputs whose load index is not set in
// `kept` (indices count the non-empty lines of all inputs, in order), each
// followed by `lineEnd`.
void WriteRemovedLines(const std::vector<InputList*>& inputs, const std::vector<bool>& kept,
                       ListWriter& to, const std::string& lineEnd);

}  // namespace lintrim
