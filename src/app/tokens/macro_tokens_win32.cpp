#include "app/tokens/macro_tokens_win32.h"

#include "app/tokens/ask_box_win32.h"
#include "platform/clipboard_win32.h"
#include "platform/local_clock.h"

namespace kiv {
namespace {}  // namespace

void MacroTokens::Attach(Host host) {
    host_ = std::move(host);
    late_.Attach(host_.window, host_.timer, [this] {
        if (!CountersKept() || !host_.save) return;
        written_ = true;
        host_.save();
    });
}

void MacroTokens::Start(MacroCounters counters, MacroVariables variables, bool countersKept) {
    counters_ = std::move(counters);
    variables_ = std::move(variables);
    countersKept_ = countersKept;
}

std::optional<FileMacros> MacroTokens::FileOf(std::u16string_view path) const {
    const MacroList* list = host_.listOf ? host_.listOf(path) : nullptr;
    if (list == nullptr) return std::nullopt;
    return FileMacros{list->FileName(), list->Count(),
                      [list](std::size_t position) { return list->Title(position); }};
}

std::uint32_t MacroTokens::CountOf(const MacroPlace& place) const {
    const std::optional<FileMacros> file = FileOf(place.file);
    return file ? counters_.CountOf(*file, place.position) : 0;
}

bool MacroTokens::HasCount(const MacroPlace& place) const {
    return CountOf(place) != 0;
}

FillContext MacroTokens::Context(const MacroPlace& place, int tries) const {
    // The place is copied: the context may outlive the caller's strings.
    const std::u16string file(place.file);
    const std::size_t position = place.position;
    return FillContext{
        .clock = LocalTimeOfDay,
        .today = LocalDayNumber,
        .clipboard = [window = host_.window, tries] { return ClipboardText(window, tries); },
        .count =
            [this, file, position] {
                return std::uint64_t{CountOf({file, position})} + 1;
            },
        .variable = [this](std::u16string_view name) { return ValueOf(variables_, name); },
    };
}

// A preview tries the clipboard once: it may be painted many times a second.
FillContext MacroTokens::PreviewOf(const MacroPlace& place) const {
    FillContext context = Context(place, 1);
    context.preview = true;
    return context;
}

std::optional<FillContext> MacroTokens::SayingOf(const MacroPlace& place, const Macro& macro) {
    FillContext context = Context(place, 5);
    // Nor stops between two lines for the clipboard.
    ReadAhead(macro.Message(), context);
    context.choose = [this](std::size_t choices) {
        if (!random_) random_.emplace(std::random_device{}());
        return std::uniform_int_distribution<std::size_t>(0, choices - 1)(*random_);
    };
    const std::vector<std::u16string> questions = QuestionsOf(macro.Message());
    if (!questions.empty() && host_.showTool) host_.showTool();
    for (const std::u16string& question : questions) {
        std::optional<std::u16string> answer =
            AskForAnswer(host_.window, host_.instance, macro.Title(), question);
        if (!answer) return std::nullopt;
        context.answers.emplace(question, std::move(*answer));
    }
    return context;
}

bool MacroTokens::Said(const MacroPlace& place, const Macro& macro) {
    if (!HoldsToken(macro.Message(), TokenKind::Count)) return false;
    const std::optional<FileMacros> file = FileOf(place.file);
    if (!file) return false;
    counters_.Said(*file, place.position);
    Changed();
    return true;
}

void MacroTokens::ResetCount(const MacroPlace& place) {
    const std::optional<FileMacros> file = FileOf(place.file);
    if (!file) return;
    counters_.Reset(*file, place.position);
    late_.NextAtOnce();  // the player asked for it
    Changed();
}

// At most once a minute: a player saying a counted macro every few seconds
// does not rewrite the settings file each time.
void MacroTokens::Changed() {
    if (!CountersKept() || !host_.save) return;
    late_.Changed();
}

bool MacroTokens::HandleTimer(WPARAM id) {
    return late_.HandleTimer(id);
}

}  // namespace kiv
