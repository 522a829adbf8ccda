// The counting and reading passes. A "piece" is what one line read returns:
// the bytes up to and including the next line feed, or the rest of the file.
// A carriage return just before the line feed belongs to the break; a piece
// whose line is empty is skipped. Positions are offsets after a piece.
#include "ListLoader.h"

#include <cstring>
#include <limits>

#include "JobFailure.h"
#include "ProgressScale.h"
#include "StatusTexts.h"

namespace {

// Length of the line in [start, end) where `end` is the offset of its line feed.
uint64_t LineLengthBeforeFeed(const char* bytes, uint64_t start, uint64_t end) {
    return (end > start && bytes[end - 1] == '\r') ? end - start - 1 : end - start;
}

// Counts lines as blocks of a file arrive, sending the counting positions.
class PieceCounter {
public:
    PieceCounter(JobWindow& window, uint64_t base, float scale, int64_t& count)
        : m_window(window), m_base(base), m_scale(scale), m_count(count) {}

    void Feed(const ListBuffer& buffer, uint64_t bytesRead) {
        const char* bytes = buffer.Bytes();
        while (m_scanned < bytesRead) {
            const void* feed = std::memchr(bytes + m_scanned, '\n', bytesRead - m_scanned);
            if (!feed) {
                m_scanned = bytesRead;
                return;
            }
            const uint64_t at = static_cast<uint64_t>(static_cast<const char*>(feed) - bytes);
            Piece(LineLengthBeforeFeed(bytes, m_pieceStart, at), at + 1);
            m_pieceStart = m_scanned = at + 1;
        }
    }

    // The last piece: whatever follows the last line feed, up to the content's end.
    void Finish(const ListBuffer& buffer) {
        const uint64_t last =
            buffer.contentEnd > m_pieceStart ? buffer.contentEnd - m_pieceStart : 0;
        Piece(last, buffer.size);
    }

private:
    void Piece(uint64_t lineLength, uint64_t positionAfter) {
        if (lineLength > std::numeric_limits<uint32_t>::max())
            throw JobFailure(status::kLineTooLong);
        if (lineLength > 0) ++m_count;
        if (m_count % progress::kCountingStep == 0)
            m_window.SetProgressPos(ScaledPosition(m_base + positionAfter, m_scale));
    }

    JobWindow& m_window;
    uint64_t m_base;
    float m_scale;
    int64_t& m_count;
    uint64_t m_pieceStart = 0;
    uint64_t m_scanned = 0;
};

// Fills rows from one file's buffer, cutting each line with a zero byte.
class RowFiller {
public:
    RowFiller(JobWindow& window, LineTable& table, uint64_t base, float scale, int64_t& stored)
        : m_window(window), m_table(table), m_base(base), m_scale(scale), m_stored(stored) {}

    void Fill(ListBuffer& buffer, uint8_t source) {
        char* bytes = buffer.Bytes();
        uint64_t start = 0;
        for (;;) {
            ReportBeforeRead(start);
            const void* feed = std::memchr(bytes + start, '\n', buffer.contentEnd - start);
            if (!feed) break;
            const uint64_t at = static_cast<uint64_t>(static_cast<const char*>(feed) - bytes);
            Store(bytes + start, LineLengthBeforeFeed(bytes, start, at), source);
            start = at + 1;
        }
        Store(bytes + start, buffer.contentEnd - start, source);
    }

private:
    void ReportBeforeRead(uint64_t position) {
        if (m_stored % progress::kRowStep == 0)
            m_window.SetProgressPos(progress::kReadingBase +
                                    ScaledPosition(m_base + position, m_scale));
    }

    void Store(char* line, uint64_t length, uint8_t source) {
        if (length == 0) return;
        // The counting pass fixed the row count; never write past it.
        if (m_stored >= m_table.n) throw JobFailure(status::kInputCantBeRead);
        line[length] = '\0';
        const int64_t row = m_stored++;
        const auto len32 = static_cast<uint32_t>(length);
        m_table.text[row] = line;
        m_table.length[row] = len32;
        m_table.drop[row] = 0;
        if (m_table.HasSource()) m_table.source[row] = source;
        if (m_table.sorted)
            m_table.sorted[row] = SortEntry::Make(LinePrefix(line, len32), row, len32);
    }

    JobWindow& m_window;
    LineTable& m_table;
    uint64_t m_base;
    float m_scale;
    int64_t& m_stored;
};
}  // namespace

int ScaledPosition(uint64_t bytes, float scale) {
    return static_cast<int>(static_cast<float>(bytes) * scale);
}

void LoadLists(JobWindow& window, const std::vector<ListToLoad>& files, float scale,
               const TableShape& shape, LineTable& table) {
    window.SetStatusText(status::kCounting);
    std::vector<ListBuffer> buffers;
    int64_t count = 0;
    uint64_t base = 0;
    for (const ListToLoad& list : files) {
        PieceCounter counter(window, base, scale, count);
        buffers.push_back(list.file->ReadAll(
            [&](const ListBuffer& buffer, uint64_t bytesRead) { counter.Feed(buffer, bytesRead); },
            list.failureText));
        counter.Finish(buffers.back());
        base += buffers.back().size;
    }

    table.Allocate(count, shape.withSource, shape.withSortKeys);
    window.SetStatusText(status::kReading);
    int64_t stored = 0;
    base = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        RowFiller(window, table, base, scale, stored).Fill(buffers[i], files[i].source);
        base += buffers[i].size;
    }
    if (stored != table.n) throw JobFailure(status::kInputCantBeRead);
    table.buffers = std::move(buffers);
}

void LoadList(JobWindow& window, InputList& file, bool withSortKeys, LineTable& table) {
    const float scale = file.Size() ? 1000.0f / static_cast<float>(file.Size()) : 0.0f;
    LoadLists(window, {{&file, status::kInputCantBeRead, 0}}, scale, {false, withSortKeys}, table);
}
