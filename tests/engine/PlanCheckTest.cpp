// The engine refuses a plan that breaks a rule, whoever made it: nothing is
// opened, read or written, and the refusal names the rule and the files.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "lintrim/PlanCheck.h"
#include "lintrim/RunEvents.h"

using namespace lintrim;

namespace {
class CountingEvents : public RunEvents {
public:
    int lists = 0;
    void ListStarted(const std::vector<std::string>&) override { ++lists; }
};

struct Refused {
    RunPlan plan;
    std::string reason;  // "{}" stands for the folder
};

std::string InFolder(std::string text, const TempDir& dir) {
    for (size_t at; (at = text.find("{}")) != std::string::npos;)
        text.replace(at, 2, dir.Path().string());
    return text;
}
}  // namespace

TEST(PlanCheck, APlanThatBreaksARuleTouchesNothing) {
    TempDir dir;
    dir.File("a", "x\nx\n");
    dir.File("b", "y\n");
    std::filesystem::create_symlink("a", dir.At("link"));
    const std::string a = dir.At("a"), b = dir.At("b"), link = dir.At("link");
    const std::string again = dir.At("../" + dir.Path().filename().string() + "/a");
    const std::vector<Refused> cases{
        {{.lists = {a, b, again}}, "{}/a and " + again + " are one file: a list is named once"},
        {{.lists = {link, a}, .setOperation = SetOperation::kCascade},
         "{}/link and {}/a are one file: a list is named once"},
        {{.job = JobKind::kReferences, .lists = {a}, .references = {b, link}},
         "a reference list is a list to clean: {}/link"},
        {{.job = JobKind::kReferences, .lists = {a}, .references = {b}, .output = dir.At("./b")},
         "the output names a reference list: {}/./b"},
        {{.lists = {a}, .output = dir.At("o"), .removed = dir.At("./o")},
         "the file of removed lines is the output: {}/./o"},
        {{.lists = {a}, .removed = link},
         "the file of removed lines is a list the run reads: {}/link"},
        {{.lists = {a}, .byFrequency = true, .alphabetize = true},
         "ordering by frequency and alphabetically exclude each other"},
        {{.lists = {a}, .references = {b}},
         "reference lists are used by the reference job only, "
         "not with lines to delete"},
        {{.job = JobKind::kSingleLine, .lists = {a}}, "no line to delete given"},
        {{.job = JobKind::kSingleLine, .lists = {a}, .singleLines = {"x"}, .byFrequency = true},
         "deleting lines keeps every other line: ordering by frequency does not apply"},
        {{.lists = {a}, .setOperation = SetOperation::kCommon},
         "keeping the common lines needs one output and two or more lists"},
        {{.lists = {"-"}}, "standard input (-) needs one output"},
        {{.lists = {a, ""}}, "a file name is empty"},
        {{.lists = {a}, .output = dir.At("o"), .besideSuffix = "-x"},
         "results beside the lists and one output exclude each other"},
        {{}, "no list given"},
    };
    for (const Refused& c : cases) {
        CountingEvents events;
        const RunOutcome outcome = RunLists(c.plan, events);
        EXPECT_EQ(outcome.status, RunStatus::kRefused);
        EXPECT_EQ(outcome.refusal, InFolder(c.reason, dir));
        EXPECT_EQ(events.lists, 0);
        EXPECT_EQ(ReadBytes(a), "x\nx\n");
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "b", "link"}));
    }
    EXPECT_FALSE(CheckPlan({.lists = {a, b}, .output = a}));  // an output that is a list
    EXPECT_EQ(CheckPlan({.lists = {b, dir.At("b.x")}, .besideSuffix = ".x"})->reason,
              "the result of " + b + " beside it would replace the list " + dir.At("b.x"));
    EXPECT_EQ(ResultBeside("/d.1/list.txt", "-c") + ResultBeside("/d.1/words", "-c") +
                  ResultBeside(".hidden", "-c"),
              "/d.1/list-c.txt/d.1/words-c.hidden-c");
}
