#include "macro/default_macros.h"

#include <array>
#include <string_view>

#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr std::array<std::u16string_view, 44> kLabels = {
    u"ヒット１",   u"ヒット２",   u"呪文詠唱",   u"剣撃１",     u"剣撃２",   u"鞭",
    u"槍",         u"叩撃",       u"打撃１",     u"打撃２",     u"爪",       u"ホイミ系",
    u"状態回復",   u"蘇生",       u"スカラ系",   u"ルカニ系",   u"ピオリム", u"ボミオス",
    u"バイキルト", u"マホカンタ", u"フバーハ",   u"マホステ",   u"マヌーサ", u"ラリホー",
    u"マホトーン", u"メダパニ",   u"ニフラム",   u"マホトラ",   u"ザキ系",   u"炎ダメージ",
    u"氷ダメージ", u"ギラ系",     u"イオ系",     u"風ダメージ", u"メラ",     u"メラミ",
    u"メラゾーマ", u"ヒャド",     u"ヒャダルコ", u"ヒャダイン", u"マヒャド", u"バギ",
    u"バギマ",     u"バギクロス",
};

struct Target {
    char16_t digit;
    std::u16string_view suffix;
};
constexpr std::array<Target, 2> kTargets = {{{u'1', u"(自分)"}, {u'2', u"(手前)"}}};

std::u16string Decimal(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

std::vector<Macro> DefaultMacros() {
    std::vector<Macro> macros;
    macros.reserve(kLabels.size() * kTargets.size());
    for (const Target& target : kTargets) {
        for (std::size_t n = 1; n <= kLabels.size(); ++n) {
            const std::u16string number = u"$" + Decimal(n);
            std::u16string title = number + u':';
            title += kLabels[n - 1];
            title += target.suffix;
            macros.emplace_back(number + u'-' + target.digit, std::move(title));
        }
    }
    return macros;
}

std::string DefaultMacroFileContents() {
    std::u16string text;
    for (const Macro& macro : DefaultMacros()) {
        text += MacroLineText(macro) + u"\r\n";
    }
    return ToAnsi(text);
}

}  // namespace kiv
