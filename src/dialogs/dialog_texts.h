#pragma once

// What the dialogs' own layer tells the user when a dialog cannot be shown
// or cannot hand back what was chosen. Portable.

#include "platform/tool_text.h"

// clang-format off
#define KIV_DIALOG_TEXTS(X) \
    X(kCommonControlsMissing, u"コモン コントロール (comctl32.dll) を読み込めませんでした。") \
    X(kChosenPathTooLong, u"選んだファイルのパスが長すぎて受け取れませんでした。\n短いパスのフォルダーに置いてから、もう一度選んでください。") \
    X(kOpenDialogFailed, u"ファイルを選ぶダイアログを表示できませんでした (エラー %1)。")
// clang-format on

namespace kiv {
KIV_TOOL_TEXTS(KIV_DIALOG_TEXTS, kDialogTexts)
}  // namespace kiv
