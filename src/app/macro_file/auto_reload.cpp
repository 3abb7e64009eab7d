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

int SelectionAfterReload(const MacroList& before, int selected, const MacroList& after) {
    if (selected < 0 || static_cast<std::size_t>(selected) >= before.Count()) return -1;
    const auto position = static_cast<std::size_t>(selected) + 1;
    const auto same = [&](const MacroList& list, std::size_t at) {
        return list.Title(at) == before.Title(position) &&
               list.Message(at) == before.Message(position);
    };
    std::size_t alike = 0;  // like it, above it
    for (std::size_t at = 1; at < position; ++at) alike += same(before, at) ? 1 : 0;
    for (std::size_t at = 1; at <= after.Count(); ++at) {
        if (same(after, at) && alike-- == 0) return static_cast<int>(at) - 1;
    }
    return -1;
}

}  // namespace kiv
