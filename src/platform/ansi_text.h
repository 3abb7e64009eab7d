#pragma once

// Conversion between the program's UTF-16 text and the system ANSI code page
// (CP932 on the Japanese systems the tool is made for). Everything that crosses
// into the game client, the macro file or the settings file goes through here.
//
// Both directions follow the Windows defaults and never fail: characters that
// CP932 cannot hold become "?", and bytes that are not valid CP932 become
// U+30FB (the code page's default Unicode character), a lead byte taking its
// following byte with it as Windows does.

#include <string>
#include <string_view>

namespace kiv {

std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

// Appends the conversion to `out`, so that a caller converting many short
// pieces (one per macro-file line) reuses one buffer.
void AppendFromAnsi(std::string_view bytes, std::u16string& out);

}  // namespace kiv
