#pragma once

// What the macro rules tell the user: why a macro or a change cannot be
// written, and what the file check finds. Portable.

#include "platform/tool_text.h"

// clang-format off
#define KIV_MACRO_TEXTS(X) \
    X(kTitleField, u"タイトル") \
    X(kMessageField, u"発言内容") \
    X(kLineFields1, u"1 行目") \
    X(kLineFields2, u"2 行目") \
    X(kLineFields3, u"3 行目") \
    X(kRestField, u"3 行目の続き") \
    X(kTabOrLineBreakIn, u"%1にタブか改行が入っています。貼り付けた文字を確かめて取り除いてください。") \
    X(kNulIn, u"%1に NUL 文字 (U+0000) が入っています。貼り付けた文字を確かめて取り除いてください。") \
    X(kBrokenCharacterIn, u"%1に壊れた文字 (%2) が入っています。貼り付けた文字を確かめてください。") \
    X(kCannotBeSavedIn, u"%1に、%2 のマクロファイルには保存できない文字があります: %3。マクロファイルを UTF-8 で保存し直すと使えます。") \
    X(kBlankLineNeedsTitle, u"空白だけの行はマクロファイルから読み込まれません。タイトルを入力してください。") \
    X(kNoMessage, u"発言内容がありません。1 行目に入力してください。") \
    X(kSeparatorInLine, u"%1に「\\n」が入っています。発言内容は 1 行ずつ別の欄に入力してください。") \
    X(kEncodingWouldChange, u"この変更を書き込むと、マクロファイルの文字コードの判定が変わり、ほかの行が違う文字で読み込まれてしまうため、書き込みませんでした。マクロファイルを BOM 付きの UTF-8 で保存し直すと変更できます。") \
    X(kMarkWouldAppear, u"この変更を書き込むと、マクロファイルの先頭が文字コードの印 (BOM) と読まれてしまうため、書き込みませんでした。") \
    X(kLineEndsWouldChange, u"この変更を書き込むと、マクロファイルの改行の判定が変わり、ほかの行の区切りが変わってしまうため、書き込みませんでした。マクロファイルの改行を CR LF にそろえて保存し直すと変更できます。") \
    X(kLinesWouldMisread, u"この変更を書き込むと、変更した行かその前後の行が違う内容で読み込まれてしまうため、書き込みませんでした。") \
    X(kLineWouldLoseBytes, u"この行には %1 の文字として読めないバイトがあり、書き直すとそのバイトが失われるため、書き込みませんでした。その行はメモ帳などのエディターで直してください。") \
    X(kTextWouldBeLost, u"このマクロには %1 のマクロファイルに書けない文字があるため、書き込みませんでした。") \
    X(kChangedSinceLastEdit, u"マクロファイルが、このツールで最後に変更したあとにほかのプログラムで変更されたため、元に戻せません。") \
    X(kChangedJustNow, u"マクロファイルが今ほかのプログラムで変更されたため、元に戻せませんでした。") \
    X(kLineFeedOnly, u"改行が LF だけです。このファイルには CR の改行もあるため LF では行が分かれず、%1 行目から %2 行目までが一つのマクロになります。") \
    X(kBadBytes, u"%1 文字目に CP932 で表せない文字 (不正なバイト列) があります。ゲームには別の文字が届きます。") \
    X(kNotInCp932, u"%1 文字目の「%2」(%3) は CP932 にない文字です。ゲームには「%4」が届きます。") \
    X(kTooManySeparators, u"発言内容に区切りの \\n が %1 個あります。送られるのは 3 行までで、3 個目からの \\n はそのまま文字として送られます。") \
    X(kTabsOnly, u"TAB だけの行です。タイトルの見えない項目になり、選んでも何も送られません。") \
    X(kDuplicateTitle, u"タイトル「%1」は %2 行目と同じです。") \
    X(kTokenNotWellFormed, u"%1 文字目の「%2」は置き換える記号の書き方になっていないため、そのまま送られます。記号は小文字で、空白を入れずに書きます (<date>、<wait.3>、<rand:a|b> など)。") \
    X(kWaitOutOfRange, u"%1 文字目の「%2」の秒数は 0.1 から 60 までで、小数は 1 けたまでです。このままでは待たずに、そのまま文字として送られます。") \
    X(kWaitNotAtStart, u"%1 文字目の「%2」は行の先頭にないため、待たずにそのまま文字として送られます。") \
    X(kNowBesideText, u"%1 文字目の「<now>」は行全体のときだけ時刻になり、ほかの文字と並ぶとそのまま送られます。文中の時刻には <time> を使います。") \
    X(kRandomMark, u"(ランダム)") \
    X(kWaitMark, u"(%1 秒後) ") \
    X(kNulWithoutMark, u"BOM がないのに NUL (0x00) のバイトがあります。プログラムや画像などのファイルではないか確かめてください。") \
    X(kNotAnOrdinaryFile, u"通常のファイルではありません (フォルダー、隠しファイルなど)。") \
    X(kNoProblemFound, u"%1: 問題は見つかりませんでした。\n") \
    X(kCheckerUsage, u"使い方: kivmacro-check マクロファイル...\nマクロファイルを読み、ゲームに書いたとおりに届かない行を知らせます。\n")
// clang-format on

namespace kiv {
KIV_TOOL_TEXTS(KIV_MACRO_TEXTS, kMacroTexts)
}  // namespace kiv
