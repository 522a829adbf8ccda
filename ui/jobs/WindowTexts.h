// The main window's fixed texts, the same in both windows: the credit the
// status line starts with, the help, and what a screen reader says of the
// controls whose own text does not say it.
#pragma once

#include "ControlIds.h"

namespace window_text {
inline constexpr const char* kTitle = "Lintrim 4.1";
inline constexpr const char* kCredit = "Lintrim 4.1 - word lists, cleaned fast";
inline constexpr const char* kHelp =
    "Choose word lists with ... or drop them on the window.\n"
    "Press go ! to clean them; each list is rewritten in place.\n"
    "Default: every repeated line removed, file order kept.\n"
    "sort list by frequency / Alphabetize: order of the kept lines.\n"
    "use ref list(s): also remove lines found in reference lists\n"
    "(choose them with the second ...).\n"
    "del single line: remove every copy of the line typed beside it\n"
    "(Enter there presses go !).\n"
    "Escape closes the window.";

struct AccessibleText {
    int id;
    const char* name;
    const char* description;
};
inline constexpr AccessibleText kAccessible[] = {
    {IDC_BROWSE_INPUT, "choose input lists", "open a file chooser for the word lists to clean"},
    {IDC_BROWSE_REF, "choose reference lists",
     "open a file chooser for the lists whose lines are removed"},
    {IDC_GO, "go", "clean the chosen lists"},
    {IDC_SINGLE_TEXT, "line to delete", "every copy of this line is removed"},
    {IDC_PROGRESS, "progress", "how far the current list is"},
};
}  // namespace window_text
