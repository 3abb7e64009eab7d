#include "app/notices/notices.h"

#include <algorithm>

#include "app/common/app_texts.h"

namespace kiv {

void PendingNotices::Add(Notice notice) {
    if (notice.kind != NoticeKind::MacroCutShort) Drop(notice.kind);
    pending_.push_back(std::move(notice));
}

void PendingNotices::Drop(NoticeKind kind) {
    std::erase_if(pending_, [kind](const Notice& notice) { return notice.kind == kind; });
}

void PendingNotices::ShowWhenLooking(NoticePort& port) {
    if (pending_.empty()) return;
    if (!port.CanAskNow()) {
        port.FlashTaskbarButton();
        return;
    }
    while (!pending_.empty()) {
        const Notice notice = std::move(pending_.front());
        pending_.pop_front();
        if (notice.kind == NoticeKind::SendRefused) {
            OfferToRunAsAdministrator(port, notice.text);
        } else {
            port.Tell(notice.text);
        }
    }
}

std::u16string LeftoverSideFilesText(const std::u16string& file,
                                     const std::vector<std::u16string>& leftovers) {
    std::u16string text = Fill(texts::kLeftoverSideFiles, {file});
    for (const std::u16string& path : leftovers) {
        text += path;
        if (path.find(u".kivmacro-old-") != std::u16string::npos) {
            text += texts::kOldSideFile;
        } else if (path.find(u".kivmacro-new-") != std::u16string::npos) {
            text += texts::kNewSideFile;
        }
        text += u"\n";
    }
    text += texts::kLookAtSideFiles;
    return text;
}

void OfferToRunAsAdministrator(NoticePort& port, const std::u16string& client) {
    // Named, since with several clients running only some may be elevated.
    const std::u16string game =
        client.empty() ? std::u16string(texts::kTheGame) : Fill(texts::kTheGameClient, {client});
    if (port.IsElevated()) {
        port.Tell(Fill(texts::kSayingBlockedElevated,
                       {game, client.empty() ? texts::kTheGame : texts::kThatClient}));
        return;
    }
    // The new copy reads the settings as they are now (the window's place,
    // the macro file chosen during this run) and takes the hotkeys over.
    port.SaveSettings();
    port.ReleaseHotkeys();
    const bool yes = port.AskYesNo(Fill(texts::kRunAsAdministrator, {game}));
    if (!yes) {
        port.RegisterHotkeysAgain();
        return;
    }
    std::u16string reason;
    switch (port.RelaunchAsAdministrator(reason)) {
        case Relaunch::Started:
            port.CloseWindow();
            return;
        case Relaunch::Declined:
            port.RegisterHotkeysAgain();
            return;
        case Relaunch::Failed:
            port.RegisterHotkeysAgain();
            port.Tell(Fill(texts::kRelaunchFailed, {reason}));
            return;
    }
}

}  // namespace kiv
