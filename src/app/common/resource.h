#pragma once

// Resource IDs shared by kivmacro.rc and the code.

#define IDI_KIVMACRO 1

#define IDD_HOTKEYS 200
// The hotkey fields, in the order of HotkeyAction.
#define IDC_HOTKEY_FIRST 201
#define IDC_HOTKEY_STATUS 210
#define IDC_HOTKEY_MACROS 211   // the macros' own keys, a list
#define IDC_HOTKEY_CAUTION 212  // what a key chosen costs (the IME's keys)
#define IDC_HOTKEY_REMOVE 213   // takes the selected macro's key away

#define IDD_MACRO 300
#define IDC_MACRO_TITLE 301
#define IDC_MACRO_LINE_FIRST 302  // 1 行目; 2 行目 and 3 行目 follow
#define IDC_MACRO_REST_LABEL 305
#define IDC_MACRO_REST 306
#define IDC_MACRO_REST_NOTE 307
#define IDC_MACRO_HOTKEY 308
#define IDC_MACRO_PREVIEW 309
#define IDC_MACRO_STATUS 310
#define IDC_MACRO_HOTKEY_CAUTION 311

#define IDD_ASK 400
#define IDC_ASK_QUESTION 401
#define IDC_ASK_ANSWER 402

#define IDD_VARIABLES 500
#define IDC_VARIABLES_LIST 501
#define IDC_VARIABLES_NAME 502
#define IDC_VARIABLES_VALUE 503
#define IDC_VARIABLES_SET 504  // adds the name, or sets its value
#define IDC_VARIABLES_DELETE 505
#define IDC_VARIABLES_STATUS 506  // why a name cannot be one
