// The handlers of the user's choices that both windows share: the names the
// captions show (a backslash separates folders on Windows only), the spoken
// captions, and the state of go after a drop and after the option boxes.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WindowChoices.h"

using namespace lintrim;

TEST(WindowChoices, FileNameIsWhatFollowsTheLastSeparator) {
    struct Case {
        const char* path;
        const char* name;
    };
#ifdef _WIN32
    const Case cases[] = {{"C:\\lists\\a.txt", "a.txt"},
                          {"Z:\\tmp/mixed\\b.txt", "b.txt"},
                          {"\\\\server\\share\\c d.txt", "c d.txt"},
                          {"plain.txt", "plain.txt"}};
#else
    const Case cases[] = {{"/tmp/lists/a.txt", "a.txt"},
                          {"/tmp/back\\slash.txt", "back\\slash.txt"},
                          {"plain.txt", "plain.txt"},
                          {"/tmp/dir/", ""}};
#endif
    for (const Case& c : cases) EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
}

TEST(WindowChoices, CaptionsNameOneListElseCountThem) {
    RecordingWindow window;
    AddInputLists(window, {"/a/one.txt"});
    EXPECT_EQ(InputCaptionText(window), "one.txt");
    AddInputLists(window, {"/a/two.txt", "/a/one.txt"});
    EXPECT_EQ(window.m_inputCount, 3);
    EXPECT_EQ(window.m_inputFiles.size(), 3u);
    EXPECT_EQ(InputCaptionText(window), "3 wordlists ");
    EXPECT_EQ(RefCaptionText(1), "1 ref file");
    EXPECT_EQ(RefCaptionText(2), "2 ref files ");
}

TEST(WindowChoices, SpokenCaptionLosesBlanksAndArrow) {
    EXPECT_EQ(SpokenCaption("  drop file / select --->"), "drop file / select");
    EXPECT_EQ(SpokenCaption("         select --->"), "select");
    EXPECT_EQ(SpokenCaption("3 wordlists "), "3 wordlists");
    EXPECT_EQ(SpokenCaption("--->"), "");
    EXPECT_EQ(SpokenCaption("a-->b.txt"), "a-->b.txt");
}

// Go after a drop: on with lists, and with reference lists too where in use.
TEST(WindowChoices, GoAfterDropFollowsListsAndReferences) {
    struct Case {
        bool useRef;
        int refs;
        bool go;
    };
    for (const Case c : {Case{false, 0, true}, Case{true, 0, false}, Case{true, 2, true}}) {
        RecordingWindow window;
        window.checked[IDC_USE_REF] = c.useRef;
        window.m_refCount = c.refs;
        AddInputLists(window, {"/a/list.txt"});
        EnableGoAfterDrop(window);
        EXPECT_EQ(window.calls.back(), c.go ? "enable GO 1" : "checked? USE_REF")
            << c.useRef << " " << c.refs;
    }
}

// Checking one job's box unchecks the other's; the line is editable only
// for the single-line job, and frequency is off for it.
TEST(WindowChoices, BoxesKeepTheJobsApart) {
    RecordingWindow window;
    window.checked[IDC_DEL_SINGLE] = true;
    window.checked[IDC_BY_FREQUENCY] = true;
    DelSingleClicked(window);
    EXPECT_FALSE(window.checked[IDC_BY_FREQUENCY]);
    EXPECT_EQ(window.calls.back(), "readonly 0");
    window.checked[IDC_USE_REF] = true;
    UseRefClicked(window);
    EXPECT_FALSE(window.checked[IDC_DEL_SINGLE]);
    EXPECT_EQ(window.calls.back(), "enable GO 0");
    window.checked[IDC_ALPHABETIZE] = true;
    ByFrequencyClicked(window);
    EXPECT_FALSE(window.checked[IDC_ALPHABETIZE]);
    window.checked[IDC_BY_FREQUENCY] = true;
    AlphabetizeClicked(window);
    EXPECT_FALSE(window.checked[IDC_BY_FREQUENCY]);
}
