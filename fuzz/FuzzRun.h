// What the fuzz targets share: a scratch folder in memory, and a run of the
// engine over a list holding the fuzzer's bytes.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "lintrim/RunEvents.h"

namespace fuzz {
// One folder for the whole fuzzing session, removed at exit.
inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = "/dev/shm/lintrim-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        static const struct Remove {
            std::string path;
            ~Remove() { std::filesystem::remove_all(path); }
        } remove{pattern};
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Counts the outcomes and keeps the last failure's text.
struct Outcomes : lintrim::RunEvents {
    int written = 0;
    std::string failure;
    void ListFinished(const lintrim::ListOutcome& o) override {
        if (o.written) ++written;
        if (!o.written) failure = o.failure;
    }
};

// Runs `plan` over a list holding `bytes`; the result goes to a file, whose
// bytes come back, or nothing when the run failed (with a failure text:
// a run never fails in silence).
inline std::optional<std::string> RunOver(lintrim::RunPlan plan, const uint8_t* data, size_t size) {
    const std::filesystem::path list = Folder() / "list", out = Folder() / "out";
    std::ofstream(list, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::filesystem::remove(out);
    plan.lists = {list.string()};
    plan.output = out.string();
    Outcomes outcomes;
    const lintrim::RunOutcome outcome = lintrim::RunLists(plan, outcomes);
    if (outcome.status == lintrim::RunStatus::kDone && outcomes.written == 1) return ReadAll(out);
    if (outcome.status != lintrim::RunStatus::kFailed || outcomes.failure.empty()) std::abort();
    return std::nullopt;
}
}  // namespace fuzz
