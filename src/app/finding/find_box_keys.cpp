#include "app/finding/find_box_keys.h"

namespace kiv {

FindBoxKey RouteFindBoxKey(const Hotkey& press, bool composing) {
    const bool shift = (press.modifiers & kModShift) != 0;
    if (composing || press.key == kKeyProcess) return FindBoxKey::Text;
    if ((press.modifiers & kModAlt) != 0) return FindBoxKey::Window;
    switch (press.key) {
        case kKeyReturn:
            return press.modifiers != 0 ? FindBoxKey::Text : FindBoxKey::Say;
        case kKeyEscape:
            return FindBoxKey::Escape;
        case kKeyTab:
            return FindBoxKey::Window;
        case kKeyUp:
        case kKeyDown:
        case kKeyPageUp:
        case kKeyPageDown:
            return FindBoxKey::List;
        case kKeyHome:
        case kKeyEnd:
            // With Shift they select the box's text.
            return shift ? FindBoxKey::Text : FindBoxKey::List;
        default:
            break;
    }
    if (press.key >= kKeyF1 && press.key <= kKeyF24) return FindBoxKey::Window;
    return FindBoxKey::Text;
}

bool KeyBeginsComposition(std::uint32_t virtualKey) {
    const auto within = [virtualKey](std::uint32_t first, std::uint32_t last) {
        return virtualKey >= first && virtualKey <= last;
    };
    return within('0', '9') || within('A', 'Z') ||
           within(0x60, 0x6F) ||  // the keypad's digits and signs
           within(0xBA, 0xC0) ||  // ; = , - . / `, as the keyboard has them
           within(0xDB, 0xDF) ||  // [ \ ] ' and the eighth
           virtualKey == 0xE2;    // the key beside the right Shift (ろ)
}

bool OpensFindBox(char16_t typed) {
    return typed > u' ' && typed != 0x7F && !(typed >= 0x80 && typed < 0xA0);
}

}  // namespace kiv
