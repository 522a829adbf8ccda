// Parsing the command line. Short options may be bundled (-fq), an option's
// value may follow it or be attached (-rFILE, --ref=FILE), and "--" ends the
// options.
#include "CliOptions.h"

#include <functional>

namespace {
struct OptionEntry {
    char shortName;
    const char* longName;
    const char* valueName;  // null for a flag
    const char* help;
    std::function<void(CliOptions&, const std::string&)> apply;
};

const std::vector<OptionEntry>& Options() {
    static const std::vector<OptionEntry> options = {
        {'f', "by-frequency", nullptr, "order the kept lines by frequency, most frequent first",
         [](CliOptions& o, const std::string&) { o.byFrequency = true; }},
        {'a', "alphabetize", nullptr, "order the kept lines alphabetically (byte order)",
         [](CliOptions& o, const std::string&) { o.alphabetize = true; }},
        {'r', "ref", "FILE",
         "remove every line that occurs in reference list FILE (repeatable), dedupe the rest",
         [](CliOptions& o, const std::string& v) { o.refFiles.push_back(v); }},
        {'d', "del-single", "TEXT", "remove every line equal to TEXT; keep all other lines",
         [](CliOptions& o, const std::string& v) { o.delSingle = v; }},
        {'q', "quiet", nullptr, "show no progress bar",
         [](CliOptions& o, const std::string&) { o.quiet = true; }},
        {'h', "help", nullptr, "show this help and exit",
         [](CliOptions& o, const std::string&) { o.help = true; }},
        {0, "version", nullptr, "show the version and exit",
         [](CliOptions& o, const std::string&) { o.version = true; }},
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
        if (!option) return Fail("unknown option --" + body.substr(0, equals));
        if (!option->valueName && equals != std::string::npos)
            return Fail("option --" + std::string(option->longName) + " takes no value");
        if (!option->valueName) return option->apply(m_result.options, {});
        if (equals != std::string::npos)
            return option->apply(m_result.options, body.substr(equals + 1));
        TakeValue(*option);
    }

    void ShortOptions(const std::string& bundle) {
        for (size_t i = 0; i < bundle.size(); ++i) {
            const OptionEntry* option = FindShort(bundle[i]);
            if (!option) return Fail(std::string("unknown option -") + bundle[i]);
            if (!option->valueName) {
                option->apply(m_result.options, {});
            } else if (i + 1 < bundle.size()) {
                return option->apply(m_result.options, bundle.substr(i + 1));
            } else {
                return TakeValue(*option);
            }
        }
    }

    void TakeValue(const OptionEntry& option) {
        if (m_next >= m_args.size())
            return Fail("option --" + std::string(option.longName) + " needs " + option.valueName);
        option.apply(m_result.options, m_args[m_next++]);
    }

    void Check() {
        const CliOptions& o = m_result.options;
        if (o.help || o.version) return;
        if (o.byFrequency && o.alphabetize)
            return Fail("--by-frequency and --alphabetize exclude each other");
        if (!o.refFiles.empty() && o.delSingle)
            return Fail("--ref and --del-single exclude each other");
        if (o.delSingle && o.byFrequency)
            return Fail("--del-single keeps every other line: --by-frequency does not apply");
        if (o.lists.empty()) return Fail("no list given");
    }

    void Fail(const std::string& reason) { m_result.error = reason; }

    const std::vector<std::string>& m_args;
    size_t m_next = 0;
    ParseResult m_result;
};
}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::string UsageText() {
    return "usage: lintrim-cli [OPTIONS] LIST...\n";
}

std::string HelpText() {
    std::string text = UsageText() +
                       "\nRewrites each LIST in place, in order: empty lines dropped, every line "
                       "ended with CR LF,\nand by default every repeated line removed (the "
                       "first copy stays, in file order).\n\nOptions:\n";
    for (const OptionEntry& option : Options()) {
        std::string names =
            option.shortName ? std::string("  -") + option.shortName + ", " : "      ";
        names += std::string("--") + option.longName;
        if (option.valueName) names += std::string(" ") + option.valueName;
        names.resize(names.size() < 26 ? 26 : names.size() + 1, ' ');
        text += names + option.help + "\n";
    }
    text +=
        "\nFor each list written, one line \"LIST: N read, D dupes, T s\" goes to standard "
        "output.\nA list that fails is named on standard error with the reason; the lists "
        "after it\nare left untouched. A list is only ever replaced by a complete result.\n"
        "\nExit status: 0 all lists written, 1 a list failed, 2 usage error.\n";
    return text;
}
