// The system's open-file chooser for lists: several files at once, only
// existing ones, any number of them with paths of any length. The chosen
// paths come back in UTF-8, in the chooser's order; none when cancelled.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct WinChooserRequest {
    std::wstring filter;  // "name\0pattern\0...", ended by a second \0
    const wchar_t* defaultExtension;
};

// The filter for lists: `textFilter` (*.txt), each compressed format this
// build reads, then every file.
WinChooserRequest ListChooserRequest(const std::wstring& textFilter);

std::vector<std::string> ChooseFiles(HWND owner, const WinChooserRequest& request);

// The chooser's answer (the folder, then the names, each ended by \0, or
// one full path) as full paths.
std::vector<std::wstring> SplitChooserAnswer(const wchar_t* answer);
