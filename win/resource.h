// The identifiers of the Windows window's resources, for lintrim.rc and the
// code alike. The main window's controls are those of ui/jobs/ControlIds.h,
// written as numbers in lintrim.rc, which cannot read an enumeration.
#pragma once

#define IDD_MAIN 100
#define IDD_OPTIONS 101
#define IDD_RESULTS 102
#define IDI_MAIN 128
#define IDI_BROWSE 129
#define IDR_KEYS 130

// The menu's entries and the keys that reach them.
#define IDM_OPTIONS 200
#define IDM_STOP 201
#define IDM_RESULTS 202
#define IDM_HELP 203

// The options dialog's controls.
#define IDC_OPT_LINE_END 300
#define IDC_OPT_BESIDE 301
#define IDC_OPT_SUFFIX 302
#define IDC_OPT_KEEP_REMOVED 303
#define IDC_OPT_REMOVED_FILE 304
#define IDC_OPT_BROWSE_REMOVED 305
#define IDC_OPT_IGNORE_CASE 306
#define IDC_OPT_HEX_KEY 307
#define IDC_OPT_MIN_LENGTH 308
#define IDC_OPT_MAX_LENGTH 309
#define IDC_OPT_MEMORY 310
#define IDC_OPT_BESIDE_NAME 311

// The results dialog's text.
#define IDC_RESULTS_TEXT 400
