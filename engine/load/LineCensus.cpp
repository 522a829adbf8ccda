// The census of a stretch of lines.
#include "load/LineCensus.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "lintrim/StatusTexts.h"
#include "read/ListReader.h"

namespace lintrim {

namespace {
void CountLine(const char* line, size_t length, bool crlf, LineStats& stats) {
    if (length == 0) return;
    if (stats.lengths.empty()) stats.lengths.assign(LineStats::kLengths, 0);
    ++stats.lengths[std::min(length, LineStats::kLengths - 1)];
    stats.crlf += crlf;
    const auto* bytes = reinterpret_cast<const unsigned char*>(line);
    stats.high += std::any_of(bytes, bytes + length, [](unsigned char c) { return c > 127; });
    stats.nul += std::memchr(line, 0, length) != nullptr;
    stats.hex += IsHexLine(line, length);
}
}  // namespace

LineStats& LineStats::operator+=(const LineStats& other) {
    if (lengths.empty()) lengths.assign(kLengths, 0);
    for (size_t i = 0; i < other.lengths.size(); ++i) lengths[i] += other.lengths[i];
    crlf += other.crlf;
    high += other.high;
    nul += other.nul;
    hex += other.hex;
    return *this;
}

std::string LineEndOf(LineEnd choice, const std::vector<InputList*>& lists) {
    if (choice != LineEnd::kAsRead) return choice == LineEnd::kCrLf ? "\r\n" : "\n";
    uint64_t crlf = 0, lf = 0;
    for (InputList* list : lists) {
        ListReader reader(*list, status::kInputCantBeRead);
        PieceStretch stretch{};
        while (reader.Next(stretch)) {
            const char* end = stretch.data + stretch.size;
            for (const char* p = stretch.data;
                 (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
                ++(p > stretch.data && p[-1] == '\r' ? crlf : lf);
        }
    }
    return crlf > lf ? "\r\n" : "\n";
}

bool IsHexLine(const char* line, size_t length) {
    constexpr size_t kHead = 5;  // "$HEX["
    if (length < kHead + 1 || std::memcmp(line, "$HEX[", kHead) != 0 || line[length - 1] != ']')
        return false;
    const size_t digits = length - kHead - 1;
    return digits % 2 == 0 && std::all_of(line + kHead, line + kHead + digits, [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

void CountLines(const char* data, size_t size, bool last, LineStats& stats) {
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        const auto* feed = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!feed) break;
        const bool crlf = feed > p && feed[-1] == '\r';
        CountLine(p, LineBefore(p, static_cast<size_t>(feed - p)), crlf, stats);
        p = feed + 1;
    }
    if (last) CountLine(p, LineBefore(p, static_cast<size_t>(end - p)), false, stats);
}

}  // namespace lintrim
