#pragma once

// The tool's own options beyond the window's place and the macro file: kept
// on top of other windows, seven global hotkeys and the game client chosen. They live in the
// settings file's section "Option", which a user who never changes them never gets. Portable.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/hotkey.h"

namespace kiv {

class IniFile;

enum class HotkeyAction {
    Say,
    SayNext,
    Previous,
    Next,
    NextClient,
    PreviousFile,
    NextFile,
    Palette
};
inline constexpr std::size_t kHotkeyActions = 8;

struct HotkeyActionInfo {
    std::u16string_view key;   // in the section "Option"
    std::u16string_view name;  // as the user sees it
    // Written only while it has a key: the files of those who never give
    // it one stay as they were before it came.
    bool writtenWhenSet = false;
};
// In the order of HotkeyAction.
inline constexpr std::array<HotkeyActionInfo, kHotkeyActions> kHotkeyActionInfo{{
    {u"HotkeySay", u"発言", false},
    {u"HotkeySayNext", u"発言して次へ", false},
    {u"HotkeyPrevious", u"前へ", false},
    {u"HotkeyNext", u"次へ", false},
    {u"HotkeyNextClient", u"次のクライアント", true},
    {u"HotkeyPreviousFile", u"前のファイル", true},
    {u"HotkeyNextFile", u"次のファイル", true},
    {u"HotkeyPalette", u"パレット", true},
}};

// Where a hotkey steps through the macro files used lately: -1 back, +1
// on, 0 for the actions on the macros.
constexpr int FileStepOf(HotkeyAction action) {
    return action == HotkeyAction::PreviousFile ? -1 : action == HotkeyAction::NextFile ? 1 : 0;
}

struct Options {
    bool topMost = false;
    // Each action's key text as stored: empty for none; text that does not
    // read as a hotkey gives that action none and is written back unchanged.
    std::array<std::u16string, kHotkeyActions> hotkeys;
    // The title of the game client the player chose to send to; empty for
    // 自動, when the file holds no such key.
    std::u16string client;
    friend bool operator==(const Options&, const Options&) = default;
};

// The actions' keys the options give: none where the text is empty or does
// not read as a hotkey.
std::array<std::optional<Hotkey>, kHotkeyActions> ActionKeysOf(const Options& options);

// Reads the section "Option" of a loaded store; what is missing or unusable
// keeps its default (off, no hotkey). Selects that section.
Options ReadOptions(IniFile& store);

// Whether the store holds the section "Option" (letter case aside).
bool HasOptionSection(const IniFile& store);

// Sets the keys of "Option" in the store, in a fixed order: TopMost and the
// hotkeys, those written only when set taken away when not, then the chosen
// client, or takes it away for 自動.
void WriteOptions(IniFile& store, const Options& options);

}  // namespace kiv
