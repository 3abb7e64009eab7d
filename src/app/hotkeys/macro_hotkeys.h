#pragma once

// A global hotkey of its own for any macro, kept in the settings file's
// section "MacroHotkeys": the key as written ("F7", "Ctrl+Alt+1") and the
// title of the macro it says ("回復依頼"). The key says the first macro with
// exactly that title. A key whose text does not read as a hotkey, or whose
// title no longer exists, stays in the file and does nothing. Portable.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"
#include "settings/hotkey.h"

namespace kiv {

class IniFile;

struct MacroHotkey {
    std::u16string key;    // as stored
    std::u16string title;  // of the macro it says
    friend bool operator==(const MacroHotkey&, const MacroHotkey&) = default;
};

class MacroHotkeys {
  public:
    // Reads the section of a loaded store; nothing when it has none.
    void Read(IniFile& store);
    // The encoding of the settings file read, which a title must fit.
    TextEncoding SettingsEncoding() const { return settings_; }
    // Whether the section is to be written: it was in the file, or a key was
    // set or taken away in this run. A user who never gives a macro a key
    // never gets the section.
    bool ToWrite() const { return present_ || changed_; }
    // Sets the section's keys in the store, in place of what it held.
    void Write(IniFile& store) const;

    const std::vector<MacroHotkey>& Entries() const { return entries_; }
    // The key each entry gives, in order; nothing where its text does not read.
    std::vector<std::optional<Hotkey>> Keys() const;

    // The key of the macro titled `title`, if any.
    std::optional<Hotkey> KeyOf(std::u16string_view title) const;
    // The title another macro's key `key` is kept for, if any; `title` is the
    // macro being given it (it may have it already).
    std::optional<std::u16string> TitleHolding(const Hotkey& key, std::u16string_view title) const;
    // Gives the macro once titled `oldTitle`, now `newTitle`, the key `key`
    // (or none): its key moves with a new name, and replaces any key the new
    // title had. Entries that do not read stay as they are.
    void Set(std::u16string_view oldTitle, std::u16string_view newTitle, std::optional<Hotkey> key);

    // Takes away the entries at these positions of Entries(), whatever they
    // hold: a key whose macro is gone, for one.
    void Remove(const std::vector<std::size_t>& positions);

    // The entries of these titles, as they are: what Restore puts back when
    // the change that Set made to them is undone.
    std::vector<MacroHotkey> EntriesOf(const std::vector<std::u16string>& titles) const;
    void Restore(const std::vector<std::u16string>& titles,
                 const std::vector<MacroHotkey>& entries);

    friend bool operator==(const MacroHotkeys&, const MacroHotkeys&) = default;

  private:
    std::vector<MacroHotkey> entries_;
    TextEncoding settings_ = TextEncoding::Ansi;
    bool present_ = false;
    bool changed_ = false;
};

// The macros' keys as the hotkey dialog lists them, one line for each entry
// in order ("F7: 回復依頼"), a key whose title no macro has, or whose text
// does not read, marked so: in words for every open tab when `tabs`.
std::vector<std::u16string> DescribeMacroHotkeys(
    const MacroHotkeys& hotkeys, const std::function<bool(std::u16string_view)>& titleExists,
    bool tabs = false);

// Why a macro titled `title` cannot have a hotkey, or nothing: the settings
// file keeps the title in its encoding (`settings`: CP932 unless it is a
// Unicode file), without spaces at either end (Windows trims them when it
// reads the file back).
std::optional<std::u16string> MacroHotkeyTitleRefusal(std::u16string_view title,
                                                      TextEncoding settings);

}  // namespace kiv
