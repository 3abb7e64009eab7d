#include "app/tool_hotkeys_win32.h"

namespace kiv {

void ToolHotkeys::SetWindow(HWND window) {
    actions_.SetWindow(window);
    macros_.SetWindow(window);
}

std::vector<HotkeyRefusal> ToolHotkeys::Register(
    const Options& options, const MacroHotkeys& macros,
    const std::function<bool(std::u16string_view)>& titleExists) {
    const HotkeySet keys = HotkeysOf(options);
    actionErrors_ = actions_.Register({keys.begin(), keys.end()});
    std::vector<std::optional<Hotkey>> macroKeys = macros.Keys();
    for (std::size_t i = 0; i < macroKeys.size(); ++i) {
        if (!titleExists(macros.Entries()[i].title)) macroKeys[i].reset();
    }
    const std::vector<std::uint32_t> macroErrors = macros_.Register(macroKeys);
    macroTitles_.clear();
    for (const MacroHotkey& entry : macros.Entries()) macroTitles_.push_back(entry.title);

    std::vector<HotkeyRefusal> refused;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (actionErrors_[i] == 0) continue;
        refused.push_back({std::u16string(kHotkeyActionInfo[i].name), FormatHotkey(*keys[i]),
                           HotkeyRefusalReason(actionErrors_[i])});
    }
    for (std::size_t i = 0; i < macroErrors.size(); ++i) {
        if (macroErrors[i] == 0) continue;
        refused.push_back(
            {macroTitles_[i], FormatHotkey(*macroKeys[i]), HotkeyRefusalReason(macroErrors[i])});
    }
    return refused;
}

void ToolHotkeys::Release() {
    actions_.UnregisterAll();
    macros_.UnregisterAll();
}

std::array<bool, kHotkeyActions> ToolHotkeys::Try(const HotkeySet& keys) {
    const std::vector<std::uint32_t> errors = actions_.Register({keys.begin(), keys.end()});
    actions_.UnregisterAll();
    std::array<bool, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions; ++i) refused[i] = errors[i] != 0;
    return refused;
}

std::array<bool, kHotkeyActions> ToolHotkeys::ActionsRefused() const {
    std::array<bool, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions && i < actionErrors_.size(); ++i) {
        refused[i] = actionErrors_[i] != 0;
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
