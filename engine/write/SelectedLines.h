// A share of the kept lines on their way to the output: the first N of
// them, or a uniform sample of N, in their order. It sits between the
// formatted lines and the writer and takes or drops each line as a whole
// (every line written ends with an LF, and no line holds one), so every
// job, order and form gets it the same way, in memory and spilled alike.
//
// The sample is drawn by selection sampling: knowing how many lines will
// come, each is taken with the chance (still wanted) / (still to come), which
// makes every set of N lines equally likely and holds nothing but two counts.
#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "write/ListWriter.h"

namespace lintrim {

// Which lines of a sequence are taken.
class LineChoice {
public:
    // The first `n` lines.
    static LineChoice First(uint64_t n) { return LineChoice(n, std::nullopt, 0); }
    // `n` of the `total` lines that come, drawn from `seed`.
    static LineChoice Sample(uint64_t n, uint64_t total, uint64_t seed) {
        return LineChoice(n, total, seed);
    }

    // Whether the next line is taken.
    bool Next();

private:
    LineChoice(uint64_t wanted, std::optional<uint64_t> total, uint64_t seed)
        : m_wanted(wanted), m_left(total), m_random(seed) {}

    uint64_t m_wanted;
    std::optional<uint64_t> m_left;  // lines still to come, when sampling
    std::mt19937_64 m_random;
};

class SelectedLines : public ListWriter {
public:
    SelectedLines(ListWriter& to, LineChoice choice) : m_to(to), m_choice(choice) {}

    void Write(const char* bytes, size_t size) override;
    void WriteLine(const char* line, size_t length, const char* end, size_t endLength) override;
    void Commit() override { m_to.Commit(); }
    // The lines left out so far.
    uint64_t LeftOut() const { return m_left; }

private:
    void Choose();

    ListWriter& m_to;
    LineChoice m_choice;
    bool m_lineStart = true;
    bool m_taking = false;  // the line under way is taken
    uint64_t m_left = 0;
};

}  // namespace lintrim
