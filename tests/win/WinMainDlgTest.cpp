// The Windows window driven through its real controls, in its own process
// under Wine: clicks are BM_CLICK, a drop is a real HDROP, Enter is the
// dialog's IDOK, and the jobs run on real files. The window is read back
// through its controls, as the user sees it.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "../engine/TempDir.h"
#include "CWinMainDlg.h"
#include "ControlIds.h"
#include "WideText.h"
#include "resource.h"

using namespace lintrim;

namespace {
constexpr int kWaitSteps = 600;  // of 100 ms at most

class WinMainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Create(), nullptr);
        ::ShowWindow(m_window.Handle(), SW_SHOW);
    }
    void TearDown() override {
        if (::IsWindow(m_window.Handle())) ::DestroyWindow(m_window.Handle());
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND Control(int id) const { return ::GetDlgItem(m_window.Handle(), id); }
    std::string Text(int id) const {
        wchar_t text[1024] = {};
        ::GetWindowTextW(Control(id), text, 1024);
        return Utf8(text);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    void Click(int id) { ::SendMessageW(Control(id), BM_CLICK, 0, 0); }

    // Serves the window until `done` holds; false when it never does.
    bool PumpUntil(const std::function<bool()>& done) {
        for (int step = 0; step < kWaitSteps && !done(); ++step) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (m_window.TakeMessage(message)) continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        return done();
    }
    bool StatusHolds(const std::string& text) {
        return PumpUntil([&] { return Text(IDC_STATUS).find(text) != std::string::npos; });
    }

    CWinMainDlg m_window;
    TempDir m_dir;
};

// A drop as Explorer makes it: DROPFILES, then each path, ended by \0\0.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    names += L'\0';
    const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
}  // namespace

TEST_F(WinMainDlgTest, DropTakesEveryPathWholeAndEnablesGo) {
    const std::wstring longPath = L"C:\\" + std::wstring(1200, L'd') + L"\\list.txt";
    ::SendMessageW(m_window.Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({L"C:\\lists\\one.txt"})), 0);
    EXPECT_EQ(Text(IDC_INPUT_CAPTION), "one.txt");
    ::SendMessageW(m_window.Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({longPath, L"D:\\x.txt"})), 0);
    EXPECT_EQ(Text(IDC_INPUT_CAPTION), "3 wordlists ");
    ASSERT_EQ(m_window.m_inputFiles.size(), 3u);
    EXPECT_EQ(m_window.m_inputFiles[1], Utf8(longPath));
    EXPECT_TRUE(Enabled(IDC_GO));
}

TEST_F(WinMainDlgTest, GoCleansTheListAndGivesTheWindowBack) {
    const std::string list = m_dir.File("list.txt", "b\na\r\nb\n\nc");
    m_window.TakeStartPaths({list});
    Click(IDC_GO);
    ASSERT_TRUE(StatusHolds(" dupes, ")) << Text(IDC_STATUS);
    EXPECT_EQ(ReadBytes(list), "b\r\na\r\nc\r\n");
    EXPECT_TRUE(PumpUntil([&] { return Enabled(IDC_GO) && Enabled(IDC_BROWSE_INPUT); }));
    EXPECT_EQ(m_window.m_inputCount, 0);
}

// Enter in the line's box presses go; the window stays.
TEST_F(WinMainDlgTest, EnterInTheLineBoxDeletesTheLine) {
    const std::string list = m_dir.File("list.txt", "keep\ndrop\nkeep\ndrop\n");
    m_window.TakeStartPaths({list});
    Click(IDC_DEL_SINGLE);
    EXPECT_FALSE(Enabled(IDC_BY_FREQUENCY));
    EXPECT_FALSE(::GetWindowLongW(Control(IDC_SINGLE_TEXT), GWL_STYLE) & ES_READONLY);
    ::SetWindowTextW(Control(IDC_SINGLE_TEXT), L"drop");
    ::SetFocus(Control(IDC_SINGLE_TEXT));
    ::SendMessageW(m_window.Handle(), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(StatusHolds(" dupes, ")) << Text(IDC_STATUS);
    EXPECT_EQ(ReadBytes(list), "keep\r\nkeep\r\n");
    EXPECT_TRUE(::IsWindow(m_window.Handle()));
}

// Reference lists in use: go waits for them; a click on "use ref list(s)"
// takes the single-line job's box away.
TEST_F(WinMainDlgTest, ReferenceBoxGatesGo) {
    Click(IDC_DEL_SINGLE);
    Click(IDC_USE_REF);
    EXPECT_EQ(::IsDlgButtonChecked(m_window.Handle(), IDC_DEL_SINGLE), BST_UNCHECKED);
    EXPECT_TRUE(Enabled(IDC_BROWSE_REF));
    ::SendMessageW(m_window.Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({L"C:\\lists\\one.txt"})), 0);
    EXPECT_FALSE(Enabled(IDC_GO));
    Click(IDC_USE_REF);
    EXPECT_TRUE(Enabled(IDC_GO));
    EXPECT_FALSE(Enabled(IDC_BROWSE_REF));
}

// A list that cannot be read gives the window back with its cause.
TEST_F(WinMainDlgTest, MissingListIsReportedAndGoGivenBack) {
    m_window.TakeStartPaths({m_dir.At("missing.txt")});
    Click(IDC_GO);
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_GO); }));
    EXPECT_TRUE(StatusHolds("Invalid input file")) << Text(IDC_STATUS);
    EXPECT_EQ(m_window.m_inputCount, 1);
}

// Closing during a run stops it: the list is never left half written.
TEST_F(WinMainDlgTest, CloseDuringRunLeavesListWhole) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += std::to_string(i % 50000) + "\n";
    const std::string list = m_dir.File("big.txt", bytes);
    m_window.TakeStartPaths({list});
    Click(IDC_GO);
    ::SendMessageW(m_window.Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(m_window.Handle()); }));
    std::string cleaned;
    for (int i = 0; i < 50000; ++i) cleaned += std::to_string(i) + "\r\n";
    const std::string after = ReadBytes(list);
    EXPECT_TRUE(after == bytes || after == cleaned) << after.size();
}

// A stop asked before the job's first request is served: the list stays as
// it was, and the status names it without its folder.
TEST_F(WinMainDlgTest, StopLeavesListAndNamesIt) {
    const std::string list = m_dir.File("stopped.txt", "b\na\nb\n");
    m_window.TakeStartPaths({list});
    Click(IDC_GO);
    ::SendMessageW(m_window.Handle(), WM_COMMAND, IDM_STOP, 0);
    ASSERT_TRUE(StatusHolds("stopped")) << Text(IDC_STATUS);
    EXPECT_EQ(Text(IDC_STATUS), "stopped: stopped.txt left as it was");
    EXPECT_EQ(ReadBytes(list), "b\na\nb\n");
    EXPECT_TRUE(PumpUntil([&] { return Enabled(IDC_GO); }));
}
