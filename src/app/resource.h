#pragma once

// Resource IDs shared by kivmacro.rc and the code.

#define IDI_KIVMACRO 1

#define IDD_HOTKEYS 200
// The four hotkey fields, in the order of HotkeyAction.
#define IDC_HOTKEY_FIRST 201
#define IDC_HOTKEY_STATUS 210
