// Identifiers of the main window's controls, which the window's side of the
// jobs locks, unlocks, reads and resets.
#pragma once

enum ControlId : int {
    IDC_INPUT_CAPTION = 1000,
    IDC_REF_CAPTION = 1001,
    IDC_BROWSE_INPUT = 1002,
    IDC_BROWSE_REF = 1003,
    IDC_GO = 1004,
    IDC_PROGRESS = 1005,
    IDC_STATUS = 1006,
    IDC_BY_FREQUENCY = 1007,
    IDC_USE_REF = 1008,
    IDC_ALPHABETIZE = 1009,
    IDC_DEL_SINGLE = 1010,
    IDC_SINGLE_TEXT = 1011,
};
