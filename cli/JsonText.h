// JSON text for the command line's --json lines: always valid UTF-8 (RFC
// 8259), whatever bytes a file name holds, and with the exact bytes of a
// name that is not UTF-8 given beside it, so that a caller can get them back.
#pragma once

#include <string>
#include <vector>

// Whether `text` is UTF-8 as RFC 3629 has it: no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(const std::string& text);
// `text` as a JSON string, quoted. Each part of it that is not UTF-8 (the
// longest start of a sequence that could have been one, or a single byte) is
// written as U+FFFD, "\ufffd"; control characters are escaped.
std::string JsonString(const std::string& text);
// `text`'s bytes in lowercase hex, quoted.
std::string JsonHex(const std::string& text);
// `"name":"text"`, and after it `,"name_hex":"..."` when `text` is not UTF-8.
std::string JsonMember(const std::string& name, const std::string& text);
// `"name":[...]`, and after it `,"name_hex":[...]` with every text in hex,
// in the same order, when any of them is not UTF-8.
std::string JsonMember(const std::string& name, const std::vector<std::string>& texts);
