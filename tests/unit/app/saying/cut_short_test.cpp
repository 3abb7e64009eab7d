// What the player is told of a macro the game client stopped answering in.

#include "app/saying/cut_short.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(CutShort, TellsEachLineAsItWentAndThatNothingIsSentAgain) {
    EXPECT_EQ(CutShortText(u"「KIV」(PID 7)", u"挨拶",
                           {{1, u"こんにちは", LineFate::Sent},
                            {2, u"12:00:00", LineFate::MayHaveGone},
                            {3, u"よろしく", LineFate::NotSent}}),
              u"ゲームクライアント「KIV」(PID 7)が応答しなくなったため、マクロ「挨拶」を最後まで"
              u"送れませんでした。\n\n"
              u"1 行目「こんにちは」: 送りました\n"
              u"2 行目「12:00:00」: 届いたかどうかわかりません (ゲームクライアントが応答を返すと、"
              u"あとから届くことがあります)\n"
              u"3 行目「よろしく」: 送っていません\n"
              u"\nこのツールが自分で送り直すことはありません。ゲームのチャットでどこまで届いたかを"
              u"確かめてください。もう一度発言すると、すべての行をはじめから送ります。");
}

}  // namespace
}  // namespace kiv
