#include "app/finding/find_box_keys.h"

namespace kiv {
namespace {

// Virtual-key codes, as Windows numbers them.
enum : std::uint32_t {
    kTab = 0x09,
    kReturn = 0x0D,
    kEscape = 0x1B,
    kPageUp = 0x21,
    kPageDown = 0x22,
    kEnd = 0x23,
    kHome = 0x24,
    kUp = 0x26,
    kDown = 0x28,
    kF1 = 0x70,
    kF24 = 0x87,
    kProcessKey = 0xE5,  // a key the input method took
};

}  // namespace

FindBoxKey RouteFindBoxKey(const KeyPress& press, bool composing) {
    if (composing || press.key == kProcessKey) return FindBoxKey::Text;
    if (press.alt) return FindBoxKey::Window;
    switch (press.key) {
        case kReturn:
            return press.ctrl || press.shift ? FindBoxKey::Text : FindBoxKey::Say;
        case kEscape:
            return FindBoxKey::Escape;
        case kTab:
            return FindBoxKey::Window;
        case kUp:
        case kDown:
        case kPageUp:
        case kPageDown:
            return FindBoxKey::List;
        case kHome:
        case kEnd:
            // With Shift they select the box's text.
            return press.shift ? FindBoxKey::Text : FindBoxKey::List;
        default:
            break;
    }
    if (press.key >= kF1 && press.key <= kF24) return FindBoxKey::Window;
    return FindBoxKey::Text;
}

bool OpensFindBox(char16_t typed) {
    return typed > u' ' && typed != 0x7F && !(typed >= 0x80 && typed < 0xA0);
}

}  // namespace kiv
