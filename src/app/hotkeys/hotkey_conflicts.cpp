#include "app/hotkeys/hotkey_conflicts.h"

#include "app/common/tool_menu.h"

namespace kiv {

std::optional<MacroKeyClash> MacroKeyClashOf(
    const Hotkey& key, const std::u16string& title, const std::optional<std::u16string>& oldTitle,
    const Options& options, const MacroHotkeys& macroKeys,
    const std::function<bool(std::u16string_view)>& titleExists) {
    if (auto refusal = MacroHotkeyTitleRefusal(title)) return MacroKeyClash{*refusal, {}};
    if (IsToolMenuKey(key)) return MacroKeyClash{ToolKeyRefusal(), {}};
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (ParseHotkey(options.hotkeys[i]) == key) {
            return MacroKeyClash{u"このキーは「" + std::u16string(kHotkeyActionInfo[i].name) +
                                     u"」のホットキーです。",
                                 {}};
        }
    }
    const std::optional<std::u16string> holder = macroKeys.TitleHolding(key, title);
    if (!holder || holder == oldTitle) return std::nullopt;
    if (!titleExists(*holder)) {
        return MacroKeyClash{u"このキーは、一覧にないマクロ「" + *holder +
                                 u"」のキーとして残っていて、何もしていません。"
                                 u"このマクロのキーにしますか?",
                             holder};
    }
    return MacroKeyClash{u"このキーはマクロ「" + *holder + u"」のホットキーです。", {}};
}

}  // namespace kiv
