// The comparison keys against a model: any bytes as a list, deduplicated
// with --hex and -i in their four combinations, in memory and spilled; the
// kept lines must be the first copy of each key, byte for byte.
#include <cctype>
#include <set>
#include <vector>

#include "FuzzRun.h"
#include "read/PackedFiles.h"

using namespace lintrim;

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The bytes a `$HEX[..]` line encodes, or the line itself when it is not one.
std::string Decoded(const std::string& line) {
    if (line.size() < 6 || line.compare(0, 5, "$HEX[") != 0 || line.back() != ']') return line;
    const std::string digits = line.substr(5, line.size() - 6);
    if (digits.size() % 2 != 0) return line;
    std::string bytes;
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return line;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::string Key(std::string line, const RunPlan& plan) {
    if (plan.hexKey) line = Decoded(line);
    if (plan.ignoreCase)
        for (char& c : line)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return line;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t choice = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (bytes.find('\r') != std::string::npos || bytes.find('\x1a') != std::string::npos ||
        (bytes.size() >= 2 && (bytes[0] == '\x1f' || bytes[0] == '\xfd' || bytes[0] == '\x28' ||
                               bytes[0] == '\x04' || bytes.compare(0, 3, "BZh") == 0)) ||
        PackedFileOfStart(bytes.data(), bytes.size()))
        return 0;  // line ends and compressed or packed lists have targets of their own
    RunPlan plan;
    plan.hexKey = choice & 1;
    plan.ignoreCase = choice & 2;
    plan.memoryBudget = (choice & 4) ? 256 : 0;
    std::set<std::string> seen;
    std::string expected;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        if (!line.empty() && seen.insert(Key(line, plan)).second) expected += line + "\n";
        at = end + 1;
    }
    const std::optional<std::string> out = fuzz::RunOver(plan, data + 1, size - 1);
    if (!out || *out != expected) std::abort();
    return 0;
}
