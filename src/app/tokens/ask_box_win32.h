#pragma once

// The question a macro's <ask:問い> asks before anything of it is sent.
// Windows only.

#include <windows.h>

#include <optional>
#include <string>

namespace kiv {

// Titled with the macro's title, over `owner`: the line typed for OK, none
// for キャンセル or Esc (and for a box that could not be shown, told).
std::optional<std::u16string> AskForAnswer(HWND owner, HINSTANCE instance,
                                           const std::u16string& title,
                                           const std::u16string& question);

}  // namespace kiv
