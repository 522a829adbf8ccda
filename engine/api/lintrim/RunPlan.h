// A run given as data: which job, the lists it cleans and reads, where the
// result goes, the options, and what the run may take of the machine. Front
// ends fill one in (every member has its default, so designated initializers
// may name only what they set) and hand it to RunLists().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lintrim {

// The smallest memory budget a front end offers: below it the fixed costs
// of a run (its read blocks, its files' buffers) would be most of what it takes.
inline constexpr uint64_t kSmallestMemoryBudget = uint64_t{16} << 20;
// The budget a run takes when its plan sets none: a share of the memory
// the system has available now, within the address space the process may take.
uint64_t DefaultMemoryBudget();
// What the machine offers a run now: the memory the system has available
// (0 when it cannot tell), and the processors the process may run on.
uint64_t AvailableMemory();
unsigned Processors();

enum class JobKind {
    kDedupe,      // every repeated line removed
    kReferences,  // every line of the reference lists removed, the rest deduped
    kSingleLine,  // every copy of one line removed, everything else kept
};

// What a run keeps besides one copy of each line (dedupe and reference jobs).
enum class SetOperation {
    kNone,
    kOnlyUnique,    // only the lines that occur once, across the lists merged
    kOnlyRepeated,  // one copy of each line that occurs more than once
    kCommon,        // the lines every list holds, once (lists merged into one output)
    kCascade,       // each list also loses every line of the lists before it (in place)
    // The lines one list holds and no other, any number of times there,
    // once (lists merged into one output).
    kOnlyInOne,
};

// How the kept lines are written: as their first copies were read, or with
// `$HEX[..]` forms made or undone.
enum class LineForm {
    kAsRead,
    kHexEncoded,  // as `$HEX[..]`: a byte outside ' '..'~', a ':', or a `$HEX[` start
    // A `$HEX[..]` line as its bytes, unless they cannot stand as a line that
    // reads back as themselves: empty, holding an LF, ending in a CR, or
    // themselves of the `$HEX[..]` form.
    kHexDecoded,
};

// How a result ends its lines.
enum class LineEnd {
    kLf,
    kCrLf,    // as Windows programs and the window write them
    kAsRead,  // as most lines of the lists read were ended; LF on a tie
};

// The classes of characters the class filters name, as bits of a set.
enum CharClass : uint8_t {
    kLowerClass = 1,    // a-z
    kUpperClass = 2,    // A-Z
    kDigitClass = 4,    // 0-9
    kSpecialClass = 8,  // the other printable ASCII bytes, ' ' to '~'
    kHighClass = 16,    // bytes above 127
};

// How the kept lines' ASCII letters are written, and so compared.
enum class LetterCase { kAsRead, kLower, kUpper };
// The last field of a line, whatever its count (RunPlan::keyField).
inline constexpr uint32_t kLastField = 0;

struct RunPlan {
    JobKind job = JobKind::kDedupe;
    // The lists to clean, in order ("-": standard input, with an output).
    std::vector<std::string> lists = {};
    // The reference lists of the reference job.
    std::vector<std::string> references = {};
    // The single-line job's lines: every copy of each is removed.
    std::vector<std::string> singleLines = {};
    // Kept lines most frequent first (dedupe and reference jobs).
    bool byFrequency = false;
    // Kept lines in byte order; a front end's RunControl may still choose
    // otherwise for each list.
    bool alphabetize = false;
    SetOperation setOperation = SetOperation::kNone;
    // What lines are compared by (reference lines and the single line
    // alike): a `$HEX[..]` line as the bytes it encodes; ASCII letters
    // without case. Alphabetical order then sorts the keys.
    bool hexKey = false;
    bool ignoreCase = false;
    // Removed lines are written as they were read, whatever the form.
    LineForm lineForm = LineForm::kAsRead;

    // The one file the lists are merged into ("-": standard output); none:
    // each list is replaced by its own result.
    std::optional<std::string> output = {};
    // Each list's result goes to a new file beside it instead, named as
    // ResultBeside names it; empty: each list is replaced by its result.
    std::string besideSuffix = {};
    LineEnd lineEnd = LineEnd::kLf;
    // Bytes (or characters: lengthInChars), the line break not counted.
    std::optional<uint64_t> minLength = {};
    std::optional<uint64_t> maxLength = {};
    // Where every removed line goes, in file order; none: nowhere.
    std::optional<std::string> removed = {};
    // Every list read and grouped and every count made, but nothing written
    // or replaced: no output, no file of removed lines, no lock taken.
    bool dryRun = false;
    // The lists' own lines described in each outcome (ListCounts::stats).
    bool stats = false;

    // Fields, counts, a share of the kept lines and trimmed lines (dedupe
    // and reference jobs; trimming in every job).
    // With a delimiter, lines are compared by one field of theirs (keyField:
    // 1 the first, kLastField the last, none: 1); a line without that field
    // is its own field. --hex reads the field, and the line's form is made
    // of the field. The whole line is written, or the field alone (cutField).
    std::optional<char> delimiter = {};
    std::optional<uint32_t> keyField = {};
    bool cutField = false;
    // Each kept line written as COUNT<TAB>LINE, COUNT its copies in the lists read.
    bool count = false;
    // Only the first `limit` kept lines of the order are written, or a
    // uniform sample of `sample` of them, in their order, drawn from `seed`
    // (none: a new draw each run).
    std::optional<uint64_t> limit = {};
    std::optional<uint64_t> sample = {};
    std::optional<uint64_t> seed = {};
    // Blanks (spaces, tabs) at both ends and a leading UTF-8 byte-order mark
    // are no part of a line: neither compared nor written.
    bool trim = false;

    // What the run may take; 0 or empty: the engine's settings.
    uint64_t memoryBudget = 0;
    unsigned threads = 0;
    std::string tempDir = {};

    // Filtering without deduping, lengths and classes of lines, and lines
    // in one list only: options that keep or drop lines one by one.
    //
    // Every line the reference lists, the lines to delete and the filters
    // do not remove is kept with all its repeats, in file order (or
    // alphabetical); nothing is deduped.
    bool keepRepeats = false;
    // Kept lines shortest first, lines of one length in file order.
    bool byLength = false;
    // The folder the kept lines go to instead, one file a length ("8.txt"),
    // shortest first; the lists are merged as into one output. Each file is
    // written whole or not at all; existing files of those names are replaced.
    std::optional<std::string> splitByLength = {};
    // Lengths (the filters, the order, the files) count UTF-8 characters,
    // a byte that is no part of one as one; else bytes.
    bool lengthInChars = false;
    // Only lines of printable ASCII (' ' to '~') kept.
    bool printableOnly = false;
    // Sets of classes (CharClass bits): a kept line holds a character of
    // each required set, and is not made only of the classes of any
    // rejected set. Lines are judged as read.
    std::vector<uint8_t> requiredClasses = {};
    std::vector<uint8_t> rejectedClasses = {};
    // The letters of every kept line written lowercase or uppercase; lines
    // are compared so too (without case), and sorted as written.
    LetterCase letterCase = LetterCase::kAsRead;

    bool HasLengthFilter() const { return minLength || maxLength; }
    // The lists are read as one list, into one output or split by length.
    bool MergesLists() const { return output || splitByLength; }
};

// The name of the result of `list` beside it: `suffix` before the list's
// last extension ("list.txt", "-clean": "list-clean.txt"; "words": "words-clean").
std::string ResultBeside(const std::string& list, const std::string& suffix);

}  // namespace lintrim
