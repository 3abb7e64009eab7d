#include "app/hotkeys/hotkey_conflicts.h"

#include "app/common/tool_menu.h"
#include "app/hotkeys/hotkey_refusals.h"

namespace kiv {

std::optional<MacroKeyClash> MacroKeyClashOf(
    const Hotkey& key, const std::u16string& title, const std::optional<std::u16string>& oldTitle,
    const Options& options, const MacroHotkeys& macroKeys,
    const std::function<bool(std::u16string_view)>& titleExists) {
    if (auto refusal = MacroHotkeyTitleRefusal(title)) return MacroKeyClash{*refusal, {}};
    if (IsToolMenuKey(key)) return MacroKeyClash{ToolKeyRefusal(), {}};
    // Every other use: the actions', and the other macros' (its own key,
    // under its old title or its new one, is no clash).
    std::vector<HotkeyUse> uses = KeyUses(ActionKeysOf(options), macroKeys);
    std::erase_if(uses, [&](const HotkeyUse& use) {
        return use.kind == HotkeyUse::Kind::Macro && (use.name == title || use.name == oldTitle);
    });
    const std::optional<std::size_t> other = UseOfKey(key, uses);
    if (!other) return std::nullopt;
    const HotkeyUse& use = uses[*other];
    if (use.kind == HotkeyUse::Kind::Action) {
        return MacroKeyClash{u"このキーは「" + use.name + u"」のホットキーです。", {}};
    }
    if (!titleExists(use.name)) {
        return MacroKeyClash{u"このキーは、一覧にないマクロ「" + use.name +
                                 u"」のキーとして残っていて、何もしていません。"
                                 u"このマクロのキーにしますか?",
                             use.name};
    }
    return MacroKeyClash{u"このキーはマクロ「" + use.name + u"」のホットキーです。", {}};
}

}  // namespace kiv
