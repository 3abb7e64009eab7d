#include "settings/options.h"

#include <algorithm>
#include <variant>

#include "platform/case_fold.h"
#include "settings/ini_file.h"

namespace kiv {
namespace {

constexpr std::u16string_view kSection = u"Option";
constexpr std::u16string_view kTopMost = u"TopMost";
constexpr std::u16string_view kClient = u"Client";
constexpr std::int32_t kBoolean = 3;  // the store's type code

}  // namespace

std::array<std::optional<Hotkey>, kHotkeyActions> ActionKeysOf(const Options& options) {
    std::array<std::optional<Hotkey>, kHotkeyActions> keys;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) keys[i] = ParseHotkey(options.hotkeys[i]);
    return keys;
}

Options ReadOptions(IniFile& store) {
    Options options;
    store.SetNowSection(kSection);
    options.topMost = std::get<bool>(store.InitData(kTopMost, kBoolean, false));
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        options.hotkeys[i] = store.Data(kHotkeyActionInfo[i].key);
    }
    options.client = store.Data(kClient);
    return options;
}

bool HasOptionSection(const IniFile& store) {
    const std::u16string wanted = FoldCase(kSection);
    const auto& sections = store.Sections();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const std::u16string& name) { return FoldCase(name) == wanted; });
}

void WriteOptions(IniFile& store, const Options& options) {
    store.SetNowSection(kSection);
    store.SetData(kTopMost, options.topMost ? u"1" : u"0");
    const auto set = [&store](std::u16string_view key, const std::u16string& value,
                              bool writtenWhenSet) {
        if (writtenWhenSet && value.empty()) {
            store.DeleteData(key);
        } else {
            store.SetData(key, value);
        }
    };
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        set(kHotkeyActionInfo[i].key, options.hotkeys[i], kHotkeyActionInfo[i].writtenWhenSet);
    }
    set(kClient, options.client, true);
}

}  // namespace kiv
