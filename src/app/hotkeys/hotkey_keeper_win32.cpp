#include "app/hotkeys/hotkey_keeper_win32.h"

#include "app/hotkeys/hotkey_dialog_win32.h"

namespace kiv {

void HotkeyKeeper::Attach(Host host) {
    host_ = std::move(host);
    hotkeys_.SetWindow(host_.window);
}

std::vector<HotkeyRefusal> HotkeyKeeper::RegisterQuietly() {
    return hotkeys_.Register(options(), macroKeys_, host_.hasMacroTitled);
}

void HotkeyKeeper::Register() {
    if (keysFree_) return;
    if (const auto text = refusals_.ToTell(RegisterQuietly())) {
        host_.notify({NoticeKind::HotkeysRefused, *text});
    }
}

void HotkeyKeeper::SetMacroKeys(MacroHotkeys keys) {
    if (keys == macroKeys_) return;
    macroKeys_ = std::move(keys);
    host_.save();
}

std::optional<MacroKeyClash> HotkeyKeeper::ClashOf(
    const Hotkey& key, const std::u16string& title,
    const std::optional<std::u16string>& oldTitle) const {
    return MacroKeyClashOf(key, title, oldTitle, options(), macroKeys_, host_.hasMacroTitled);
}

HotkeyKeeper::FreeForDialog::FreeForDialog(HotkeyKeeper& keeper) : keeper_(keeper) {
    keeper_.keysFree_ = true;
    keeper_.hotkeys_.Release();
}

HotkeyKeeper::FreeForDialog::~FreeForDialog() {
    keeper_.keysFree_ = false;
    keeper_.Register();
}

void HotkeyKeeper::EditInDialog() {
    if (keysFree_) return;
    keysFree_ = true;
    // Free while the dialog is open, so that they can be typed into its fields.
    hotkeys_.Release();
    const HotkeySet current = ActionKeysOf(options());
    const HotkeyDialogRequest request{
        .current = current,
        .refusals = hotkeys_.ActionRefusals(),
        // A trial: the keys are free again at once, since the dialog may stay
        // open to have another typed.
        .registerKeys = [this](const HotkeySet& keys) { return hotkeys_.Try(keys); },
        .macroKeys = DescribeMacroHotkeys(macroKeys_, host_.hasMacroTitled,
                                          host_.tabsOpen && host_.tabsOpen()),
        .check =
            [&](const HotkeySet& chosen, const std::vector<std::size_t>& removed) {
                return CheckActionKeys(chosen, current, macroKeys_, removed, host_.hasMacroTitled);
            }};
    const std::optional<HotkeyDialogResult> chosen =
        ShowHotkeyDialog(host_.window, host_.instance, request);
    keysFree_ = false;
    if (!chosen) {
        Register();
        return;
    }
    std::array<std::u16string, kHotkeyActions> keys = options().hotkeys;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        // As stored, even text that is no hotkey, where the field was left as it was.
        if (chosen->keys[i] == current[i]) continue;
        keys[i] = chosen->keys[i] ? FormatHotkey(*chosen->keys[i]) : u"";
    }
    if (!chosen->removedMacroKeys.empty()) macroKeys_.Remove(chosen->removedMacroKeys);
    // One write for both: the options' save writes the macros' keys too.
    if (keys != options().hotkeys) {
        host_.options->SetActionKeys(keys);
    } else if (!chosen->removedMacroKeys.empty()) {
        host_.save();
    }
    // The dialog named what it could not register.
    refusals_.Seen(RegisterQuietly());
}

}  // namespace kiv
