#include "app/macro_file/auto_reload.h"

#include <algorithm>

namespace kiv {

void AutoReload::Loaded(std::optional<FileStamp> stamp) {
    loaded_ = stamp;
    failures_ = 0;
    failingForMs_ = 0;
    told_ = false;
    waitedForEmpty_ = false;
}

AutoReload::Step AutoReload::Settled(std::optional<FileStamp> stamp, bool showing) {
    if (!stamp || stamp == loaded_) return Step::Nothing;
    if (stamp->size == 0 && showing && !waitedForEmpty_) {
        waitedForEmpty_ = true;
        return Step::WaitAgain;
    }
    return Step::Reload;
}

AutoReload::Retry AutoReload::ReloadFailed(Failure why) {
    Retry retry;
    if (why == Failure::Gone) return retry;
    if (why == Failure::Held) {
        const unsigned wait =
            failures_ >= 3 ? kMostRetryMs : std::min(kFirstRetryMs << failures_, kMostRetryMs);
        ++failures_;
        retry.afterMs = wait;
        retry.tell = !told_ && failingForMs_ >= kTellAfterMs;
        failingForMs_ += wait;
    } else {
        retry.tell = !told_;
    }
    told_ = told_ || retry.tell;
    return retry;
}

std::optional<ChosenMacro> ChosenIn(const MacroList& list, int selected) {
    if (selected < 0 || static_cast<std::size_t>(selected) >= list.Count()) return std::nullopt;
    const auto position = static_cast<std::size_t>(selected) + 1;
    ChosenMacro chosen{std::u16string(list.Title(position)),
                       std::u16string(list.Message(position))};
    for (std::size_t at = 1; at < position; ++at) {
        if (list.Title(at) == chosen.title && list.Message(at) == chosen.message) {
            ++chosen.alikeAbove;
        }
    }
    return chosen;
}

int FoundAgain(const ChosenMacro& chosen, const MacroList& list) {
    std::size_t alike = chosen.alikeAbove;
    for (std::size_t at = 1; at <= list.Count(); ++at) {
        if (list.Title(at) == chosen.title && list.Message(at) == chosen.message && alike-- == 0) {
            return static_cast<int>(at) - 1;
        }
    }
    return -1;
}

}  // namespace kiv
