// JSON text for the command line's --json lines.
#pragma once

#include <string>

// `text` as a JSON string, quoted. Bytes that are not UTF-8 (a file name may
// hold any) are written as the code point of the same number (\u00XX), so
// that the line stays valid JSON.
std::string JsonString(const std::string& text);
