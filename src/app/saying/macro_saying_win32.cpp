#include "app/saying/macro_saying_win32.h"

#include "platform/ansi_text.h"
#include "platform/local_clock.h"
#include "platform/window_counts_win32.h"

namespace kiv {

// Clicks, keys and hotkeys that waited in the queue while a macro was
// delivered were aimed at a window that could not react; acted on now, an
// impatient second click would say the macro again, or the next one.
// Only what starts something: a button or key let go still reaches the
// control that took the press, or it would hold the mouse.
bool MacroSaying::QueuedDuringDelivery(const MSG& message) const {
    bool input = false;
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_HOTKEY:
        case BM_CLICK:
            input = true;
            break;
        default:
            break;
    }
    return input && deliveryEndedAt_ &&
           static_cast<LONG>(static_cast<DWORD>(message.time) - *deliveryEndedAt_) < 0;
}

int MacroSaying::Selected() const {
    return static_cast<int>(SendMessageW(host_.list, LB_GETCURSEL, 0, 0));
}

int MacroSaying::Count() const {
    return static_cast<int>(host_.finder->Rows().Count());
}

void MacroSaying::Select(int entry) const {
    if (entry >= 0) host_.finder->Select(entry);
}

std::optional<DeliveryOutcome> MacroSaying::Say() {
    if (host_.holds().Any(Hold::Delivering)) return std::nullopt;
    const std::optional<std::size_t> macro = host_.finder->Rows().MacroAt(Selected());
    if (!macro || *macro >= host_.file->List().Count()) return std::nullopt;
    return Deliver(*macro + 1);
}

DeliveryOutcome MacroSaying::Deliver(std::size_t position) {
    delivering_ = true;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    // Read first: a chosen client that exited is forgotten by the delivery.
    const std::u16string chosenTitle = FromAnsi(target_.ChosenTitle());
    const DeliveryOutcome outcome =
        kiv::Deliver(host_.file->List().Item(position), windowSystem_, LocalTimeOfDay, target_);
    SetCursor(previous);
    delivering_ = false;
    deliveryEndedAt_ = GetTickCount();
    window_counts::Add(host_.window, window_counts::kDeliveries);
    if (outcome == DeliveryOutcome::Refused) {
        const std::optional<GameClient>& client = target_.LastTaken();
        host_.notices->Notify(
            {NoticeKind::SendRefused,
             client ? ClientName(FromAnsi(client->title), client->process) : u""});
    }
    if (outcome == DeliveryOutcome::ChosenExited) {
        // Not to be the target at the next start either: the player was told 自動.
        if (host_.targetChosen) host_.targetChosen(u"");
        host_.notices->Notify(
            {NoticeKind::Problem, u"送信先に選んだゲームクライアント「" + chosenTitle +
                                      u"」は終了しています。マクロは送られていません。"
                                      u"\n\n送信先は「自動」に戻しました。"});
    }
    return outcome;
}

SendToMenu MacroSaying::OfferClients() {
    offered_ = InNameOrder(FindGameClients(windowSystem_));
    if (offered_.size() >= kMostSendToItems) offered_.resize(kMostSendToItems - 1);
    SendToMenu offer{{u"自動"}, 0};
    for (const GameClient& client : offered_) {
        if (target_.Chosen() == client.process) offer.ticked = offer.items.size();
        offer.items.push_back(SendToItemText(FromAnsi(client.title), client.process));
    }
    return offer;
}

void MacroSaying::ChooseOffered(std::size_t item) {
    if (item > offered_.size()) return;
    if (item == 0) {
        target_.Choose(std::nullopt);
    } else {
        target_.Choose(offered_[item - 1].process, offered_[item - 1].title);
    }
    if (host_.targetChosen)
        host_.targetChosen(item == 0 ? u"" : FromAnsi(offered_[item - 1].title));
}

void MacroSaying::ChooseRemembered(const std::u16string& title) {
    target_.ChooseRemembered(ToAnsi(title), FindGameClients(windowSystem_));
}

void MacroSaying::SayNext() {
    if (host_.holds().Any(Hold::Delivering)) return;
    // Refused or sent nowhere, the macro was not said: the user is told
    // about that one.
    const std::optional<DeliveryOutcome> said = Say();
    if (said == DeliveryOutcome::Refused || said == DeliveryOutcome::ChosenExited ||
        host_.holds().Any(Hold::ShuttingDown)) {
        return;
    }
    Select(SelectionAfterSayNext(Selected(), Count()));
}

// Not under the hotkey dialog, a message box or the Open dialog: each
// returns to a state a macro said meanwhile would have changed.
void MacroSaying::RunHotkey(HotkeyAction action) {
    if (host_.holds().Any(Hold::KeysFree | Hold::Dialog)) return;
    switch (action) {
        case HotkeyAction::Say:
            Say();
            return;
        case HotkeyAction::SayNext:
            SayNext();
            return;
        case HotkeyAction::Previous:
            MoveSelection(Step::Previous);
            return;
        case HotkeyAction::Next:
            MoveSelection(Step::Next);
            return;
        case HotkeyAction::NextClient:
            ChooseNextClient();
            return;
    }
}

void MacroSaying::ChooseNextClient() {
    const std::optional<GameClient> next = target_.ChooseNext(FindGameClients(windowSystem_));
    if (!next) {
        if (host_.tip != nullptr) host_.tip->Show(u"送信先: ゲームクライアントが起動していません");
        return;
    }
    const std::u16string title = FromAnsi(next->title);
    if (host_.targetChosen) host_.targetChosen(title);
    if (host_.tip != nullptr) {
        host_.tip->Show(u"送信先: " + ClientName(title, next->process),
                        reinterpret_cast<HWND>(next->main != kNoWindow ? next->main : next->log));
    }
}

// As 発言 does, the game brought to the front; the selection stays. A title
// no macro has any more says nothing.
void MacroSaying::SayTitled(const std::u16string& title) {
    if (host_.holds().Any(Hold::KeysFree | Hold::Delivering | Hold::Dialog)) return;
    if (const auto position = host_.file->List().FirstTitled(title)) Deliver(*position);
}

void MacroSaying::MoveSelection(Step step) {
    if (host_.holds().Any(Hold::Delivering)) return;
    Select(SelectionAfterStep(Selected(), Count(), step));
}

}  // namespace kiv
