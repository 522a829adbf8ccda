// Staging removed lines, and the second pass that finds them.
#include "RemovedLines.h"

#include "ListReader.h"
#include "StatusTexts.h"

namespace {
constexpr size_t kStageBuffer = size_t{256} << 10;
}  // namespace

StagedLines::StagedLines(const std::string& folder) : m_folder(folder) {
    m_buffer.Reserve(kStageBuffer);
}

void StagedLines::Write(const char* bytes, size_t size) {
    if (size > m_buffer.Capacity() - m_buffer.Size()) Commit();
    if (size >= m_buffer.Capacity()) {
        if (!m_file) m_file = SpillFile::Create(m_folder);
        return m_file.Append(bytes, size);
    }
    m_buffer.Append(bytes, size);
}

void StagedLines::Commit() {
    if (m_buffer.Empty()) return;
    if (!m_file) m_file = SpillFile::Create(m_folder);
    m_file.Append(m_buffer.Data(), m_buffer.Size());
    m_buffer.Clear();
}

void StagedLines::MoveTo(ListWriter& to) {
    ByteBuffer chunk;
    chunk.Resize(kStageBuffer);
    for (uint64_t at = 0; m_file && at < m_file.Size();) {
        const size_t size =
            static_cast<size_t>(std::min<uint64_t>(chunk.Size(), m_file.Size() - at));
        m_file.ReadAt(chunk.Data(), size, at);
        to.Write(chunk.Data(), size);
        at += size;
    }
    m_file.Drop();
}

void WriteRemovedLines(const std::vector<InputList*>& inputs, const std::vector<bool>& kept,
                       ListWriter& to, const std::string& lineEnd) {
    uint64_t index = 0;
    for (InputList* input : inputs) {
        ListReader reader(*input, status::kInputCantBeRead);
        ForEachPiece(reader, [&](const char* line, uint64_t length, uint64_t) {
            if (length == 0) return;
            if (index >= kept.size() || !kept[index]) {
                to.Write(line, length);
                to.Write(lineEnd.data(), lineEnd.size());
            }
            ++index;
        });
    }
}
