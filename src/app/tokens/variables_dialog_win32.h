#pragma once

// 変数の設定: the player's own names, <名前> in a macro's line putting in
// the value. Windows only.

#include <windows.h>

#include <optional>

#include "platform/text_encoding.h"
#include "settings/macro_variables.h"

namespace kiv {

// The names as the player left them for OK; none for キャンセル (and for a
// dialog that could not be shown, told). `settings`: the settings file's
// encoding, which must keep every name and value.
std::optional<MacroVariables> EditVariables(HWND owner, HINSTANCE instance,
                                            const MacroVariables& variables, TextEncoding settings);

}  // namespace kiv
