#include "app/global_hotkeys_win32.h"

namespace kiv {
namespace {

constexpr int kFirstId = 1;

}  // namespace

HotkeySet HotkeysOf(const Options& options) {
    HotkeySet keys;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) keys[i] = ParseHotkey(options.hotkeys[i]);
    return keys;
}

std::array<bool, kHotkeyActions> GlobalHotkeys::Register(const HotkeySet& keys) {
    UnregisterAll();
    std::array<bool, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (!keys[i]) continue;
        // Held down, a key repeats: without MOD_NOREPEAT one press could say
        // a macro many times over.
        registered_[i] = RegisterHotKey(window_, kFirstId + static_cast<int>(i),
                                        keys[i]->modifiers | MOD_NOREPEAT, keys[i]->key) != 0;
        refused[i] = !registered_[i];
    }
    return refused;
}

void GlobalHotkeys::UnregisterAll() {
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (registered_[i]) UnregisterHotKey(window_, kFirstId + static_cast<int>(i));
        registered_[i] = false;
    }
}

std::optional<HotkeyAction> GlobalHotkeys::ActionOf(WPARAM id) {
    if (id < kFirstId || id >= kFirstId + kHotkeyActions) return std::nullopt;
    return static_cast<HotkeyAction>(id - kFirstId);
}

}  // namespace kiv
