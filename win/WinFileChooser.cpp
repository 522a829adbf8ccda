// The open-file chooser; see WinFileChooser.h.
//
// The names chosen must fit the buffer the chooser is given. The hook grows
// the buffer whenever the selection changes, before the chooser copies
// anything into it, so no selection is ever too long; a chooser that reports
// FNERR_BUFFERTOOSMALL anyway is opened again with the size it asked for.
#include "WinFileChooser.h"

#include <cderr.h>
#include <commdlg.h>

#include "WideText.h"
#include "lintrim/Formats.h"

using namespace lintrim;

namespace {
constexpr size_t kFirstBuffer = 32 * 1024;  // characters

// What the folder and the names of the selection take, with room to spare:
// the names come quoted and blank-separated, which is more than their ends.
size_t SelectionLength(HWND chooser) {
    const LRESULT names = ::SendMessageW(chooser, CDM_GETSPEC, 0, 0);
    const LRESULT folder = ::SendMessageW(chooser, CDM_GETFOLDERPATH, 0, 0);
    return static_cast<size_t>(std::max<LRESULT>(names, 0) + std::max<LRESULT>(folder, 0)) + 2;
}

UINT_PTR CALLBACK GrowOnSelection(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* note = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (note->hdr.code != CDN_SELCHANGE) return 0;
    OPENFILENAMEW& request = *note->lpOFN;
    auto& buffer = *reinterpret_cast<std::wstring*>(request.lCustData);
    const size_t needed = SelectionLength(::GetParent(hook));
    if (needed > buffer.size()) {
        buffer.assign(needed * 2, L'\0');
        request.lpstrFile = buffer.data();
        request.nMaxFile = static_cast<DWORD>(buffer.size());
    }
    return 0;
}
}  // namespace

WinChooserRequest ListChooserRequest(const std::wstring& textFilter) {
    std::wstring filter = textFilter + L'\0' + L"*.txt" + L'\0';
    for (const CompressedFormat& format : CompressedFormats()) {
        if (!format.built) continue;
        const std::wstring suffix = Wide(format.suffix);
        filter += Wide(format.name) + L" lists (*" + suffix + L")" + L'\0' + L"*" + suffix + L'\0';
    }
    filter += std::wstring(L"All Files (*.*)") + L'\0' + L"*.*" + L'\0' + L'\0';
    return {filter, L"txt"};
}

std::vector<std::string> ChooseFiles(HWND owner, const WinChooserRequest& request) {
    std::wstring buffer(kFirstBuffer, L'\0');
    for (;;) {
        OPENFILENAMEW chooser{};
        chooser.lStructSize = sizeof chooser;
        chooser.hwndOwner = owner;
        chooser.lpstrFilter = request.filter.c_str();
        chooser.nFilterIndex = 1;
        chooser.lpstrFile = buffer.data();
        chooser.nMaxFile = static_cast<DWORD>(buffer.size());
        chooser.lpstrDefExt = request.defaultExtension;
        chooser.lCustData = reinterpret_cast<LPARAM>(&buffer);
        chooser.lpfnHook = &GrowOnSelection;
        chooser.Flags = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
                        OFN_ENABLEHOOK | OFN_ENABLESIZING;
        if (::GetOpenFileNameW(&chooser)) break;
        if (::CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) return {};
        // The size asked for is in the buffer's first 16 bits, which a long
        // selection overflows: at least double it.
        const size_t asked = *reinterpret_cast<const WORD*>(buffer.data());
        buffer.assign(std::max(asked + 1, buffer.size() * 2), L'\0');
    }
    std::vector<std::string> paths;
    for (const std::wstring& path : SplitChooserAnswer(buffer.c_str())) paths.push_back(Utf8(path));
    return paths;
}

std::vector<std::wstring> SplitChooserAnswer(const wchar_t* answer) {
    const std::wstring first(answer);
    const wchar_t* name = answer + first.size() + 1;
    if (first.empty()) return {};
    if (*name == L'\0') return {first};
    const bool rooted = first.back() == L'\\' || first.back() == L'/';
    std::vector<std::wstring> paths;
    for (; *name != L'\0'; name += std::wcslen(name) + 1)
        paths.push_back(first + (rooted ? L"" : L"\\") + name);
    return paths;
}
