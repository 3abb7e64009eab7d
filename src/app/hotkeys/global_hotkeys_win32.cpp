#include "app/hotkeys/global_hotkeys_win32.h"

#include "app/common/app_texts.h"
#include "platform/system_error.h"

namespace kiv {

namespace {

RegisterHotkeyCall registerHotkey = nullptr;

}  // namespace

void SetRegisterHotkeyCall(RegisterHotkeyCall call) {
    registerHotkey = call;
}

std::u16string HotkeyRefusalReason(std::uint32_t error, const Hotkey& key) {
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
        if (IsReservedByWindows(key)) {
            return std::u16string(texts::kKeyWindowsKeeps);
        }
        return std::u16string(texts::kKeyHeldElsewhere);
    }
    return SystemErrorText(error);
}

std::vector<std::uint32_t> GlobalHotkeys::Register(const std::vector<std::optional<Hotkey>>& keys) {
    UnregisterAll();
    std::vector<std::uint32_t> refused(keys.size(), 0);
    registered_.assign(keys.size(), false);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i]) continue;
        // Held down, a key repeats: without MOD_NOREPEAT one press could say
        // a macro many times over.
        const RegisterHotkeyCall call = registerHotkey != nullptr ? registerHotkey : RegisterHotKey;
        registered_[i] = call(window_, firstId_ + static_cast<int>(i),
                              keys[i]->modifiers | MOD_NOREPEAT, keys[i]->key) != 0;
        if (!registered_[i]) refused[i] = GetLastError();
    }
    return refused;
}

void GlobalHotkeys::UnregisterAll() {
    for (std::size_t i = 0; i < registered_.size(); ++i) {
        if (registered_[i]) UnregisterHotKey(window_, firstId_ + static_cast<int>(i));
    }
    registered_.clear();
}

std::optional<std::size_t> GlobalHotkeys::IndexOf(WPARAM id) const {
    if (id < static_cast<WPARAM>(firstId_) || id >= firstId_ + registered_.size()) {
        return std::nullopt;
    }
    return id - static_cast<WPARAM>(firstId_);
}

}  // namespace kiv
