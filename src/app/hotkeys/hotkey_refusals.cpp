#include "app/hotkeys/hotkey_refusals.h"

#include "app/common/app_texts.h"

namespace kiv {

std::u16string DescribeUse(const HotkeyUse& use) {
    return Fill(use.kind == HotkeyUse::Kind::Macro ? texts::kMacroNamed : texts::kActionNamed,
                {use.name});
}

std::vector<HotkeyUse> KeyUses(const std::array<std::optional<Hotkey>, kHotkeyActions>& actions,
                               const MacroHotkeys& macros) {
    std::vector<HotkeyUse> uses;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (actions[i]) {
            uses.push_back(
                {HotkeyUse::Kind::Action, std::u16string(kHotkeyActionInfo[i].name), *actions[i]});
        }
    }
    const std::vector<std::optional<Hotkey>> keys = macros.Keys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i]) uses.push_back({HotkeyUse::Kind::Macro, macros.Entries()[i].title, *keys[i]});
    }
    return uses;
}

std::optional<std::size_t> UseOfKey(const Hotkey& key, std::span<const HotkeyUse> uses) {
    for (std::size_t i = 0; i < uses.size(); ++i) {
        if (uses[i].key == key) return i;
    }
    return std::nullopt;
}

std::vector<std::optional<std::size_t>> EarlierUsesOfTheSameKey(
    const std::vector<HotkeyUse>& uses) {
    std::vector<std::optional<std::size_t>> earlier(uses.size());
    for (std::size_t i = 0; i < uses.size(); ++i) {
        const std::optional<std::size_t> first = UseOfKey(uses[i].key, uses);
        if (first != i) earlier[i] = first;
    }
    return earlier;
}

std::u16string SameKeyReason(const HotkeyUse& earlier) {
    return Fill(texts::kSameKeyInSettings, {DescribeUse(earlier)});
}

std::optional<std::u16string> HotkeyRefusalMemory::ToTell(
    const std::vector<HotkeyRefusal>& refused) {
    if (refused == told_) return std::nullopt;
    told_ = refused;
    if (refused.empty()) return std::nullopt;
    // 「以下」: 「次」 is also an action's name (次へ).
    std::u16string text(texts::kHotkeysRefused);
    for (const HotkeyRefusal& refusal : refused) {
        text += Fill(texts::kHotkeyRefusedLine, {refusal.owner, refusal.key, refusal.reason});
    }
    text += texts::kToChangeHotkeys;
    return text;
}

}  // namespace kiv
