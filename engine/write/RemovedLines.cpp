// The second pass that finds the removed lines.
#include "write/RemovedLines.h"

#include "lintrim/StatusTexts.h"
#include "read/ListReader.h"

namespace lintrim {

void WriteRemovedLines(const std::vector<InputList*>& inputs, const std::vector<bool>& kept,
                       ListWriter& to, const std::string& lineEnd) {
    uint64_t index = 0;
    for (InputList* input : inputs) {
        ListReader reader(*input, status::kInputCantBeRead);
        ForEachPiece(reader, [&](const Piece& piece) {
            if (piece.length == 0) return;
            if (index >= kept.size() || !kept[index]) {
                to.Write(piece.line, piece.length);
                to.Write(lineEnd.data(), lineEnd.size());
            }
            ++index;
        });
    }
}

}  // namespace lintrim
