#include "app/saying/macro_saying_win32.h"

#include <map>

#include "app/common/app_texts.h"
#include "app/common/key_press.h"
#include "app/saying/cut_short.h"
#include "platform/ansi_text.h"
#include "platform/local_clock.h"
#include "platform/window_counts_win32.h"

namespace kiv {
namespace {

// Each window's saying, by its hook: the hook's events come to the thread
// that made it, with nothing of the caller's but the hook.
std::map<HWINEVENTHOOK, MacroSaying*>& Watching() {
    static std::map<HWINEVENTHOOK, MacroSaying*> watching;
    return watching;
}

enum class ClientWindow { None, Main, Log };

ClientWindow ClientWindowKind(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (name == ClientNames().mainClass) return ClientWindow::Main;
    if (name != ClientNames().logClass) return ClientWindow::None;
    // The stored caption: no message goes to a client that may hang.
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    return caption == ClientNames().logName ? ClientWindow::Log : ClientWindow::None;
}

std::u16string InText(const GameClient& client) {
    return ClientInText(FromAnsi(client.title), client.process, client.startOrder);
}

// The window whose taskbar button is the client's.
HWND ButtonWindowOf(const GameClient& client) {
    return reinterpret_cast<HWND>(client.main != kNoWindow ? client.main : client.log);
}

}  // namespace

void MacroSaying::Attach(Host host) {
    host_ = std::move(host);
    if (foregroundHook_ != nullptr) return;
    // Out of context: told through this thread's queue, never inside the
    // client; the tool's own windows are no client.
    foregroundHook_ =
        SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                        ForegroundChanged, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (foregroundHook_ != nullptr) Watching()[foregroundHook_] = this;
}

MacroSaying::~MacroSaying() {
    if (foregroundHook_ == nullptr) return;
    UnhookWinEvent(foregroundHook_);
    Watching().erase(foregroundHook_);
}

void CALLBACK MacroSaying::ForegroundChanged(HWINEVENTHOOK hook, DWORD event, HWND window,
                                             LONG object, LONG, DWORD, DWORD) {
    const auto self = Watching().find(hook);
    if (self != Watching().end() && event == EVENT_SYSTEM_FOREGROUND && object == OBJID_WINDOW) {
        self->second->CameForward(window);
    }
}

void MacroSaying::CameForward(HWND window) {
    const ClientWindow kind = window != nullptr ? ClientWindowKind(window) : ClientWindow::None;
    DWORD process = 0;
    if (kind == ClientWindow::None || GetWindowThreadProcessId(window, &process) == 0 ||
        process == 0) {
        return;
    }
    GameClient used;
    used.process = process;
    used.started = windowSystem_.StartTimeOf(process);
    (kind == ClientWindow::Main ? used.main : used.log) = reinterpret_cast<WindowHandle>(window);
    target_.Used(used);
}

std::optional<PixelRect> MacroSaying::ChatInputInFront(HWND inFront) {
    CameForward(inFront);
    DWORD process = 0;
    if (inFront == nullptr || ClientWindowKind(inFront) == ClientWindow::None ||
        GetWindowThreadProcessId(inFront, &process) == 0) {
        return std::nullopt;
    }
    for (const GameClient& client : FindGameClients(windowSystem_)) {
        if (client.process != process) continue;
        // Another client chosen in 送信先 gets the macro: this one's input is not where it goes.
        if (target_.Chosen() && !SameClient(*target_.Chosen(), client)) return std::nullopt;
        const HWND log = reinterpret_cast<HWND>(client.log);
        const HWND input =
            log != nullptr ? FindWindowExA(log, nullptr, ClientNames().editClass.c_str(), nullptr)
                           : nullptr;
        RECT rect{};
        if (input == nullptr || !IsWindowVisible(input) || !GetWindowRect(input, &rect)) {
            return std::nullopt;
        }
        return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
    }
    return std::nullopt;
}

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

bool MacroSaying::EnterHeld(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
           IsHeldKeyRepeat(static_cast<std::uintptr_t>(message.lParam));
}

int MacroSaying::Selected() const {
    return static_cast<int>(SendMessageW(host_.list, LB_GETCURSEL, 0, 0));
}

int MacroSaying::Count() const {
    return static_cast<int>(host_.titles->Rows().Count());
}

void MacroSaying::Select(int entry) const {
    if (entry >= 0) host_.titles->Select(entry);
}

std::optional<DeliveryOutcome> MacroSaying::Say() {
    if (host_.holds().Any(Hold::Delivering)) return std::nullopt;
    if (WithdrawWaiting()) return DeliveryOutcome::Withdrawn;
    const std::optional<std::size_t> macro = host_.titles->Rows().MacroAt(Selected());
    const MacroList& shown = host_.shownList();
    if (!macro || *macro >= shown.Count()) return std::nullopt;
    TabMacro said = host_.fromShownTab ? host_.fromShownTab(shown.Item(*macro + 1))
                                       : TabMacro{shown.Item(*macro + 1), {}, {}, {}, 0};
    said.file = shown.FileName();
    said.position = *macro + 1;
    return Deliver(said);
}

std::optional<DeliveryOutcome> MacroSaying::SayMacro(const TabMacro& said) {
    if (host_.holds().Any(Hold::KeysFree | Hold::Delivering | Hold::Dialog)) return std::nullopt;
    return Deliver(said);
}

std::optional<GameClient> MacroSaying::TabClient(const TabMacro& said) {
    // Exactly, or not at all: a best-fit look-alike would name another client.
    const std::optional<std::string> title = ToAnsiExactly(said.client);
    const std::vector<GameClient> titled =
        title ? ClientsTitled(FindGameClients(windowSystem_), *title) : std::vector<GameClient>{};
    if (titled.size() == 1) return titled.front();
    host_.notices->Notify(
        {NoticeKind::TabClientNotOne,
         Fill(titled.empty() ? texts::kTabClientNotRunning : texts::kTabClientShared,
              {said.tab, said.client, said.macro.Title()})});
    return std::nullopt;
}

DeliveryOutcome MacroSaying::Deliver(const TabMacro& said) {
    if (WithdrawWaiting()) return DeliveryOutcome::Withdrawn;
    // A tab's client is that one or none: never the tool's choice in its place.
    std::optional<GameClient> bound;
    if (!said.client.empty() && !(bound = TabClient(said))) {
        return DeliveryOutcome::TabClientNotOne;
    }
    // A box of questions inside the menu's own loop would be left under it.
    if (host_.holds().Any(Hold::Menu) && !QuestionsOf(said.macro.Message()).empty()) {
        if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kNotAskedUnderMenu));
        return DeliveryOutcome::Withdrawn;
    }
    // Asked before anything is sent; cancelled, nothing is.
    std::optional<FillContext> context =
        host_.tokens != nullptr ? host_.tokens->SayingOf({said.file, said.position}, said.macro)
                                : FillContext{LocalTimeOfDay};
    if (!context) return DeliveryOutcome::Withdrawn;
    std::optional<GameClient> to = bound;
    if (!bound) {
        // Read first: a chosen client that exited is forgotten by the taking.
        const std::u16string chosen = ChosenName();
        const ClientTarget::Pick pick = target_.Take(FindGameClients(windowSystem_));
        if (pick.chosenExited) {
            window_counts::Add(host_.window, window_counts::kDeliveries);
            TellClientExited(chosen, true);
            return DeliveryOutcome::ChosenExited;
        }
        to = pick.client;
    }
    said_ = said;
    saidTo_ = to;
    saidCounted_ = false;
    return GoOn(std::make_unique<Delivery>(said.macro, windowSystem_, std::move(*context), to));
}

DeliveryOutcome MacroSaying::GoOn(std::unique_ptr<Delivery> delivery) {
    delivering_ = true;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    const std::optional<std::chrono::milliseconds> wait = delivery->Go();
    SetCursor(previous);
    delivering_ = false;
    deliveryEndedAt_ = GetTickCount();
    const DeliveryReport& report = delivery->Report();
    if (!saidCounted_ && delivery->FirstLineSent()) {
        saidCounted_ = true;
        if (host_.said) host_.said(said_);
    }
    // The tool answers while the macro waits; the window's timer goes on.
    if (wait &&
        SetTimer(host_.window, host_.waitTimer, static_cast<UINT>(wait->count()), nullptr) != 0) {
        waiting_ = std::move(delivery);
        return report.outcome;
    }
    if (wait) {
        // No timer to go on with: the rest is let go, and the player told.
        delivery->LetRestGo();
        if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kRestWithdrawn));
    }
    window_counts::Add(host_.window, window_counts::kDeliveries);
    const std::u16string taken = saidTo_ ? InText(*saidTo_) : u"";
    if (report.outcome == DeliveryOutcome::Refused) {
        host_.notices->Notify({NoticeKind::SendRefused, taken});
    }
    if (report.outcome == DeliveryOutcome::NotAnswering) {
        host_.notices->Notify(
            {NoticeKind::MacroCutShort, CutShortText(taken, said_.macro.Title(), report.lines)});
    }
    return report.outcome;
}

bool MacroSaying::HandleTimer(WPARAM id) {
    if (id != host_.waitTimer || host_.waitTimer == 0) return false;
    KillTimer(host_.window, host_.waitTimer);
    std::unique_ptr<Delivery> going = std::move(waiting_);
    if (going && !host_.holds().Any(Hold::ShuttingDown)) GoOn(std::move(going));
    return true;
}

bool MacroSaying::WithdrawWaiting() {
    if (!waiting_) return false;
    KillTimer(host_.window, host_.waitTimer);
    waiting_->LetRestGo();
    waiting_.reset();
    window_counts::Add(host_.window, window_counts::kDeliveries);
    if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kRestWithdrawn));
    return true;
}

std::u16string MacroSaying::ChosenName() const {
    const std::optional<GameClient>& chosen = target_.Chosen();
    return chosen ? InText(*chosen) : u"";
}

// The title stays remembered: a client of it started again is the target,
// already where one runs.
void MacroSaying::TellClientExited(const std::u16string& client, bool macroDropped) {
    const std::u16string next = target_.Chosen() ? Fill(texts::kTargetStartedAgain, {ChosenName()})
                                                 : std::u16string(texts::kTargetAutomaticAgain);
    host_.notices->Notify({NoticeKind::ClientExited,
                           Fill(texts::kClientExited, {client}) +
                               std::u16string(macroDropped ? texts::kMacroNotSent : u"") + next});
}

SendToMenu MacroSaying::OfferClients() {
    const std::vector<GameClient> running = FindGameClients(windowSystem_);
    // The menu would tick 自動 over a target that is gone, and the next say
    // would still go nowhere.
    const std::u16string chosen = ChosenName();
    if (target_.Look(running)) TellClientExited(chosen, false);
    offered_ = InNameOrder(running);
    if (offered_.size() >= kMostSendToItems) offered_.resize(kMostSendToItems - 1);
    SendToMenu offer{{std::u16string(texts::kAutomaticTargetItem)}, 0, {}};
    for (const GameClient& client : offered_) {
        if (target_.Chosen() && SameClient(*target_.Chosen(), client)) {
            offer.ticked = offer.items.size();
        }
        offer.items.push_back(
            SendToItemText(FromAnsi(client.title), client.process, client.startOrder));
    }
    if (target_.RememberedShared(running)) {
        offer.note = RememberedTitleSharedNote(FromAnsi(target_.Remembered()));
    }
    return offer;
}

std::vector<std::u16string> MacroSaying::RunningClientTitles() {
    std::vector<std::u16string> titles;
    for (const GameClient& client : InNameOrder(FindGameClients(windowSystem_))) {
        std::u16string title = FromAnsi(client.title);
        if (std::find(titles.begin(), titles.end(), title) == titles.end()) {
            titles.push_back(std::move(title));
        }
    }
    return titles;
}

void MacroSaying::ChooseOffered(std::size_t item) {
    if (item > offered_.size()) return;
    const std::optional<GameClient> client =
        item == 0 ? std::nullopt : std::optional(offered_[item - 1]);
    target_.Choose(client);
    if (host_.targetChosen) host_.targetChosen(client ? FromAnsi(client->title) : u"");
    // Which of the game's windows that is, where several share a title.
    if (client && host_.tip != nullptr) host_.tip->Flash(ButtonWindowOf(*client));
}

void MacroSaying::ChooseRemembered(const std::u16string& title) {
    target_.Remember(ToAnsi(title), FindGameClients(windowSystem_));
}

void MacroSaying::SayNext() {
    if (host_.holds().Any(Hold::Delivering)) return;
    // Refused, sent nowhere or cut short, the macro was not said whole: the
    // user is told about that one.
    const std::optional<DeliveryOutcome> said = Say();
    if (said == DeliveryOutcome::Refused || said == DeliveryOutcome::ChosenExited ||
        said == DeliveryOutcome::Withdrawn || said == DeliveryOutcome::NotAnswering ||
        said == DeliveryOutcome::TabClientNotOne || host_.holds().Any(Hold::ShuttingDown)) {
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
            if (!WithdrawWaiting() && !NothingSelectedTold()) Say();
            return;
        case HotkeyAction::SayNext:
            // Nor moves on: the next press would say a macro never chosen.
            if (!WithdrawWaiting() && !NothingSelectedTold()) SayNext();
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
        case HotkeyAction::PreviousFile:
        case HotkeyAction::NextFile:
        case HotkeyAction::Palette:
            return;  // the macro file's (FileStepOf) and the palette's
    }
}

// Nothing selected (the macro that was went with a reload, say): the player,
// in the game, is told by the list why nothing came.
bool MacroSaying::NothingSelectedTold() const {
    if (host_.titles->Rows().MacroAt(Selected())) return false;
    if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kNothingSelected));
    return true;
}

void MacroSaying::ChooseNextClient() {
    const std::optional<GameClient> next = target_.ChooseNext(FindGameClients(windowSystem_));
    if (!next) {
        if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kNoClientRunning));
        return;
    }
    const std::u16string title = FromAnsi(next->title);
    if (host_.targetChosen) host_.targetChosen(title);
    if (host_.tip != nullptr) {
        host_.tip->Show(
            Fill(texts::kTargetIs, {ClientName(title, next->process, next->startOrder)}),
            ButtonWindowOf(*next));
    }
}

// As 発言 does, the game brought to the front; the selection stays. A title
// no macro has any more says nothing.
void MacroSaying::SayTitled(const std::u16string& title) {
    if (host_.holds().Any(Hold::KeysFree | Hold::Delivering | Hold::Dialog)) return;
    if (const std::optional<TabMacro> said = host_.keyMacro(title)) Deliver(*said);
}

void MacroSaying::MoveSelection(Step step) {
    if (host_.holds().Any(Hold::Delivering)) return;
    Select(SelectionAfterStep(Selected(), Count(), step));
}

}  // namespace kiv
