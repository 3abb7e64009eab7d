#include "app/main_commands.h"

#include "platform/ansi_text.h"

namespace kiv {

DialogStart DialogStartFor(std::u16string_view macroFile) {
    const std::size_t slash = macroFile.rfind(u'\\');
    if (slash == std::u16string_view::npos) return {std::nullopt, std::u16string(macroFile)};
    return {std::u16string(macroFile.substr(0, slash)),
            std::u16string(macroFile.substr(slash + 1))};
}

int SelectionAfterSayNext(int selected, int count) {
    if (count <= 0) return -1;
    return selected == count - 1 ? 0 : selected + 1;
}

int SelectionAfterStep(int selected, int count, Step step) {
    if (count <= 0) return -1;
    if (step == Step::Next) return SelectionAfterSayNext(selected, count);
    return selected <= 0 || selected >= count ? count - 1 : selected - 1;
}

DropOutcome DecideDrop(const std::vector<std::u16string>& paths,
                       const std::function<bool(const std::u16string&)>& isFolder) {
    if (paths.size() > 1) {
        return {std::nullopt,
                u"マクロファイルは一度に 1 つだけドロップしてください。"
                u"何も読み込みませんでした。"};
    }
    if (paths.empty()) return {std::nullopt, u""};
    if (isFolder(paths.front())) {
        return {std::nullopt,
                u"「" + paths.front() +
                    u"」はフォルダーです。マクロファイルを 1 つドロップしてください。"};
    }
    // The settings file keeps the path in CP932: one it cannot hold would be
    // lost at the next start (the Open dialog never offers such paths).
    if (FromAnsi(ToAnsi(paths.front())) != paths.front()) {
        return {std::nullopt, u"「" + paths.front() +
                                  u"」の名前には、設定ファイルに書けない文字が含まれています。"
                                  u"名前を変えてからドロップしてください。"};
    }
    return {paths.front(), u""};
}

}  // namespace kiv
