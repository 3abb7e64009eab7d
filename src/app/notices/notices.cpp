#include "app/notices/notices.h"

#include <algorithm>

namespace kiv {

void PendingNotices::Add(Notice notice) {
    Drop(notice.kind);
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
    std::u16string text = u"マクロファイル「" + file +
                          u"」を書き換える途中で止まったときのファイルが、そばに残っています。\n\n";
    for (const std::u16string& path : leftovers) {
        text += path;
        if (path.find(u".kivmacro-old-") != std::u16string::npos) {
            text += u" (変更前の内容)";
        } else if (path.find(u".kivmacro-new-") != std::u16string::npos) {
            text += u" (変更後の内容。最後まで書けていないことがあります)";
        }
        text += u"\n";
    }
    text +=
        u"\nマクロファイルに必要なマクロがないときは、これらをメモ帳などで開いて確かめてください。"
        u"このツールはこれらのファイルを消しません。要らなければ削除してください。";
    return text;
}

void OfferToRunAsAdministrator(NoticePort& port, const std::u16string& client) {
    // Named, since with several clients running only some may be elevated.
    const std::u16string game = client.empty() ? u"ゲーム" : u"ゲームクライアント" + client;
    if (port.IsElevated()) {
        port.Tell(u"Windows が" + game + u"への発言を止めました。" +
                  (client.empty() ? u"ゲーム" : u"そのクライアント") +
                  u"がこのツールより高い権限で動いているためです。");
        return;
    }
    // The new copy reads the settings as they are now (the window's place,
    // the macro file chosen during this run) and takes the hotkeys over.
    port.SaveSettings();
    port.ReleaseHotkeys();
    const bool yes = port.AskYesNo(
        game +
        u"が管理者として実行されていて、このツールは管理者として実行されていないため、"
        u"Windows が発言を止めました。\n\nこのツールを管理者として起動し直しますか?");
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
            port.Tell(u"管理者として起動し直せませんでした。\n\n" + reason);
            return;
    }
}

}  // namespace kiv
