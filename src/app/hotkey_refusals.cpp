#include "app/hotkey_refusals.h"

namespace kiv {

std::optional<std::u16string> HotkeyRefusalMemory::ToTell(
    const std::vector<HotkeyRefusal>& refused) {
    if (refused == told_) return std::nullopt;
    told_ = refused;
    if (refused.empty()) return std::nullopt;
    std::u16string text = u"次のホットキーは登録できなかったため、働きません。\n\n";
    for (const HotkeyRefusal& refusal : refused) {
        text += u"「" + refusal.owner + u"」の " + refusal.key + u": " + refusal.reason + u"\n";
    }
    text += u"\n別のキーにするには、メニューの「ホットキーの設定...」を使ってください。";
    return text;
}

}  // namespace kiv
