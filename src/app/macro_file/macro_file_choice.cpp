#include "app/macro_file/macro_file_choice.h"

#include "platform/ansi_text.h"
#include "platform/case_fold.h"

namespace kiv {
namespace {

bool IsShortcut(std::u16string_view path) {
    return path.size() > 4 && EqualIgnoringCase(path.substr(path.size() - 4), u".lnk");
}

}  // namespace

std::optional<std::u16string> MacroFilePathRefusal(std::u16string_view path) {
    if (ToAnsiExactly(path)) return std::nullopt;
    return u"「" + std::u16string(path) + u"」の名前には、設定ファイルに書けない文字 (" +
           NameCharacters(CharactersAnsiLacks(path)) +
           u") が含まれているため、マクロファイルにできません。\n"
           u"ファイルかフォルダーの名前を変えてから、もう一度選んでください。";
}

DropOutcome DecideDrop(const std::vector<std::u16string>& paths, const DropFacts& facts) {
    if (paths.size() > 1) {
        return {std::nullopt,
                u"マクロファイルは一度に 1 つだけドロップしてください。"
                u"何も読み込みませんでした。"};
    }
    if (paths.empty()) return {std::nullopt, u""};
    std::u16string path = paths.front();
    if (IsShortcut(path)) {
        const std::optional<std::u16string> target = facts.shortcutTarget(path);
        if (!target || target->empty()) {
            return {std::nullopt, u"ショートカット「" + path +
                                      u"」の指す先がわかりませんでした。"
                                      u"マクロファイルそのものをドロップしてください。"};
        }
        path = *target;
    }
    const DroppedPath found = facts.look(path);
    if (!found.exists) {
        return {std::nullopt, u"「" + path + u"」が見つかりません。何も読み込みませんでした。"};
    }
    if (found.folder) {
        return {std::nullopt,
                u"「" + path + u"」はフォルダーです。マクロファイルを 1 つドロップしてください。"};
    }
    if (auto refusal = MacroFilePathRefusal(path)) return {std::nullopt, std::move(*refusal)};
    return {path, u""};
}

}  // namespace kiv
