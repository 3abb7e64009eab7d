#include "settings/hotkey.h"

#include <algorithm>
#include <array>
#include <vector>

#include "settings/settings_texts.h"

namespace kiv {
namespace {

struct KeyName {
    std::u16string name;
    std::uint32_t key;
    bool alone;  // may be a hotkey without modifiers
};

const std::vector<KeyName>& KeyNames() {
    static const std::vector<KeyName> names = [] {
        std::vector<KeyName> all;
        for (char16_t c = u'A'; c <= u'Z'; ++c) all.push_back({std::u16string(1, c), c, false});
        for (char16_t c = u'0'; c <= u'9'; ++c) all.push_back({std::u16string(1, c), c, false});
        for (std::uint32_t n = 1; n <= 24; ++n) {
            const std::string digits = std::to_string(n);
            all.push_back({u"F" + std::u16string(digits.begin(), digits.end()), 0x6F + n, true});
        }
        for (std::uint32_t n = 0; n <= 9; ++n) {
            all.push_back(
                {u"Num" + std::u16string(1, static_cast<char16_t>(u'0' + n)), 0x60 + n, true});
        }
        for (const auto& [name, key] :
             std::initializer_list<std::pair<const char16_t*, std::uint32_t>>{{u"Space", 0x20},
                                                                              {u"PageUp", 0x21},
                                                                              {u"PageDown", 0x22},
                                                                              {u"End", 0x23},
                                                                              {u"Home", 0x24},
                                                                              {u"Left", 0x25},
                                                                              {u"Up", 0x26},
                                                                              {u"Right", 0x27},
                                                                              {u"Down", 0x28},
                                                                              {u"Insert", 0x2D},
                                                                              {u"Delete", 0x2E}}) {
            all.push_back({name, key, false});
        }
        return all;
    }();
    return names;
}

struct ModifierName {
    std::u16string_view name;
    std::uint32_t flag;
};
// In the order FormatHotkey writes them.
constexpr std::array<ModifierName, 4> kModifiers{
    {{u"Ctrl", kModCtrl}, {u"Alt", kModAlt}, {u"Shift", kModShift}, {u"Win", kModWin}}};

bool SameLetters(std::u16string_view a, std::u16string_view b) {
    const auto lower = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

std::u16string_view TrimSpaces(std::u16string_view text) {
    const auto space = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

const KeyName* FindKey(std::uint32_t key) {
    const auto& names = KeyNames();
    const auto found =
        std::find_if(names.begin(), names.end(), [&](const KeyName& k) { return k.key == key; });
    return found == names.end() ? nullptr : &*found;
}

}  // namespace

bool IsAllowedHotkey(const Hotkey& hotkey) {
    const KeyName* key = FindKey(hotkey.key);
    constexpr std::uint32_t kAll = kModAlt | kModCtrl | kModShift | kModWin;
    if (key == nullptr || (hotkey.modifiers & ~kAll) != 0) return false;
    // Alone or with Shift only, any other key would take typing (capitals,
    // spaces, selecting, pasting) from every program, the game's chat included.
    if (!key->alone) return (hotkey.modifiers & (kModCtrl | kModAlt | kModWin)) != 0;
    // F12 alone belongs to debuggers, at all times.
    constexpr std::uint32_t kF12 = 0x7B;
    return hotkey.modifiers != 0 || hotkey.key != kF12;
}

std::optional<std::u16string> HotkeyCaution(const Hotkey& hotkey) {
    constexpr std::uint32_t kF6 = 0x75, kF10 = 0x79;
    if (hotkey.modifiers != 0 || hotkey.key < kF6 || hotkey.key > kF10) return std::nullopt;
    return Fill(texts::kImeKeyCaution, {FormatHotkey(hotkey)});
}

bool IsReservedByWindows(const Hotkey& hotkey) {
    if ((hotkey.modifiers & kModWin) == 0) return false;
    constexpr std::uint32_t kSpace = 0x20, kHome = 0x24, kLeft = 0x25, kDown = 0x28;
    const std::uint32_t key = hotkey.key;
    return (key >= u'A' && key <= u'Z') || (key >= u'0' && key <= u'9') || key == kSpace ||
           key == kHome || (key >= kLeft && key <= kDown);
}

std::optional<Hotkey> ParseHotkey(std::u16string_view text) {
    Hotkey hotkey;
    for (;;) {
        const std::size_t plus = text.find(u'+');
        const std::u16string_view part = TrimSpaces(text.substr(0, plus));
        if (plus == std::u16string_view::npos) {
            const auto& names = KeyNames();
            const auto key = std::find_if(names.begin(), names.end(), [&](const KeyName& k) {
                return SameLetters(k.name, part);
            });
            if (key == names.end()) return std::nullopt;
            hotkey.key = key->key;
            break;
        }
        const auto modifier =
            std::find_if(kModifiers.begin(), kModifiers.end(),
                         [&](const ModifierName& m) { return SameLetters(m.name, part); });
        if (modifier == kModifiers.end() || (hotkey.modifiers & modifier->flag) != 0) {
            return std::nullopt;
        }
        hotkey.modifiers |= modifier->flag;
        text.remove_prefix(plus + 1);
    }
    if (!IsAllowedHotkey(hotkey)) return std::nullopt;
    return hotkey;
}

std::u16string FormatHotkey(const Hotkey& hotkey) {
    std::u16string text;
    for (const ModifierName& modifier : kModifiers) {
        if ((hotkey.modifiers & modifier.flag) != 0) text.append(modifier.name).append(u"+");
    }
    if (const KeyName* key = FindKey(hotkey.key)) text += key->name;
    return text;
}

std::u16string_view AllowedHotkeyAdvice() {
    return texts::kAllowedHotkeyAdvice;
}

}  // namespace kiv
