#include "app/auto_reload.h"

namespace kiv {

void AutoReload::Loaded(std::optional<FileStamp> stamp) {
    loaded_ = stamp;
    failures_ = 0;
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

AutoReload::Step AutoReload::ReloadFailed() {
    if (++failures_ < kTries) return Step::WaitAgain;
    if (told_) return Step::Nothing;
    told_ = true;
    return Step::Tell;
}

int SelectionAfterReload(int selected, int count) {
    if (selected < 0 || count <= 0) return -1;
    return selected < count ? selected : count - 1;
}

}  // namespace kiv
