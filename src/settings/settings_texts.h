#pragma once

// What the settings' rules tell the user about a key. Portable.

#include "platform/tool_text.h"

// clang-format off
#define KIV_SETTINGS_TEXTS(X) \
    X(kImeKeyCaution, u"%1 は日本語入力の変換キーです。ホットキーにすると、どのプログラムでも変換に使えなくなり、入力中に押すと入力中の文字がマクロの発言内容に置き換わります。") \
    X(kAllowedHotkeyAdvice, u"英数字や矢印などには Ctrl か Alt を添えてください (F キーとテンキーは単独でも可。Shift だけでは添えたことになりません)。")
// clang-format on

namespace kiv {
KIV_TOOL_TEXTS(KIV_SETTINGS_TEXTS, kSettingsTexts)
}  // namespace kiv
