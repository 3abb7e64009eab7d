#include "app/hotkeys/hotkey_conflicts.h"

#include <algorithm>

#include "app/common/app_texts.h"
#include "app/common/tool_menu.h"
#include "app/hotkeys/hotkey_refusals.h"

namespace kiv {

std::optional<MacroKeyClash> MacroKeyClashOf(
    const Hotkey& key, const std::u16string& title, const std::optional<std::u16string>& oldTitle,
    const Options& options, const MacroHotkeys& macroKeys,
    const std::function<bool(std::u16string_view)>& titleExists) {
    if (!IsAllowedHotkey(key)) {
        return MacroKeyClash{Fill(texts::kHotkeyNotAllowed, {AllowedHotkeyAdvice()}), {}};
    }
    if (auto refusal = MacroHotkeyTitleRefusal(title, macroKeys.SettingsEncoding())) {
        return MacroKeyClash{*refusal, {}};
    }
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
        return MacroKeyClash{Fill(texts::kKeyIsActions, {use.name}), {}};
    }
    if (!titleExists(use.name)) {
        return MacroKeyClash{Fill(texts::kTakeOrphanKey, {use.name}), use.name};
    }
    return MacroKeyClash{Fill(texts::kKeyIsMacros, {use.name}), {}};
}

ActionKeysCheck CheckActionKeys(const ActionKeys& chosen, const ActionKeys& current,
                                const MacroHotkeys& macroKeys,
                                const std::vector<std::size_t>& removed,
                                const std::function<bool(std::u16string_view)>& titleExists) {
    // The actions' uses first: at start-up an action holds a key a macro was
    // also given, and the dialog keeps to that order.
    std::vector<HotkeyUse> uses = KeyUses(chosen, MacroHotkeys());
    std::vector<std::size_t> actionOf;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (chosen[i]) actionOf.push_back(i);
    }
    std::vector<std::size_t> entryOf;
    const std::vector<std::optional<Hotkey>> macroKeyList = macroKeys.Keys();
    for (std::size_t i = 0; i < macroKeyList.size(); ++i) {
        if (!macroKeyList[i] || std::ranges::find(removed, i) != removed.end()) continue;
        uses.push_back({HotkeyUse::Kind::Macro, macroKeys.Entries()[i].title, *macroKeyList[i]});
        entryOf.push_back(i);
    }
    ActionKeysCheck check;
    const std::vector<std::optional<std::size_t>> earlier = EarlierUsesOfTheSameKey(uses);
    for (std::size_t use = 0; use < actionOf.size(); ++use) {
        const std::size_t i = actionOf[use];
        const std::u16string named = DescribeUse(uses[use]);
        if (!IsAllowedHotkey(*chosen[i])) {
            check.refusals += Fill(texts::kActionKeyRefused, {named, AllowedHotkeyAdvice()});
        } else if (IsToolMenuKey(*chosen[i]) && chosen[i] != current[i]) {
            check.refusals +=
                Fill(texts::kActionToolKey, {named, FormatHotkey(*chosen[i]), ToolKeyRefusal()});
        }
        if (const std::optional<std::size_t> first = earlier[use]) {
            check.refusals += Fill(texts::kSameKeyTwice, {named, DescribeUse(uses[*first])});
        }
    }
    for (std::size_t use = actionOf.size(); use < uses.size(); ++use) {
        const std::optional<std::size_t> first = earlier[use];
        if (!first || *first >= actionOf.size()) continue;  // another macro's: not this dialog's
        // Held so since the start: the action's works, and the start-up said so.
        if (chosen[actionOf[*first]] == current[actionOf[*first]]) continue;
        const std::u16string named = DescribeUse(uses[*first]);
        const std::u16string key = FormatHotkey(uses[use].key);
        if (titleExists(uses[use].name)) {
            check.refusals += Fill(texts::kMacrosKeyTaken, {named, key, uses[use].name});
        } else {
            check.orphanKeys.push_back(entryOf[use - actionOf.size()]);
            check.offer += Fill(texts::kOrphanKeyTaken, {named, key, uses[use].name});
        }
    }
    if (!check.offer.empty()) check.offer += texts::kTakeOrphanKeys;
    return check;
}

}  // namespace kiv
