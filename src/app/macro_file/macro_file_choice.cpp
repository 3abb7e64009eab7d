#include "app/macro_file/macro_file_choice.h"

#include "app/common/app_texts.h"
#include "platform/ansi_text.h"
#include "platform/case_fold.h"

namespace kiv {
namespace {

bool IsShortcut(std::u16string_view path) {
    return path.size() > 4 && EqualIgnoringCase(path.substr(path.size() - 4), u".lnk");
}

}  // namespace

std::optional<std::u16string> MacroFilePathRefusal(std::u16string_view path,
                                                   TextEncoding settings) {
    const std::vector<char32_t> lacking = CharactersEncodingLacks(path, settings);
    if (lacking.empty()) return std::nullopt;
    return Fill(texts::kPathNotInSettings, {path, NameCharacters(lacking)});
}

DropOutcome DecideDrop(const std::vector<std::u16string>& paths, const DropFacts& facts) {
    if (paths.size() > 1) {
        return {std::nullopt, std::u16string(texts::kDropOneFile)};
    }
    if (paths.empty()) return {std::nullopt, u""};
    std::u16string path = paths.front();
    if (IsShortcut(path)) {
        const std::optional<std::u16string> target = facts.shortcutTarget(path);
        if (!target || target->empty()) {
            return {std::nullopt, Fill(texts::kShortcutTargetUnknown, {path})};
        }
        path = *target;
    }
    const DroppedPath found = facts.look(path);
    if (!found.exists) {
        return {std::nullopt, Fill(texts::kDroppedNotFound, {path})};
    }
    if (found.folder) {
        return {std::nullopt, Fill(texts::kDroppedFolder, {path})};
    }
    if (auto refusal = MacroFilePathRefusal(path, facts.settings)) {
        return {std::nullopt, std::move(*refusal)};
    }
    return {path, u""};
}

}  // namespace kiv
