// Spilling the trail and reading it back.
#include "partition/PartitionTrail.h"

#include <algorithm>

namespace lintrim {

namespace {
constexpr uint64_t kChunkEntries = uint64_t{1} << 20;
}  // namespace

void PartitionTrail::Spill(const std::string& folder) {
    if (m_memory.empty()) return;
    if (!m_file) m_file = SpillFile::Create(folder);
    m_file.Append(reinterpret_cast<const char*>(m_memory.data()),
                  m_memory.size() * sizeof(uint16_t));
    m_onDisk += m_memory.size();
    std::vector<uint16_t>().swap(m_memory);  // its memory, not only its entries
}

// The file's entries first, then those still in memory.
void PartitionTrail::Reader::Refill() {
    m_at = 0;
    if (m_fileAt < m_fileEnd) {
        const uint64_t count = std::min(kChunkEntries, m_fileEnd - m_fileAt);
        m_chunk.resize(count);
        m_trail.m_file.ReadAt(reinterpret_cast<char*>(m_chunk.data()), count * sizeof(uint16_t),
                              m_fileAt * sizeof(uint16_t));
        m_fileAt += count;
        m_data = m_chunk.data();
        m_size = m_chunk.size();
        return;
    }
    if (m_inMemory || m_trail.m_memory.size() <= m_memoryAt) m_trail.m_file.CutShort();
    m_inMemory = true;
    m_data = m_trail.m_memory.data() + m_memoryAt;
    m_size = m_trail.m_memory.size() - m_memoryAt;
}

}  // namespace lintrim
