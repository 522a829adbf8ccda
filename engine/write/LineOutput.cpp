// Encoding and decoding `$HEX[..]` lines as they are written, through a
// small buffer, so that a line of any length takes no more memory.
#include "write/LineOutput.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace lintrim {

namespace {
constexpr size_t kChunk = 256;

// Whether the bytes are themselves of the `$HEX[..]` form.
bool HexFormBytes(const LineBytes& bytes) {
    const size_t n = bytes.size;
    if (n < LineBytes::kOpenSize + 1 || bytes[n - 1] != ']' || (n - LineBytes::kOpenSize - 1) % 2)
        return false;
    for (size_t i = 0; i < n - 1; ++i) {
        const uint8_t c = bytes[i];
        if (i < LineBytes::kOpenSize ? c != LineBytes::kOpen[i] : !std::isxdigit(c)) return false;
    }
    return true;
}

// Bytes that stand as a line and read back as themselves, so that a second
// run changes nothing: not empty (the list drops empty lines), no LF (it
// would break the line in two), no CR at the end (it would belong to the
// break), and not themselves of the `$HEX[..]` form (they would be decoded
// again).
bool FitsALine(const LineBytes& bytes) {
    if (bytes.size == 0 || bytes[bytes.size - 1] == '\r') return false;
    for (size_t i = 0; i < bytes.size; ++i)
        if (bytes[i] == '\n') return false;
    return !HexFormBytes(bytes);
}

// Bytes that a reader could take for anything else: empty, not printable
// ASCII, a colon (the separator of hash and password), or a `$HEX[` start.
bool NeedsEncoding(const LineBytes& bytes) {
    if (bytes.size == 0) return true;
    bool hexStart = bytes.size >= LineBytes::kOpenSize;
    for (size_t i = 0; i < bytes.size; ++i) {
        const uint8_t c = bytes[i];
        if (c < 0x20 || c > 0x7e || c == ':') return true;
        if (i < LineBytes::kOpenSize) hexStart = hexStart && c == LineBytes::kOpen[i];
    }
    return hexStart;
}
}  // namespace

void LineOutput::PutShaped(const char* line, size_t length, uint64_t copies) {
    if (m_shape.count) {
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits - 1, copies).ptr;
        *end++ = '\t';
        m_to.Write(digits, static_cast<size_t>(end - digits));
    }
    const char* field = line;
    size_t size = length;
    m_shape.field.Narrow(field, size);
    const bool whole = !m_shape.cut;
    if (m_shape.letters != LetterCase::kAsRead) {
        // The plan's check keeps a change of case from the `$HEX[..]` forms.
        whole ? PutCased(line, length) : PutCased(field, size);
        return m_to.Write(m_end.data(), m_end.size());
    }
    // As read, the line (or field) goes with its end in one call, as plain lines do.
    if (m_shape.form == LineForm::kAsRead)
        return whole ? m_to.WriteLine(line, length, m_end.data(), m_end.size())
                     : m_to.WriteLine(field, size, m_end.data(), m_end.size());
    if (whole && field > line) m_to.Write(line, static_cast<size_t>(field - line));
    PutInForm(field, size);
    if (whole && field + size < line + length)
        m_to.Write(field + size, static_cast<size_t>(line + length - field - size));
    m_to.Write(m_end.data(), m_end.size());
}

bool LineOutput::SplitsFields(const LineBytes& bytes) const {
    if (!m_shape.field.on || m_shape.cut) return false;
    for (size_t i = 0; i < bytes.size; ++i)
        if (bytes[i] == static_cast<uint8_t>(m_shape.field.delimiter)) return true;
    return false;
}

void LineOutput::PutInForm(const char* line, size_t length) {
    if (m_shape.form == LineForm::kHexDecoded) {
        const LineBytes bytes = LineBytes::Of(line, length, true);
        if (bytes.hex && FitsALine(bytes) && !SplitsFields(bytes))
            PutBytes(bytes);
        else
            m_to.Write(line, length);
        return;
    }
    const LineBytes bytes = LineBytes::Of(line, length, m_shape.hexKey);
    if (NeedsEncoding(bytes))
        PutEncoded(bytes);
    else
        PutBytes(bytes);
}

void LineOutput::PutCased(const char* line, size_t length) {
    const bool upper = m_shape.letters == LetterCase::kUpper;
    char chunk[kChunk];
    for (size_t from = 0; from < length; from += kChunk) {
        const size_t count = std::min(kChunk, length - from);
        for (size_t i = 0; i < count; ++i) {
            const char c = line[from + i];
            const bool letter = upper ? c >= 'a' && c <= 'z' : c >= 'A' && c <= 'Z';
            chunk[i] = letter ? static_cast<char>(c ^ 0x20) : c;
        }
        m_to.Write(chunk, count);
    }
}

void LineOutput::PutBytes(const LineBytes& bytes) {
    if (!bytes.hex) return m_to.Write(bytes.at, bytes.size);
    char chunk[kChunk];
    for (size_t from = 0; from < bytes.size; from += kChunk) {
        const size_t count = std::min(kChunk, bytes.size - from);
        for (size_t i = 0; i < count; ++i) chunk[i] = static_cast<char>(bytes[from + i]);
        m_to.Write(chunk, count);
    }
}

void LineOutput::PutEncoded(const LineBytes& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    m_to.Write(LineBytes::kOpen, LineBytes::kOpenSize);
    char chunk[kChunk];
    for (size_t from = 0; from < bytes.size; from += kChunk / 2) {
        const size_t count = std::min(kChunk / 2, bytes.size - from);
        for (size_t i = 0; i < count; ++i) {
            chunk[2 * i] = kDigits[bytes[from + i] >> 4];
            chunk[2 * i + 1] = kDigits[bytes[from + i] & 0xf];
        }
        m_to.Write(chunk, 2 * count);
    }
    m_to.Write("]", 1);
}

}  // namespace lintrim
