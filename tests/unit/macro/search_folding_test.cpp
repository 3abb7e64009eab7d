// What finding a macro takes as the same text.

#include "macro/search_folding.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace kiv {
namespace {

TEST(SearchFolding, LookAlikesAPlayerDoesNotMeanApartAreOne) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"ＨＰ１００％！", u"hp100%!"},
        {u"　全角の空白", u" 全角の空白"},
        {u"カタカナとひらがな", u"かたかなとひらがな"},
        {u"ｱﾘｶﾞﾄｳｺﾞｻﾞｲﾏｽ", u"ありがとうございます"},
        {u"ﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟ", u"ばぱびぴぶぷべぺぼぽ"},
        {u"ﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ ｯ ヂヅ", u"だじずでど っ じず"},
        {u"ｳﾞｧｲｵﾘﾝ ヴ", u"ゔぁいおりん ゔ"},
        {u"ｰ ー ｽｰﾊﾟｰ", u"ー ー すーぱー"},
        {u"｡｢ﾃｽﾄ｣､･", u"。「てすと」、・"},
        {u"か\u3099は\u309A", u"がぱ"},  // marks stored apart
        {u"ﾝﾞ ﾞ ﾏﾟ", u"ん゛ ゛ ま゜"},   // no kana for them: the mark stays
        {u"ヵヶヽヾ", u"ゕゖゝゞ"},
        {u"回復魔法 ♥ 表示", u"回復魔法 ♥ 表示"},  // kanji and symbols as they are
        {u"ヷ", u"ヷ"},                            // no hiragana of its own
    };
    for (const auto& [text, folded] : cases) {
        EXPECT_EQ(FoldForSearch(text), folded) << ToUtf8(text);
    }
}

}  // namespace
}  // namespace kiv
