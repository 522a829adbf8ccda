// JSON strings from file names and texts.
#include "JsonText.h"

#include <algorithm>
#include <cstdio>

namespace {
unsigned char Byte(const std::string& text, size_t at) {
    return static_cast<unsigned char>(text[at]);
}

// The bytes a well-formed sequence starting with `lead` has (0: none does;
// C0 and C1 would only start overlong forms, F5 to FF code points past
// U+10FFFF), and the range its second byte must lie in: narrower than 80..BF
// after E0 and F0 (overlong forms), ED (surrogates) and F4 (past U+10FFFF).
struct Lead {
    size_t length;
    unsigned char low, high;
};
Lead LeadOf(unsigned char lead) {
    if (lead >= 0xc2 && lead <= 0xdf) return {2, 0x80, 0xbf};
    if (lead == 0xe0) return {3, 0xa0, 0xbf};
    if (lead == 0xed) return {3, 0x80, 0x9f};
    if (lead >= 0xe1 && lead <= 0xef) return {3, 0x80, 0xbf};
    if (lead == 0xf0) return {4, 0x90, 0xbf};
    if (lead >= 0xf1 && lead <= 0xf3) return {4, 0x80, 0xbf};
    if (lead == 0xf4) return {4, 0x80, 0x8f};
    return {0, 0, 0};
}

// How many bytes from `at` (a byte above 127) are one well-formed sequence
// (`valid`), or else the longest start of one, at least a byte, which
// stands for one U+FFFD as the Unicode standard advises.
size_t SequenceAt(const std::string& text, size_t at, bool* valid) {
    const Lead lead = LeadOf(Byte(text, at));
    size_t taken = 1;
    for (; taken < lead.length && at + taken < text.size(); ++taken) {
        const unsigned char c = Byte(text, at + taken);
        const bool second = taken == 1;
        if (c < (second ? lead.low : 0x80) || c > (second ? lead.high : 0xbf)) break;
    }
    *valid = lead.length > 0 && taken == lead.length;
    return taken;
}

std::string Escaped(unsigned code) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", code);
    return text;
}

// The escape or the bytes that stand for the ASCII character `c`.
std::string AsciiInJson(unsigned char c) {
    if (c == '"' || c == '\\') return {'\\', static_cast<char>(c)};
    if (c < 0x20 || c == 0x7f) return Escaped(c);
    return std::string(1, static_cast<char>(c));
}
}  // namespace

bool IsUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        if (Byte(text, at) < 0x80) {
            ++at;
            continue;
        }
        bool valid = false;
        at += SequenceAt(text, at, &valid);
        if (!valid) return false;
    }
    return true;
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        if (Byte(text, at) < 0x80) {
            json += AsciiInJson(Byte(text, at++));
            continue;
        }
        bool valid = false;
        const size_t length = SequenceAt(text, at, &valid);
        json += valid ? text.substr(at, length) : Escaped(0xfffd);
        at += length;
    }
    return json + "\"";
}

std::string JsonHex(const std::string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : text) {
        json += kDigits[static_cast<unsigned char>(c) >> 4];
        json += kDigits[static_cast<unsigned char>(c) & 0xf];
    }
    return json + "\"";
}

std::string JsonMember(const std::string& name, const std::string& text) {
    std::string json = "\"" + name + "\":" + JsonString(text);
    if (!IsUtf8(text)) json += ",\"" + name + "_hex\":" + JsonHex(text);
    return json;
}

std::string JsonMember(const std::string& name, const std::vector<std::string>& texts) {
    std::string strings, hex;
    for (const std::string& text : texts) {
        if (!strings.empty()) strings += ',', hex += ',';
        strings += JsonString(text);
        hex += JsonHex(text);
    }
    std::string json = "\"" + name + "\":[" + strings + "]";
    if (!std::all_of(texts.begin(), texts.end(), IsUtf8))
        json += ",\"" + name + "_hex\":[" + hex + "]";
    return json;
}
