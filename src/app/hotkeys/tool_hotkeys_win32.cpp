#include "app/hotkeys/tool_hotkeys_win32.h"

namespace kiv {

void ToolHotkeys::SetWindow(HWND window) {
    actions_.SetWindow(window);
    macros_.SetWindow(window);
}

std::vector<HotkeyRefusal> ToolHotkeys::Register(
    const Options& options, const MacroHotkeys& macros,
    const std::function<bool(std::u16string_view)>& titleExists) {
    HotkeySet keys = ActionKeysOf(options);
    std::vector<std::optional<Hotkey>> macroKeys = macros.Keys();
    for (std::size_t i = 0; i < macroKeys.size(); ++i) {
        if (!titleExists(macros.Entries()[i].title)) macroKeys[i].reset();
    }
    // A key the settings give twice is held for its first use only; the
    // other is told as the tool's own, not another program's.
    std::vector<HotkeyUse> uses;
    std::vector<std::optional<Hotkey>*> slots;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (!keys[i]) continue;
        uses.push_back(
            {HotkeyUse::Kind::Action, std::u16string(kHotkeyActionInfo[i].name), *keys[i]});
        slots.push_back(&keys[i]);
    }
    for (std::size_t i = 0; i < macroKeys.size(); ++i) {
        if (!macroKeys[i]) continue;
        uses.push_back({HotkeyUse::Kind::Macro, macros.Entries()[i].title, *macroKeys[i]});
        slots.push_back(&macroKeys[i]);
    }
    std::vector<HotkeyRefusal> refused;
    const std::vector<std::optional<std::size_t>> earlier = EarlierUsesOfTheSameKey(uses);
    for (std::size_t i = 0; i < uses.size(); ++i) {
        if (!earlier[i]) continue;
        refused.push_back(
            {uses[i].name, FormatHotkey(uses[i].key), SameKeyReason(uses[*earlier[i]])});
        slots[i]->reset();
    }

    actionErrors_ = actions_.Register({keys.begin(), keys.end()});
    actionKeys_ = keys;
    const std::vector<std::uint32_t> macroErrors = macros_.Register(macroKeys);
    macroTitles_.clear();
    for (const MacroHotkey& entry : macros.Entries()) macroTitles_.push_back(entry.title);
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (actionErrors_[i] == 0) continue;
        refused.push_back({std::u16string(kHotkeyActionInfo[i].name), FormatHotkey(*keys[i]),
                           HotkeyRefusalReason(actionErrors_[i], *keys[i])});
    }
    for (std::size_t i = 0; i < macroErrors.size(); ++i) {
        if (macroErrors[i] == 0) continue;
        refused.push_back({macroTitles_[i], FormatHotkey(*macroKeys[i]),
                           HotkeyRefusalReason(macroErrors[i], *macroKeys[i])});
    }
    return refused;
}

void ToolHotkeys::Release() {
    actions_.UnregisterAll();
    macros_.UnregisterAll();
}

std::array<std::u16string, kHotkeyActions> ToolHotkeys::Try(const HotkeySet& keys) {
    const std::vector<std::uint32_t> errors = actions_.Register({keys.begin(), keys.end()});
    actions_.UnregisterAll();
    std::array<std::u16string, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (errors[i] != 0) refused[i] = HotkeyRefusalReason(errors[i], *keys[i]);
    }
    return refused;
}

std::array<std::u16string, kHotkeyActions> ToolHotkeys::ActionRefusals() const {
    std::array<std::u16string, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions && i < actionErrors_.size(); ++i) {
        if (actionErrors_[i] != 0)
            refused[i] = HotkeyRefusalReason(actionErrors_[i], *actionKeys_[i]);
    }
    return refused;
}

std::optional<HotkeyAction> ToolHotkeys::ActionOf(WPARAM id) const {
    const std::optional<std::size_t> index = actions_.IndexOf(id);
    if (!index) return std::nullopt;
    return static_cast<HotkeyAction>(*index);
}

std::optional<std::u16string> ToolHotkeys::MacroTitleOf(WPARAM id) const {
    const std::optional<std::size_t> index = macros_.IndexOf(id);
    if (!index || *index >= macroTitles_.size()) return std::nullopt;
    return macroTitles_[*index];
}

}  // namespace kiv
