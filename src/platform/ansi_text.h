#pragma once

// Conversion between the program's UTF-16 text and the system ANSI code page
// (CP932 on the Japanese systems the tool is made for). Everything that crosses
// into the game client, the macro file or the settings file goes through here.
//
// Both directions follow the Windows defaults and never fail: characters that
// CP932 cannot hold become "?", and bytes that are not valid CP932 become
// U+30FB (the code page's default Unicode character), a lead byte taking its
// following byte with it as Windows does.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

// Appends the conversion to `out`, so that a caller converting many short
// pieces (one per macro-file line) reuses one buffer.
void AppendFromAnsi(std::string_view bytes, std::u16string& out);

// The bytes that read back as exactly `text`, or nothing when CP932 lacks one
// of its characters. Windows' default conversion would not say so: it writes
// "?" or, worse, a look-alike (〜 becomes ～, é becomes e, ¥ becomes \), and a
// path converted that way names another file. For everything that must come
// back as it was: paths, and names stored in the settings file.
std::optional<std::string> ToAnsiExactly(std::u16string_view text);

// The characters of `text` that CP932 lacks, as code points, each once, in
// the order they first appear: for telling the user which ones.
std::vector<char32_t> CharactersAnsiLacks(std::u16string_view text);

// The code page of macro files that have no mark and are not UTF-8: the
// system's, as it always was. But where the system's code page is UTF-8 (a
// Windows option, "Beta: Unicode UTF-8 for worldwide language support",
// that many Japanese users turn on), such a file can only be the CP932 it
// was written in: read as UTF-8, every Japanese character of it would be
// U+FFFD, and an edit would write that back. There it is CP932. What is
// sent to the game and the settings file stay in the system's code page.
unsigned FileCodePage();
// Its name for messages: 「Shift_JIS (CP932)」, 「コードページ 1252」.
std::u16string FileCodePageName();
// As the Ansi functions above, in the file code page.
void AppendFromFileCodePage(std::string_view bytes, std::u16string& out);
std::optional<std::string> ToFileCodePageExactly(std::u16string_view text);
std::vector<char32_t> CharactersFileCodePageLacks(std::u16string_view text);

// 「♥ (U+2665)、😀 (U+1F600)」: each character, and its number for when the
// font lacks it too.
std::u16string NameCharacters(const std::vector<char32_t>& characters);
// "U+2665".
std::u16string CodePointText(char32_t code);

}  // namespace kiv
