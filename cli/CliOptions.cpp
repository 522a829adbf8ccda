// Parsing the command line. Short options may be bundled (-fq), an option's
// value may follow it or be attached (-rFILE, --ref=FILE), and "--" ends the
// options.
#include "CliOptions.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <iterator>
#include <optional>

#include "lintrim/Formats.h"

using namespace lintrim;

namespace {
constexpr size_t kHelpIndent = 26;
constexpr size_t kHelpWidth = 80;
constexpr size_t kAboutWidth = 84;
// More threads than this only cost memory: each holds its own buffers.
constexpr uint64_t kMostThreads = 256;

// An empty result: the value was taken.
using Apply = std::function<std::string(CliOptions&, const std::string&)>;

struct OptionEntry {
    char shortName;
    const char* longName;
    const char* valueName;  // null for a flag
    std::string help;
    const char* example;
    Apply apply;
};

Apply Flag(bool CliOptions::*member) {
    return [member](CliOptions& o, const std::string&) {
        o.*member = true;
        return std::string();
    };
}

Apply Text(std::optional<std::string> CliOptions::*member) {
    return [member](CliOptions& o, const std::string& v) {
        o.*member = v;
        return std::string();
    };
}

// A whole number of bytes, optionally with a binary suffix K, M, G or T.
std::optional<uint64_t> Bytes(const std::string& text, bool suffixes) {
    size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits == 0 || digits > 18) return std::nullopt;
    uint64_t value = std::stoull(text.substr(0, digits));
    const std::string suffix = text.substr(digits);
    if (suffix.empty()) return value;
    const std::string units = "KMGT";
    const size_t unit = units.find(static_cast<char>(std::toupper(suffix[0])));
    if (!suffixes || suffix.size() != 1 || unit == std::string::npos) return std::nullopt;
    const int shift = 10 * static_cast<int>(unit + 1);
    if (value > (UINT64_MAX >> shift)) return std::nullopt;
    return value << shift;
}

Apply Set(SetOperation op) {
    return [op](CliOptions& o, const std::string&) {
        o.setOperation = op;
        ++o.setOperations;
        return std::string();
    };
}

Apply Length(std::optional<uint64_t> CliOptions::*member, const char* name) {
    return [member, name](CliOptions& o, const std::string& v) {
        o.*member = Bytes(v, false);
        if (o.*member) return std::string();
        return std::string("--") + name + " needs a whole number of bytes, not '" + v + "'";
    };
}

Apply Case(LetterCase letters) {
    return [letters](CliOptions& o, const std::string&) {
        o.letterCase = letters;
        ++o.letterCases;
        return std::string();
    };
}

// A comma list of class names, as a set of CharClass bits.
Apply ClassSets(std::vector<uint8_t> CliOptions::*member, const char* name) {
    return [member, name](CliOptions& o, const std::string& v) {
        static const std::pair<const char*, uint8_t> kNames[] = {{"lower", kLowerClass},
                                                                 {"upper", kUpperClass},
                                                                 {"digit", kDigitClass},
                                                                 {"special", kSpecialClass},
                                                                 {"high", kHighClass}};
        uint8_t set = 0;
        for (size_t at = 0; at <= v.size();) {
            const size_t comma = std::min(v.find(',', at), v.size());
            const std::string word = v.substr(at, comma - at);
            const auto known = std::find_if(std::begin(kNames), std::end(kNames),
                                            [&](const auto& n) { return word == n.first; });
            if (known == std::end(kNames))
                return std::string("--") + name +
                       " needs classes among lower, upper, digit, special and high, not '" + word +
                       "'";
            set |= known->second;
            at = comma + 1;
        }
        (o.*member).push_back(set);
        return std::string();
    };
}

// A whole number of at least 1, for --limit and --sample.
Apply Count(std::optional<uint64_t> CliOptions::*member, const char* name) {
    return [member, name](CliOptions& o, const std::string& v) {
        o.*member = Bytes(v, false);
        if (o.*member && *(o.*member) > 0) return std::string();
        return std::string("--") + name + " needs a whole number of lines, not '" + v + "'";
    };
}

// One byte, or \t for a tab that a shell makes hard to type.
std::string TakeDelimiter(CliOptions& o, const std::string& v) {
    if (v.size() == 1) o.delimiter = v[0];
    if (v == "\\t") o.delimiter = '\t';
    if (o.delimiter) return {};
    return "--delimiter needs one character (or \\t), not '" + v + "'";
}

std::string TakeKeyField(CliOptions& o, const std::string& v) {
    const std::optional<uint64_t> n = Bytes(v, false);
    if (v == "last") o.keyField = kLastField;
    if (n && *n >= 1 && *n <= UINT32_MAX) o.keyField = static_cast<uint32_t>(*n);
    if (o.keyField) return {};
    return "--key needs a field number from 1, or last, not '" + v + "'";
}

const std::vector<OptionEntry>& Options() {
    static const std::vector<OptionEntry> options = {
        {'o', "output", "FILE",
         "write one result to FILE instead of rewriting each LIST; several LISTs are merged, "
         "each line kept once at its first place; - is standard output",
         "lintrim-cli -o all.txt a.txt b.txt", Text(&CliOptions::output)},
        {'f', "by-frequency", nullptr,
         "order the kept lines by frequency, most frequent first; lines of one frequency in the "
         "order they were first seen",
         "lintrim-cli -f leaks.txt", Flag(&CliOptions::byFrequency)},
        {'a', "alphabetize", nullptr,
         "order the kept lines alphabetically (byte order; with --hex or -i, of the bytes "
         "compared, ties in file order)",
         "lintrim-cli -a list.txt", Flag(&CliOptions::alphabetize)},
        {0, "only-unique", nullptr,
         "keep only the lines that occur exactly once (in all the LISTs, with -o)",
         "lintrim-cli --only-unique -o once.txt a.txt b.txt", Set(SetOperation::kOnlyUnique)},
        {0, "only-repeated", nullptr,
         "keep one copy of each line that occurs more than once (in all the LISTs, with -o)",
         "lintrim-cli --only-repeated -o shared.txt a.txt b.txt", Set(SetOperation::kOnlyRepeated)},
        {0, "common", nullptr,
         "with -o and two or more LISTs: keep the lines that occur in every LIST, once, in the "
         "order of the first",
         "lintrim-cli --common -o both.txt a.txt b.txt", Set(SetOperation::kCommon)},
        {0, "cascade", nullptr,
         "rewrite each LIST without its repeats and without every line of the LISTs before it, "
         "so that no line is in two of them",
         "lintrim-cli --cascade 1-best.txt 2-good.txt 3-rest.txt", Set(SetOperation::kCascade)},
        {'r', "ref", "FILE",
         "remove every line that occurs in reference list FILE (repeatable), dedupe the rest; "
         "FILE may be - (standard input), a FIFO or a device, read as it comes",
         "lintrim-cli -r <(zcat cracked.gz) -r old.txt new.txt",
         [](CliOptions& o, const std::string& v) {
             o.refFiles.push_back(v);
             return std::string();
         }},
        {'d', "del-single", "TEXT",
         "remove every line equal to TEXT (as --hex and -i compare; repeatable); keep all other "
         "lines",
         "lintrim-cli -d password1 -d 123456 list.txt",
         [](CliOptions& o, const std::string& v) {
             o.delSingle.push_back(v);
             return std::string();
         }},
        {0, "hex", nullptr,
         "compare each line of the form $HEX[...] (an even number of hex digits, either case) "
         "as the bytes it encodes, in every job and order; other lines (odd digits, a non-hex "
         "character, no closing ]) as they are",
         "lintrim-cli --hex cracked.txt", Flag(&CliOptions::hex)},
        {'i', "ignore-case", nullptr,
         "compare ASCII letters without case, as lowercase (bytes above 127 compare exactly); "
         "with --hex a line is decoded first; each kept line is written as its first copy was",
         "lintrim-cli -i -r old.txt new.txt", Flag(&CliOptions::ignoreCase)},
        {0, "encode-hex", nullptr,
         "write each kept line that holds a byte outside printable ASCII (0x20-0x7e) or a colon, "
         "or that starts with $HEX[, as $HEX[...] in lowercase hex; with --hex a $HEX[...] line "
         "is written as the bytes it encodes would be. Removed lines are written as read",
         "lintrim-cli --hex --encode-hex -o clean.txt list.txt", Flag(&CliOptions::encodeHex)},
        {0, "decode-hex", nullptr,
         "write each kept $HEX[...] line as the bytes it encodes, unless they are empty, hold "
         "an LF, end in a CR or are themselves of the $HEX[...] form (a line could not stand "
         "for them); add --hex to compare such lines as those bytes too. Removed lines are "
         "written as read",
         "lintrim-cli --hex --decode-hex list.txt", Flag(&CliOptions::decodeHex)},
        {0, "crlf", nullptr, "end every line with CR LF instead of LF",
         "lintrim-cli --crlf -o win.txt list.txt", Flag(&CliOptions::crlf)},
        {0, "lf", nullptr, "end every line with LF, as without --crlf", "lintrim-cli --lf list.txt",
         Flag(&CliOptions::lf)},
        {0, "min-length", "N",
         "drop lines shorter than N bytes (the line break not counted; characters with --chars)",
         "lintrim-cli --min-length 8 list.txt", Length(&CliOptions::minLength, "min-length")},
        {0, "max-length", "N", "drop lines longer than N bytes",
         "lintrim-cli --max-length 64 list.txt", Length(&CliOptions::maxLength, "max-length")},
        {'t', "delimiter", "C",
         "compare lines by one field, cut by the character C (\\t: a tab); the whole line is "
         "kept and written. A line without C, or with fewer fields than -k asks, is its own "
         "field. --hex and -i read the field, --encode-hex and --decode-hex write it",
         "lintrim-cli -t : -k last -o plains.txt hashcat.potfile", TakeDelimiter},
        {'k', "key", "N|last",
         "with -t: the field lines are compared by, counted from 1, or the last (by default "
         "the first)",
         "lintrim-cli -t , -k 2 -o users.csv users.csv", TakeKeyField},
        {0, "cut", nullptr, "with -t: write only the key field of each kept line",
         "lintrim-cli -t : -k last --cut --hex --decode-hex -o plains.txt hashcat.potfile",
         Flag(&CliOptions::cutField)},
        {'c', "count", nullptr,
         "write each kept line as COUNT<TAB>LINE, COUNT its copies in the LISTs read; with -f "
         "most frequent first, with -a alphabetical, else in file order",
         "lintrim-cli -c -f -o table.txt leaks.txt", Flag(&CliOptions::count)},
        {0, "limit", "N",
         "write only the first N kept lines of the order (the N most frequent "
         "with -f)",
         "lintrim-cli -f --limit 1000 -o top.txt leaks.txt", Count(&CliOptions::limit, "limit")},
        {0, "sample", "N",
         "write a uniform random sample of N kept lines (all of them when fewer), in their order",
         "lintrim-cli --sample 10000 -o some.txt list.txt", Count(&CliOptions::sample, "sample")},
        {0, "seed", "S",
         "draw the --sample from seed S, the same lines for the same lists and S (by default a "
         "new draw each run)",
         "lintrim-cli --sample 100 --seed 7 -o some.txt list.txt",
         [](CliOptions& o, const std::string& v) {
             o.seed = Bytes(v, false);
             if (o.seed) return std::string();
             return "--seed needs a whole number, not '" + v + "'";
         }},
        {0, "trim", nullptr,
         "take blanks (spaces and tabs) at both ends of each line and a leading UTF-8 "
         "byte-order mark out of it before it is compared and written; a line of blanks only "
         "is empty",
         "lintrim-cli --trim list.txt", Flag(&CliOptions::trim)},
        {0, "removed", "FILE",
         "write every removed line (repeats, reference and single-line hits, filtered lines) "
         "to FILE, in file order",
         "lintrim-cli --removed gone.txt list.txt", Text(&CliOptions::removed)},
        {0, "memory", "SIZE",
         "use at most about SIZE of memory (K, M, G, T; at least 16M), spilling to temporary "
         "files past it",
         "lintrim-cli --memory 512M huge.txt",
         [](CliOptions& o, const std::string& v) {
             const std::optional<uint64_t> bytes = Bytes(v, true);
             o.memory = bytes.value_or(0);
             if (o.memory >= kSmallestMemoryBudget) return std::string();
             if (o.memory > 0)
                 return "--memory needs at least " + std::to_string(kSmallestMemoryBudget >> 20) +
                        "M, not '" + v + "'";
             return "--memory needs a size such as 512M or 4G, not '" + v + "'";
         }},
        {'j', "threads", "N",
         "use N threads (1 to " + std::to_string(kMostThreads) +
             "; by default one per core); the result is the same for any N",
         "lintrim-cli -j 2 list.txt",
         [](CliOptions& o, const std::string& v) {
             const std::optional<uint64_t> n = Bytes(v, false);
             if (n && *n >= 1 && *n <= kMostThreads) {
                 o.threads = static_cast<unsigned>(*n);
                 return std::string();
             }
             return "--threads needs a number from 1 to " + std::to_string(kMostThreads) +
                    ", not '" + v + "'";
         }},
        {0, "temp-dir", "DIR", "put temporary files in DIR instead of beside each list",
         "lintrim-cli --temp-dir /var/tmp list.txt",
         [](CliOptions& o, const std::string& v) {
             o.tempDir = v;
             if (!v.empty()) return std::string();
             return std::string("--temp-dir needs a folder, not an empty name");
         }},
        {'n', "dry-run", nullptr,
         "read and count as the run would and print its summaries, but write and replace nothing "
         "(no output, no file of removed lines)",
         "lintrim-cli -n -o /dev/null a.txt b.txt", Flag(&CliOptions::dryRun)},
        {0, "stats", nullptr,
         "describe each result's input lines too: how many of each length (bytes), ended "
         "with CR LF, holding a byte above 127 or a NUL, in $HEX[...] form",
         "lintrim-cli -n --stats list.txt", Flag(&CliOptions::stats)},
        {0, "json", nullptr,
         "print one JSON object a line for each result or failure instead of the summary "
         "(paths, every count, seconds; on failure the status, the cause and the file), always "
         "valid UTF-8: a name that is not has U+FFFD for each bad part and its bytes in hex "
         "beside it (lists_hex, output_hex, file_hex)",
         "lintrim-cli --json -q a.txt b.txt | jq .kept", Flag(&CliOptions::json)},
        {'q', "quiet", nullptr, "show no progress bar", "lintrim-cli -q list.txt",
         Flag(&CliOptions::quiet)},
        {'s', "silent", nullptr,
         "print no summary of the lists written (nor their JSON); failures are still said",
         "lintrim-cli -qs list.txt", Flag(&CliOptions::silent)},
        // Filtering without deduping, lengths, classes, lines in one list only.
        {0, "keep-repeats", nullptr,
         "dedupe nothing: -r, -d and the length and class filters remove what they select, "
         "and every other line stays with its repeats, in file order (or with -a, sorted)",
         "lintrim-cli --keep-repeats -r cracked.txt -o left.txt leak.txt",
         Flag(&CliOptions::keepRepeats)},
        {'l', "by-length", nullptr,
         "order the kept lines by length, shortest first; lines of one length in file order",
         "lintrim-cli -l list.txt", Flag(&CliOptions::byLength)},
        {0, "split-by-length", "DIR",
         "write the kept lines of the LISTs, merged as with -o, to one file a length in DIR "
         "(made if missing): DIR/8.txt holds the lines 8 long, in file order. The files are "
         "written whole, or, when the run fails, not at all; files of those names are replaced",
         "lintrim-cli --split-by-length by-len/ list.txt", Text(&CliOptions::splitByLength)},
        {0, "chars", nullptr,
         "count lengths (--min-length, --max-length, -l, --split-by-length) in UTF-8 characters, "
         "a byte that is no part of a well-formed one as one, instead of bytes",
         "lintrim-cli --chars --min-length 8 list.txt", Flag(&CliOptions::chars)},
        {0, "printable", nullptr, "keep only lines of printable ASCII (every byte from space to ~)",
         "lintrim-cli --printable list.txt", Flag(&CliOptions::printable)},
        {0, "lower", nullptr,
         "write every kept line with its ASCII letters lowercase; the case changes before lines "
         "are compared, so A and a are one line, and -a sorts the lines as written",
         "lintrim-cli --lower -o lower.txt list.txt", Case(LetterCase::kLower)},
        {0, "upper", nullptr, "the same, uppercase", "lintrim-cli --upper list.txt",
         Case(LetterCase::kUpper)},
        {0, "require", "CLASSES",
         "keep only lines that hold a character of one of CLASSES, a comma list of lower, upper, "
         "digit, special (printable ASCII but letters and digits, space included) and high "
         "(bytes above 127); repeatable, each must be met. --require lower,upper drops lines "
         "without a letter. Lines are judged as read",
         "lintrim-cli --require lower,upper --require digit list.txt",
         ClassSets(&CliOptions::requiredClasses, "require")},
        {0, "reject", "CLASSES",
         "drop lines made only of characters of CLASSES (as for --require); repeatable. "
         "--reject digit drops lines of digits only",
         "lintrim-cli --reject digit --reject lower list.txt",
         ClassSets(&CliOptions::rejectedClasses, "reject")},
        {0, "only-in-one", nullptr,
         "with -o and two or more LISTs: keep the lines that occur in exactly one LIST (any "
         "number of times there), once, in file order; a: x x y and b: y z give x z, where "
         "--only-unique gives z",
         "lintrim-cli --only-in-one -o apart.txt a.txt b.txt", Set(SetOperation::kOnlyInOne)},
        {'h', "help", nullptr, "show this help and exit", "lintrim-cli --help",
         Flag(&CliOptions::help)},
        {0, "version", nullptr, "show the version and exit", "lintrim-cli --version",
         Flag(&CliOptions::version)},
    };
    return options;
}

const OptionEntry* FindShort(char name) {
    for (const OptionEntry& option : Options())
        if (option.shortName == name) return &option;
    return nullptr;
}

const OptionEntry* FindLong(const std::string& name) {
    for (const OptionEntry& option : Options())
        if (name == option.longName) return &option;
    return nullptr;
}

// The edits (insertions, deletions, changes) that make one word the other.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "; did you mean --threads?" for the option nearest to a misspelt one
// (a few edits away, or that it starts), else nothing.
std::string DidYouMean(const std::string& name) {
    const OptionEntry* best = nullptr;
    size_t bestEdits = 3;
    for (const OptionEntry& option : Options()) {
        const std::string known = option.longName;
        const size_t edits = known.rfind(name, 0) == 0 ? 1 : EditDistance(name, known);
        if (edits < bestEdits) best = &option, bestEdits = edits;
    }
    return best ? "; did you mean --" + std::string(best->longName) + "?" : "";
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

    ParseResult Run() {
        bool optionsDone = false;
        for (m_next = 0; m_next < m_args.size() && m_result.error.empty();) {
            const std::string& arg = m_args[m_next++];
            if (optionsDone || arg == "-" || arg.rfind('-', 0) != 0)
                m_result.options.lists.push_back(arg);
            else if (arg == "--")
                optionsDone = true;
            else if (arg.rfind("--", 0) == 0)
                LongOption(arg.substr(2));
            else
                ShortOptions(arg.substr(1));
        }
        if (m_result.error.empty()) Check();
        return m_result;
    }

private:
    void LongOption(const std::string& body) {
        const size_t equals = body.find('=');
        const OptionEntry* option = FindLong(body.substr(0, equals));
        if (!option)
            return Fail("unknown option --" + body.substr(0, equals) +
                        DidYouMean(body.substr(0, equals)));
        if (!option->valueName && equals != std::string::npos)
            return Fail("option --" + std::string(option->longName) + " takes no value");
        if (!option->valueName) return Apply(*option, {});
        if (equals != std::string::npos) return Apply(*option, body.substr(equals + 1));
        TakeValue(*option);
    }

    void ShortOptions(const std::string& bundle) {
        for (size_t i = 0; i < bundle.size(); ++i) {
            const OptionEntry* option = FindShort(bundle[i]);
            if (!option) return Fail(std::string("unknown option -") + bundle[i]);
            if (!option->valueName) {
                Apply(*option, {});
            } else if (i + 1 < bundle.size()) {
                return Apply(*option, bundle.substr(i + 1));
            } else {
                return TakeValue(*option);
            }
        }
    }

    void TakeValue(const OptionEntry& option) {
        if (m_next >= m_args.size())
            return Fail("option --" + std::string(option.longName) + " needs " + option.valueName);
        Apply(option, m_args[m_next++]);
    }

    void Apply(const OptionEntry& option, const std::string& value) {
        const std::string error = option.apply(m_result.options, value);
        if (!error.empty()) Fail(error);
    }

    // What the engine cannot see in a plan: options that choose opposite
    // values of one setting.
    void Check() {
        const CliOptions& o = m_result.options;
        if (o.help || o.version) return;
        if (!o.refFiles.empty() && !o.delSingle.empty())
            return Fail("--ref and --del-single exclude each other");
        if (o.setOperations > 1)
            return Fail(
                "--only-unique, --only-repeated, --common, --only-in-one and --cascade exclude "
                "each "
                "other");
        if (o.encodeHex && o.decodeHex)
            return Fail("--encode-hex and --decode-hex exclude each other");
        if (o.lf && o.crlf) return Fail("--lf and --crlf ask for different line ends");
        if (o.letterCases > 1) return Fail("--lower and --upper exclude each other");
    }

    void Fail(const std::string& reason) {
        if (m_result.error.empty()) m_result.error = reason;
    }

    const std::vector<std::string>& m_args;
    size_t m_next = 0;
    ParseResult m_result;
};

// Words of `text` in lines of at most kHelpWidth, each after the indent.
std::string Wrapped(const std::string& text, size_t first) {
    std::string lines;
    size_t column = first;
    for (size_t at = 0; at < text.size();) {
        const size_t space = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, space - at);
        if (column > kHelpIndent && column + 1 + word.size() > kHelpWidth) {
            lines += "\n" + std::string(kHelpIndent, ' ');
            column = kHelpIndent;
        } else if (column > kHelpIndent) {
            lines += ' ';
            ++column;
        }
        lines += word;
        column += word.size();
        at = space + 1;
    }
    return lines;
}

std::string Names(const OptionEntry& option) {
    std::string names = option.shortName ? std::string("-") + option.shortName + ", " : "    ";
    names += std::string("--") + option.longName;
    if (option.valueName) names += std::string(" ") + option.valueName;
    return names;
}

// "-" in roff must be escaped to stay a hyphen-minus. A line that starts with
// a dot or an apostrophe would be read as a request and vanish from the page
// (".bz2" wrapped to a line start), so it starts with the empty \& instead.
std::string Roff(const std::string& text) {
    std::string escaped;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) escaped += "\\&";
        escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        lineStart = c == '\n';
    }
    return escaped;
}

constexpr const char* kAbout =
    "Rewrites each LIST in place, in order: empty lines dropped, every line ended with LF\n"
    "(a CR before an LF is part of the break), and by default every repeated line\n"
    "removed (the first copy stays, in file order).\n"
    "With --output the LISTs are read as one list and the result goes to FILE; a FIFO\n"
    "(as <(cmd) gives) or a device is then read as it comes. A LIST rewritten in place\n"
    "must be a regular file, as a new file replaces it. A LIST\n"
    "of - is standard input. Lists compressed with gzip, xz, zstd, bzip2 or lz4 are found\n"
    "by their first bytes and read inflated. A list rewritten in place keeps its format;\n"
    "the FILE of --output or --removed is compressed when its name ends in .gz, .xz,\n"
    ".zst, .bz2 or .lz4 (standard output is plain text). Archives (zip, 7z, tar, also\n"
    "inside a compressed list) and files packed with lzip, lzma or compress are refused\n"
    "unread.\n";
constexpr const char* kReport =
    "For each result, one line \"LIST: N read, K kept, R removed (by reason), T s\" goes\n"
    "to standard output (standard error with -o -); the reasons are repeated, in\n"
    "references, the given line and by length, and the reference lists' lines are\n"
    "counted apart. With --json, one JSON object a line instead, failures too.\n"
    "A list that fails is named on standard error with the reason and its cause, the\n"
    "failed call first: \"FILE: output list can't be written (fsync: Input/output\n"
    "error)\"; the lists after it are left untouched. A list is only ever replaced by a\n"
    "complete result.\n";
constexpr const char* kExits =
    "Exit status: 0 all lists written, 1 a list failed, 2 usage error, 128+N stopped by\n"
    "signal N (the list being written is left as it was).\n";
constexpr const char* kMemory =
    "By default a run uses at most half the memory the system has available (within\n"
    "ulimit -v), at least 16M, and spills to temporary files past it: beside each list,\n"
    "or in --temp-dir, or for standard input in $TMPDIR or /tmp.\n";
// Why a list fails, as printed after its name; the cause follows in brackets.
constexpr const char* kFailures[] = {
    "Invalid input file: the list is missing, unreadable, not a regular file or a packed "
    "file that holds no word list (the cause names its kind)",
    "Invalid ref file: the same of a reference list",
    "input list is in use by another run: another run holds the list or output",
    "input list changed while it was cleaned: it was written to or replaced meanwhile; it "
    "stays as it is then",
    "input list can't be read: a read failed, compressed data is cut short or corrupt, or "
    "its decoder needs more memory than the budget allows",
    "output list can't be opened / written: the new file can't be made, written, synced or "
    "renamed over the list",
    "temporary file can't be made / temporary files can't be written or read: the temporary "
    "folder refused them",
    "not enough disk space for temporary files; not enough memory; line too long (4 GiB or "
    "more)"};
// Words of `text` in lines of at most kAboutWidth, as kAbout is set.
std::string Paragraph(const std::string& text) {
    std::string lines;
    size_t column = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t space = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, space - at);
        if (column > 0 && column + 1 + word.size() > kAboutWidth) {
            lines += "\n";
            column = 0;
        } else if (column > 0) {
            lines += ' ';
            ++column;
        }
        lines += word;
        column += word.size();
        at = space + 1;
    }
    return lines + "\n";
}

// "a", "a or b", "a, b or c".
std::string Alternatives(const std::vector<std::string>& words) {
    std::string text = words.front();
    for (size_t i = 1; i < words.size(); ++i)
        text += (i + 1 == words.size() ? " or " : ", ") + words[i];
    return text;
}

// A build without some of the compressed formats names only those it has.
std::string AboutText() {
    std::vector<std::string> names, suffixes;
    for (const CompressedFormat& compressed : CompressedFormats())
        if (compressed.built)
            names.push_back(compressed.name), suffixes.push_back(compressed.suffix);
    if (names.size() == CompressedFormats().size()) return kAbout;
    const std::string about = kAbout;
    const size_t formats = about.find("of - is");
    return about.substr(0, formats) +
           Paragraph("of - is standard input. Lists compressed with " + Alternatives(names) +
                     " are found by their first bytes and read inflated; this build reads and "
                     "writes no other compressed format. A list rewritten in place keeps its "
                     "format; the FILE of --output or --removed is compressed when its name ends "
                     "in " +
                     Alternatives(suffixes) +
                     " (standard output is plain text). Archives (zip, 7z, tar, also inside a "
                     "compressed list) and files packed with lzip, lzma or compress are refused "
                     "unread.");
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::string UsageText() {
    return "usage: lintrim-cli [OPTIONS] LIST...\n";
}

std::string HelpText() {
    std::string text = UsageText() + "\n" + AboutText() + "\nOptions:\n";
    for (const OptionEntry& option : Options()) {
        std::string names = "  " + Names(option);
        names.resize(std::max<size_t>(names.size() + 1, kHelpIndent), ' ');
        text += names + Wrapped(option.help, kHelpIndent) + "\n" + std::string(kHelpIndent, ' ') +
                "e.g. " + option.example + "\n";
    }
    return text + "\n" + kReport + "\n" + kExits;
}

std::string ManPage(const std::string& version) {
    std::string page = ".TH LINTRIM-CLI 1 \"\" \"lintrim-cli " + version +
                       "\" \"User Commands\"\n.SH NAME\nlintrim\\-cli \\- clean word lists\n"
                       ".SH SYNOPSIS\n.B lintrim\\-cli\n[\\fIOPTIONS\\fR] \\fILIST\\fR...\n"
                       ".SH DESCRIPTION\n" +
                       Roff(AboutText()) + ".SH OPTIONS\n";
    for (const OptionEntry& option : Options())
        page += ".TP\n.B " + Roff(Names(option)) + "\n" + Roff(option.help) + ".\n.br\n" +
                Roff(option.example) + "\n";
    page += ".SH OUTPUT\n" + Roff(kReport) + ".SH MEMORY\n" + Roff(kMemory) + ".SH FAILURES\n";
    for (const char* failure : kFailures) page += ".TP\n" + Roff(failure) + "\n";
    page += ".SH EXAMPLES\n";
    for (const OptionEntry& option : Options())
        page += ".TP\n.B " + Roff(option.example) + "\n" + Roff(option.help) + ".\n";
    return page + ".SH EXIT STATUS\n" + Roff(kExits);
}

// A bash completion: option names, file names after the options that take
// a file or folder and for the lists, nothing to offer after the others.
std::string CompletionScript() {
    std::string words, files, folders, values;
    for (const OptionEntry& option : Options()) {
        words += std::string(" --") + option.longName;
        if (option.shortName) words += std::string(" -") + option.shortName;
        if (!option.valueName) continue;
        std::string& group = std::string(option.valueName) == "FILE"  ? files
                             : std::string(option.valueName) == "DIR" ? folders
                                                                      : values;
        group += std::string("|--") + option.longName;
        if (option.shortName) group += std::string("|-") + option.shortName;
    }
    const auto pattern = [](const std::string& group) {
        return group.empty() ? std::string("--no-such-option") : group.substr(1);
    };
    return "# bash completion for lintrim-cli, made from its option table\n"
           "_lintrim_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    case $prev in\n"
           "        " +
           pattern(files) +
           ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
           "        " +
           pattern(folders) +
           ") COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
           "        " +
           pattern(values) +
           ") COMPREPLY=(); return ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"" +
           words.substr(1) +
           "\" -- \"$cur\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -F _lintrim_cli lintrim-cli\n";
}
