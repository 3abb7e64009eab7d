#pragma once

// What the platform layer tells the user: a failed file operation, a
// system error without words. Portable.

#include "platform/tool_text.h"

// clang-format off
#define KIV_PLATFORM_TEXTS(X) \
    X(kFileFailed, u"ファイル「%1」%2") \
    X(kFileOpenFailed, u"を開けませんでした。") \
    X(kFileReadFailed, u"の読み込み中にエラーが発生しました。") \
    X(kFileCreateFailed, u"を作成できませんでした。") \
    X(kFileWriteFailed, u"の書き込み中にエラーが発生しました。") \
    X(kFileFinishFailed, u"の作成を完了できませんでした。") \
    X(kFileAlreadyExists, u"は既に存在するため、書き込みませんでした。") \
    X(kFileTooLarge, u"は大きすぎるため読み込めません。") \
    X(kFileNotText, u"はテキストファイルではないため、読み込みませんでした。") \
    X(kFileSwapIncomplete, u"を新しい内容に置き換える途中で失敗しました。") \
    X(kFileStepFailed, u"の操作に失敗しました。") \
    X(kOldContentsAt, u"\n変更前の内容は「%1」にあります。") \
    X(kNewContentsAt, u"\n変更後の内容は「%1」にあります。") \
    X(kRenameTheOneToUse, u"\nどちらも削除していません。使う方のファイルの名前を「%1」に変えてください。") \
    X(kReason, u"\n理由: %1") \
    X(kErrorNumber, u"エラー %1") \
    X(kCodePage, u"コードページ %1")
// clang-format on

namespace kiv {
KIV_TOOL_TEXTS(KIV_PLATFORM_TEXTS, kPlatformTexts)
}  // namespace kiv
