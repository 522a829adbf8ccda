// JSON strings from file names and texts.
#include "JsonText.h"

#include <cstdio>

namespace {
// The length of the UTF-8 sequence at `at`, or 0 when it is not one.
size_t Utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead >= 0xf0 && lead <= 0xf4  ? 4
                          : lead >= 0xe0 && lead < 0xf0 ? 3
                          : lead >= 0xc2 && lead < 0xe0 ? 2
                                                        : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
    return length;
}

std::string Escaped(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", c);
    return text;
}
}  // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c == '"' || c == '\\') {
            json += std::string("\\") + static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            json += Escaped(c);
        } else if (c >= 0x80) {
            const size_t length = Utf8Length(text, at);
            json += length ? text.substr(at, length) : Escaped(c);
            at += length ? length : 1;
            continue;
        } else {
            json += static_cast<char>(c);
        }
        ++at;
    }
    return json + "\"";
}
