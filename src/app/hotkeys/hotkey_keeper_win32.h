#pragma once

// The tool's hotkeys while it runs: the actions' keys (kept in the options'
// owner) and the macros' own, registered with Windows whenever they or the list's titles
// change, let go while a dialog has a key typed, set in the hotkey settings,
// and written to the settings file the moment they change. Windows only.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/common/tool_options.h"
#include "app/hotkeys/hotkey_conflicts.h"
#include "app/hotkeys/hotkey_refusals.h"
#include "app/hotkeys/macro_hotkeys.h"
#include "app/hotkeys/tool_hotkeys_win32.h"
#include "app/notices/notices.h"

namespace kiv {

class HotkeyKeeper {
  public:
    // What only the window knows and does.
    struct Host {
        HWND window = nullptr;
        HINSTANCE instance = nullptr;
        // The options, whose actions' keys are registered and set here.
        ToolOptions* options = nullptr;
        // Whether the list has a macro of this title: a key kept for a title
        // no macro has is not registered, and may be taken over.
        std::function<bool(std::u16string_view)> hasMacroTitled;
        // Two or more macro files are open, as tabs: said so where a title is missing.
        std::function<bool()> tabsOpen;
        std::function<void(Notice)> notify;
        // Writes the macros' keys to the settings file now: keys set during
        // a run must survive a crash before the close.
        std::function<void()> save;
    };
    void Attach(Host host);
    // As the settings file had them at start-up.
    void Start(MacroHotkeys macroKeys) { macroKeys_ = std::move(macroKeys); }

    const MacroHotkeys& MacroKeys() const { return macroKeys_; }

    // Registers every key, in place of what was registered before, and tells
    // what Windows refused (once: hotkey_refusals.h). Not while the keys are
    // free for a dialog.
    void Register();
    // Every key let go: for other programs while the tool cannot act on them.
    void Release() { hotkeys_.Release(); }
    bool KeysFree() const { return keysFree_; }

    // "ホットキーの設定...".
    void EditInDialog();

    // Around the macro dialog: every key free while it is open, so that any
    // can be typed into its field; registered again when it closes.
    class FreeForDialog {
      public:
        explicit FreeForDialog(HotkeyKeeper& keeper);
        ~FreeForDialog();
        FreeForDialog(const FreeForDialog&) = delete;
        FreeForDialog& operator=(const FreeForDialog&) = delete;

      private:
        HotkeyKeeper& keeper_;
    };
    // Why `key` cannot be the key of the macro titled `title`, once titled
    // `oldTitle` (nothing for a new macro).
    std::optional<MacroKeyClash> ClashOf(const Hotkey& key, const std::u16string& title,
                                         const std::optional<std::u16string>& oldTitle) const;

    // The macros' keys after an edit of the macro file or of a key: written at
    // once when they changed.
    void SetMacroKeys(MacroHotkeys keys);

    // What a WM_HOTKEY asks for: an action, or the macro with a title.
    std::optional<HotkeyAction> ActionOf(WPARAM id) const { return hotkeys_.ActionOf(id); }
    std::optional<std::u16string> MacroTitleOf(WPARAM id) const {
        return hotkeys_.MacroTitleOf(id);
    }

  private:
    std::vector<HotkeyRefusal> RegisterQuietly();

    const Options& options() const { return host_.options->Current(); }

    Host host_;
    MacroHotkeys macroKeys_;
    ToolHotkeys hotkeys_;
    HotkeyRefusalMemory refusals_;
    bool keysFree_ = false;
};

}  // namespace kiv
