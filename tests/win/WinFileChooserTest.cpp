// The Windows chooser's answer taken apart into full paths, and the filter
// it is given: one list, several in a folder, a drive's root, names far
// beyond the old 260-character limit.
#include <gtest/gtest.h>

#include "WinFileChooser.h"

namespace {
// An answer as the chooser leaves it: each part ended by \0, then one more.
std::wstring Answer(std::initializer_list<std::wstring> parts) {
    std::wstring answer;
    for (const std::wstring& part : parts) answer += part + L'\0';
    return answer + L'\0';
}
}  // namespace

TEST(WinFileChooser, AnswerBecomesFullPaths) {
    const std::wstring longName(600, L'x');
    struct Case {
        std::wstring answer;
        std::vector<std::wstring> paths;
    };
    const Case cases[] = {
        {Answer({L"C:\\lists\\one.txt"}), {L"C:\\lists\\one.txt"}},
        {Answer({L"C:\\lists", L"a.txt", L"b c.txt"}),
         {L"C:\\lists\\a.txt", L"C:\\lists\\b c.txt"}},
        {Answer({L"D:\\", L"a.txt", L"b.txt"}), {L"D:\\a.txt", L"D:\\b.txt"}},
        {Answer({L"C:\\deep", longName, L"y.txt"}), {L"C:\\deep\\" + longName, L"C:\\deep\\y.txt"}},
        {Answer({}), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitChooserAnswer(c.answer.c_str()), c.paths);
}

TEST(WinFileChooser, FilterOffersTextCompressedAndAllFiles) {
    const std::wstring filter = ListChooserRequest(L"Single/Combo wordlists (*.txt)").filter;
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0'));
    EXPECT_EQ(filter.find(L"Single/Combo wordlists (*.txt)"), 0u);
    EXPECT_NE(filter.find(std::wstring(L"gzip lists (*.gz)") + L'\0' + L"*.gz"),
              std::wstring::npos);
    EXPECT_NE(filter.find(std::wstring(L"All Files (*.*)") + L'\0' + L"*.*"), std::wstring::npos);
}
