#include "app/global_hotkeys_win32.h"

#include "platform/system_error.h"

namespace kiv {
namespace {

constexpr int kFirstId = 1;

}  // namespace

HotkeySet HotkeysOf(const Options& options) {
    HotkeySet keys;
    for (std::size_t i = 0; i < kHotkeyActions; ++i) keys[i] = ParseHotkey(options.hotkeys[i]);
    return keys;
}

std::u16string HotkeyRefusalReason(std::uint32_t error) {
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
        return u"ほかのプログラム (このツールのもう一つのコピーかもしれません) が使っています。";
    }
    return SystemErrorText(error);
}

std::array<std::uint32_t, kHotkeyActions> GlobalHotkeys::Register(const HotkeySet& keys) {
    UnregisterAll();
    std::array<std::uint32_t, kHotkeyActions> refused{};
    for (std::size_t i = 0; i < kHotkeyActions; ++i) {
        if (!keys[i]) continue;
        // Held down, a key repeats: without MOD_NOREPEAT one press could say
        // a macro many times over.
        registered_[i] = RegisterHotKey(window_, kFirstId + static_cast<int>(i),
                                        keys[i]->modifiers | MOD_NOREPEAT, keys[i]->key) != 0;
        if (!registered_[i]) refused[i] = GetLastError();
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
