// Line cutting against a model: any bytes as a list, cleaned in every order,
// with and without a length filter, in memory and spilled under a tiny
// budget; the kept lines must be the model's, byte for byte.
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "FuzzRun.h"
#include "read/PackedFiles.h"

using namespace lintrim;

namespace {
// The non-empty lines: cut at LF, every CR at a line's end (the last line's
// too) taken as part of its break, and one end-of-file mark (Ctrl-Z) at the
// very end dropped.
std::vector<std::string> Lines(std::string bytes) {
    if (!bytes.empty() && bytes.back() == 26) bytes.pop_back();
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

// The kept lines in the plan's order, each with its line end.
std::string Model(const std::vector<std::string>& all, const RunPlan& plan) {
    std::vector<std::string> firsts;
    std::map<std::string, size_t> copies;
    for (const std::string& line : all) {
        if (plan.minLength && line.size() < *plan.minLength) continue;
        if (plan.maxLength && line.size() > *plan.maxLength) continue;
        if (copies[line]++ == 0) firsts.push_back(line);
    }
    if (plan.alphabetize) std::sort(firsts.begin(), firsts.end());
    if (plan.byFrequency)
        std::stable_sort(firsts.begin(), firsts.end(),
                         [&](const auto& a, const auto& b) { return copies[a] > copies[b]; });
    std::string out;
    for (const std::string& line : firsts)
        out += line + (plan.lineEnd == LineEnd::kCrLf ? "\r\n" : "\n");
    return out;
}

// A list that starts as a compressed one is read inflated, and a packed file
// that holds no word list is refused: neither is this model's.
bool LooksCompressed(const uint8_t* data, size_t size) {
    static const std::string magics[] = {"\x1f\x8b",
                                         "\xfd"
                                         "7zXZ",
                                         "\x28\xb5\x2f\xfd", "BZh", "\x04\x22\x4d\x18"};
    if (PackedFileOfStart(reinterpret_cast<const char*>(data), size)) return true;
    return std::any_of(std::begin(magics), std::end(magics), [&](const std::string& magic) {
        return size >= magic.size() && std::memcmp(data, magic.data(), magic.size()) == 0;
    });
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t choice = data[0];
    ++data, --size;
    if (LooksCompressed(data, size)) return 0;
    RunPlan plan;
    plan.byFrequency = choice & 1;
    plan.alphabetize = (choice & 2) && !plan.byFrequency;
    plan.memoryBudget = (choice & 4) ? 256 : 0;
    plan.threads = 1 + (choice >> 6);
    plan.lineEnd = (choice & 8) ? LineEnd::kLf : LineEnd::kCrLf;
    if (choice & 16) plan.minLength = 2;
    if (choice & 32) plan.maxLength = 5;
    const std::optional<std::string> out = fuzz::RunOver(plan, data, size);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!out || *out != Model(Lines(bytes), plan)) std::abort();
    return 0;
}
