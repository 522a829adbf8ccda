// The options dialog for Windows; see CWinOptionsDlg.h.
#include "CWinOptionsDlg.h"

#include <commdlg.h>

#include <algorithm>

#include "WideText.h"
#include "lintrim/RunPlan.h"
#include "resource.h"

using namespace lintrim;

namespace {
constexpr const char* kDefaultSuffix = "-clean";
const wchar_t* const kLineEnds[] = {L"CR LF", L"LF", L"as read (most of the list's lines)"};
constexpr uint64_t kMiB = uint64_t{1} << 20;

int LineEndIndex(LineEnd lineEnd) {
    return lineEnd == LineEnd::kLf ? 1 : lineEnd == LineEnd::kAsRead ? 2 : 0;
}
}  // namespace

INT_PTR CWinOptionsDlg::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const CWinSkinButton* button : {&m_ok, &m_cancel, &m_browseRemoved})
                if (button->Handle() == item.hwndItem) button->Draw(item);
            return TRUE;
        }
        default:
            return CWinVelDialog::Message(message, wParam, lParam);
    }
}

void CWinOptionsDlg::OnInitDialog() {
    SetBackgroundColor(RGB(176, 184, 192));
    SetGrayTextColor(RGB(64, 68, 76));
    SetDragAnywhere(true);
    m_ok.Attach(Handle(), IDOK);
    m_cancel.Attach(Handle(), IDCANCEL);
    m_browseRemoved.Attach(Handle(), IDC_OPT_BROWSE_REMOVED);
    m_browseRemoved.SetTipText(L"choose the file of removed lines");
    const HWND lineEnd = ::GetDlgItem(Handle(), IDC_OPT_LINE_END);
    for (const wchar_t* text : kLineEnds)
        ::SendMessageW(lineEnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ::SendMessageW(lineEnd, CB_SETCURSEL, LineEndIndex(m_options.lineEnd), 0);
    const bool beside = !m_options.besideSuffix.empty();
    ::CheckDlgButton(Handle(), IDC_OPT_BESIDE, beside);
    ::SetDlgItemTextW(Handle(), IDC_OPT_SUFFIX,
                      Wide(beside ? m_options.besideSuffix : kDefaultSuffix).c_str());
    ::CheckDlgButton(Handle(), IDC_OPT_KEEP_REMOVED, !m_options.removedFile.empty());
    ::SetDlgItemTextW(Handle(), IDC_OPT_REMOVED_FILE, Wide(m_options.removedFile).c_str());
    ::CheckDlgButton(Handle(), IDC_OPT_IGNORE_CASE, m_options.ignoreCase);
    ::CheckDlgButton(Handle(), IDC_OPT_HEX_KEY, m_options.hexKey);
    ::SetDlgItemTextW(Handle(), IDC_OPT_MIN_LENGTH, std::to_wstring(m_options.minLength).c_str());
    ::SetDlgItemTextW(Handle(), IDC_OPT_MAX_LENGTH, std::to_wstring(m_options.maxLength).c_str());
    ::SetDlgItemTextW(Handle(), IDC_OPT_MEMORY,
                      std::to_wstring(m_options.memoryBudget / kMiB).c_str());
    ShowBesideName();
}

void CWinOptionsDlg::OnCommand(int id, int code) {
    if (id == IDC_OPT_SUFFIX && code == EN_CHANGE) return ShowBesideName();
    if (code != BN_CLICKED) return;
    if (id == IDC_OPT_BROWSE_REMOVED) return ChooseRemovedFile();
    if (id == IDOK) ReadChoice();
    if (id == IDOK || id == IDCANCEL) ::EndDialog(Handle(), id);
}

// The pattern shown on an example, as the engine names a result.
void CWinOptionsDlg::ShowBesideName() {
    const std::string name = ResultBeside("list.txt", Text(IDC_OPT_SUFFIX));
    ::SetDlgItemTextW(Handle(), IDC_OPT_BESIDE_NAME, Wide("list.txt \u2192 " + name).c_str());
}

// A path as long as the system takes.
void CWinOptionsDlg::ChooseRemovedFile() {
    std::wstring path(32768, L'\0');
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = Handle();
    chooser.lpstrFilter = L"All Files (*.*)\0*.*\0";
    chooser.lpstrFile = path.data();
    chooser.nMaxFile = static_cast<DWORD>(path.size());
    chooser.lpstrTitle = L"File of removed lines";
    chooser.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&chooser)) return;
    ::SetDlgItemTextW(Handle(), IDC_OPT_REMOVED_FILE, path.c_str());
    ::CheckDlgButton(Handle(), IDC_OPT_KEEP_REMOVED, BST_CHECKED);
}

// A budget under the smallest the engine takes is taken as the smallest.
void CWinOptionsDlg::ReadChoice() {
    const auto checked = [&](int id) { return ::IsDlgButtonChecked(Handle(), id) == BST_CHECKED; };
    const LRESULT lineEnd = ::SendDlgItemMessageW(Handle(), IDC_OPT_LINE_END, CB_GETCURSEL, 0, 0);
    m_options.lineEnd = lineEnd == 1   ? LineEnd::kLf
                        : lineEnd == 2 ? LineEnd::kAsRead
                                       : LineEnd::kCrLf;
    m_options.besideSuffix = checked(IDC_OPT_BESIDE) ? Text(IDC_OPT_SUFFIX) : std::string();
    m_options.removedFile =
        checked(IDC_OPT_KEEP_REMOVED) ? Text(IDC_OPT_REMOVED_FILE) : std::string();
    m_options.ignoreCase = checked(IDC_OPT_IGNORE_CASE);
    m_options.hexKey = checked(IDC_OPT_HEX_KEY);
    m_options.minLength = Number(IDC_OPT_MIN_LENGTH);
    m_options.maxLength = Number(IDC_OPT_MAX_LENGTH);
    const uint64_t memory = Number(IDC_OPT_MEMORY) * kMiB;
    m_options.memoryBudget = memory == 0 ? 0 : std::max(memory, kSmallestMemoryBudget);
}

std::string CWinOptionsDlg::Text(int id) const {
    const HWND box = ::GetDlgItem(Handle(), id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(box)), L'\0');
    ::GetWindowTextW(box, text.data(), static_cast<int>(text.size() + 1));
    return Utf8(text);
}

uint64_t CWinOptionsDlg::Number(int id) const {
    const std::string text = Text(id);
    return text.empty() ? 0 : std::strtoull(text.c_str(), nullptr, 10);
}
