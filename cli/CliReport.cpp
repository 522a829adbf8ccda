// Printing outcomes: "LIST: summary" and "FILE: failure (operation: cause)",
// the operation left out where no call failed, or one JSON object a line. A
// merged run is named after its output, unless its failure concerns one file.
#include "CliReport.h"

#include <string>

#include "JsonText.h"
#include "StopNote.h"

using namespace lintrim;

namespace {
std::string Number(int64_t n) {
    return std::to_string(n);
}

// The file a line names: the list, the output of a merged run, or on
// failure the file it concerns.
std::string NameOf(const ListOutcome& outcome) {
    std::string name = outcome.paths.empty() ? std::string("lintrim-cli") : outcome.paths.front();
    if (outcome.written && !outcome.output.empty()) name = outcome.output;
    if (!outcome.written && outcome.paths.size() > 1 && !outcome.output.empty())
        name = outcome.output;
    return name;
}

// How the summary names what the set operation removed.
const char* SetLabel(SetOperation op) {
    switch (op) {
        case SetOperation::kOnlyUnique:
            return "not unique";
        case SetOperation::kOnlyRepeated:
            return "not repeated";
        case SetOperation::kCommon:
            return "not in every list";
        case SetOperation::kOnlyInOne:
            return "in more than one list";
        case SetOperation::kNone:
        case SetOperation::kCascade:
            break;
    }
    return "by the set operation";
}

// "(3 repeated, 1 in references)": the reasons that removed any line; in a
// cascade the lists before a list are among its references.
std::string Reasons(const ListCounts& c, SetOperation op) {
    const char* references =
        op == SetOperation::kCascade ? "in references or earlier lists" : "in references";
    const std::pair<int64_t, const char*> reasons[] = {
        {c.repeats, "repeated"},          {c.referenceHits, references},
        {c.singleHits, "the given line"}, {c.filtered, "by length"},
        {c.setHits, SetLabel(op)},        {c.classFiltered, "by class"},
        {c.unselected, "not selected"}};
    std::string text;
    for (const auto& [count, reason] : reasons)
        if (count > 0) text += (text.empty() ? " (" : ", ") + Number(count) + " " + reason;
    return text.empty() ? text : text + ")";
}

// "1: 3, 2: 2, 256+: 1": each length that occurs, with its lines.
std::string Lengths(const LineStats& stats, const char* separator, const char* quote,
                    const char* colon) {
    std::string text;
    for (size_t length = 0; length < stats.lengths.size(); ++length) {
        if (stats.lengths[length] == 0) continue;
        if (!text.empty()) text += separator;
        const bool last = length + 1 == LineStats::kLengths;
        text += quote + std::to_string(length) + (last ? "+" : "") + quote + colon +
                Number(stats.lengths[length]);
    }
    return text;
}

std::string StatsText(const LineStats& s) {
    return "\n  lengths: " + Lengths(s, ", ", "", ": ") + "\n  CR LF: " + Number(s.crlf) +
           ", above 127: " + Number(s.high) + ", NUL: " + Number(s.nul) +
           ", $HEX[]: " + Number(s.hex);
}

std::string StatsJson(const LineStats& s) {
    return ",\"stats\":{\"lengths\":{" + Lengths(s, ",", "\"", ":") +
           "},\"crlf\":" + Number(s.crlf) + ",\"above_127\":" + Number(s.high) +
           ",\"nul\":" + Number(s.nul) + ",\"hex\":" + Number(s.hex) + "}";
}

std::string Seconds(float seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(seconds));
    return text;
}
}  // namespace

// "6 read, 2 kept, 4 removed (1 repeated, 3 in references), 3 reference
// lines, 0.1 s".
std::string CliReport::Summary(const ListOutcome& outcome) const {
    const ListCounts& c = outcome.counts;
    const int64_t removed = c.ListLines() - c.Kept();
    std::string text = Number(c.ListLines()) + " read, " + Number(c.Kept()) + " kept, " +
                       Number(removed) + " removed" + Reasons(c, m_style.setOperation);
    if (c.referenceRead > 0)
        text += ", " + Number(c.referenceRead) +
                (c.referenceRead == 1 ? " reference line" : " reference lines");
    text += ", " + Seconds(outcome.seconds);
    if (m_style.stats) text += StatsText(c.stats);
    return m_style.dryRun ? "dry run, " + text : text;
}

std::string CliReport::Json(const ListOutcome& outcome) const {
    std::string json = "{";
    json += JsonMember("lists", outcome.paths) + "," + JsonMember("output", outcome.output) +
            ",\"written\":" + (outcome.written && !m_style.dryRun ? "true" : "false");
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(outcome.seconds));
    if (!outcome.written)
        return json + "," + JsonMember("status", outcome.failure) + "," +
               JsonMember("cause", outcome.cause.Text()) + "," +
               JsonMember("file", NameOf(outcome)) + ",\"seconds\":" + seconds + "}";
    const ListCounts& c = outcome.counts;
    const std::pair<const char*, int64_t> counts[] = {{"read", c.ListLines()},
                                                      {"reference_lines", c.referenceRead},
                                                      {"kept", c.Kept()},
                                                      {"removed", c.ListLines() - c.Kept()},
                                                      {"repeated", c.repeats},
                                                      {"in_references", c.referenceHits},
                                                      {"given_line", c.singleHits},
                                                      {"by_length", c.filtered},
                                                      {"by_set_operation", c.setHits},
                                                      {"by_class", c.classFiltered},
                                                      {"not_selected", c.unselected}};
    for (const auto& [name, count] : counts)
        json += ",\"" + std::string(name) + "\":" + Number(count);
    if (m_style.stats) json += StatsJson(c.stats);
    return json + ",\"seconds\":" + seconds + "}";
}

// A stop from now on says which list it leaves as it was, or that no
// output is written when the lists are merged into one.
void CliReport::ListStarted(const std::vector<std::string>& paths) {
    m_progress.StartList();
    const std::string& output = m_style.output;
    std::string note = "lintrim-cli: stopped: ";
    note += output.empty() ? paths.front() + " left as it was"
                           : (output == "-" ? "standard output" : output) + " not written";
    SetStopNote(note + "\n");
}

void CliReport::ListFinished(const ListOutcome& outcome) {
    SetStopNote("lintrim-cli: stopped\n");
    m_progress.Clear();
    if (outcome.written && m_style.silent) return;
    std::FILE* to = outcome.written || m_style.json ? m_out : m_err;
    std::string line;
    if (m_style.json) {
        line = Json(outcome);
    } else if (outcome.written) {
        line = NameOf(outcome) + ": " + Summary(outcome);
    } else {
        const std::string cause = outcome.cause.Text();
        line = NameOf(outcome) + ": " + outcome.failure + (cause.empty() ? "" : " (" + cause + ")");
    }
    std::fprintf(to, "%s\n", line.c_str());
    std::fflush(to);
}
