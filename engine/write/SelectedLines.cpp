// Taking or dropping whole lines of a stream of bytes.
#include "write/SelectedLines.h"

#include <cstring>

namespace lintrim {

bool LineChoice::Next() {
    if (m_wanted == 0) return false;
    if (m_left && *m_left > m_wanted) {
        // Taken with the chance m_wanted / m_left: the draw is uniform
        // below m_left within a bias of m_left / 2^64, far below any count.
        const bool take = m_random() % *m_left < m_wanted;
        --*m_left;
        if (!take) return false;
    } else if (m_left) {
        --*m_left;
    }
    --m_wanted;
    return true;
}

void SelectedLines::Choose() {
    m_taking = m_choice.Next();
    if (!m_taking) ++m_left;
}

void SelectedLines::Write(const char* bytes, size_t size) {
    while (size > 0) {
        if (m_lineStart) Choose();
        const auto* feed = static_cast<const char*>(std::memchr(bytes, '\n', size));
        const size_t part = feed ? static_cast<size_t>(feed - bytes) + 1 : size;
        if (m_taking) m_to.Write(bytes, part);
        m_lineStart = feed != nullptr;
        bytes += part;
        size -= part;
    }
}

void SelectedLines::WriteLine(const char* line, size_t length, const char* end, size_t endLength) {
    // The line may have begun with a Write() (its count), which chose for it.
    if (m_lineStart) Choose();
    if (m_taking) m_to.WriteLine(line, length, end, endLength);
    m_lineStart = true;
}

}  // namespace lintrim
