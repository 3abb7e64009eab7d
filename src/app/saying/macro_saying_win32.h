#pragma once

// Saying macros to the game: the selected one (発言, a double click, Enter),
// then the next (発言して次へ), one by its own hotkey, and the steps through
// the list the hotkeys 前へ and 次へ take: through the rows shown, which are
// fewer while the user finds a macro. One delivery at a time; the clicks
// and keys that waited meanwhile are dropped. Windows only.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/common/holds.h"
#include "app/common/tool_menu.h"
#include "app/finding/title_list_win32.h"
#include "app/macro_file/shown_macro_file_win32.h"
#include "app/notices/brief_tip_win32.h"
#include "app/notices/notice_board_win32.h"
#include "app/saying/list_selection.h"
#include "app/tokens/macro_tokens_win32.h"
#include "macro/delivery.h"
#include "platform/pixel_rect.h"
#include "platform/window_system_win32.h"
#include "settings/options.h"

namespace kiv {

// A macro to say, from a tab that may talk to one client by its title.
struct TabMacro {
    Macro macro;
    std::u16string tab;     // the tab's name, for telling
    std::u16string client;  // empty: where the tool's choice sends it
    // Which macro of which file it is, for counting its sayings: the file's
    // path and its position there, from 1 (0: not known).
    std::u16string file;
    std::size_t position = 0;
};

class MacroSaying {
  public:
    struct Host {
        HWND window = nullptr;
        HWND list = nullptr;          // the list box of titles, whose selection is said
        TitleList* titles = nullptr;  // which macro each of its rows is
        // The macros of the file shown (a tab's).
        std::function<const MacroList&()> shownList;
        // The shown tab's name and client, as a TabMacro gives them.
        std::function<TabMacro(Macro macro)> fromShownTab;
        // The macro a macro's own key of `title` says (the shown tab's, else
        // the first tab's from the left); none when no open file has the title.
        std::function<std::optional<TabMacro>(const std::u16string& title)> keyMacro;
        NoticeBoard* notices = nullptr;
        std::function<Holds()> holds;
        // The player chose where macros go: that client's title, or empty
        // for 自動, to be remembered.
        std::function<void(const std::u16string& title)> targetChosen;
        // Names the client 次のクライアント chose; flashes one chosen in 送信先.
        BriefTip* tip = nullptr;
        // A macro was said: its first line went out.
        std::function<void(const TabMacro& said)> said;
        // What a macro's lines are filled in from.
        MacroTokens* tokens = nullptr;
        // The window's timer that ends a <wait.N> between a macro's lines.
        UINT_PTR waitTimer = 0;
    };
    MacroSaying() = default;
    MacroSaying(const MacroSaying&) = delete;
    MacroSaying& operator=(const MacroSaying&) = delete;
    ~MacroSaying();
    // Also starts noting which game client the player uses.
    void Attach(Host host);

    bool Delivering() const { return delivering_; }
    // A macro waits before its next line (the tool answers meanwhile).
    bool Waiting() const { return waiting_ != nullptr; }
    // The wait's timer: the macro goes on. False for another timer.
    bool HandleTimer(WPARAM id);
    // Input that waited in the queue while a macro was delivered: to be dropped.
    bool QueuedDuringDelivery(const MSG& message) const;
    // Enter held down in the window (the list, a button, the find box): its
    // repeats, to be dropped, so that one press says one macro.
    static bool EnterHeld(const MSG& message);

    // Nothing when nothing was selected (or a delivery is under way).
    std::optional<DeliveryOutcome> Say();
    void SayNext();
    // From a global hotkey: the game keeps the focus.
    void RunHotkey(HotkeyAction action);
    void SayTitled(const std::u16string& title);
    // A macro chosen elsewhere (the palette), where every other is said:
    // its tab's client, else the one chosen, else the one used last.
    std::optional<DeliveryOutcome> SayMacro(const TabMacro& said);
    // 送信先's items as the menu opens: 自動, then each game client running
    // now (kept for the choice), the one ticked, and why the title
    // remembered chose none.
    SendToMenu OfferClients();
    // The titles of the game clients running now, each once, in 送信先's order.
    std::vector<std::u16string> RunningClientTitles();
    // An item of the last offer; 0: 自動. A client chosen flashes its
    // taskbar button.
    void ChooseOffered(std::size_t item);
    // At start-up: the title remembered, for a client of it running now or
    // started later.
    void ChooseRemembered(const std::u16string& title);
    // A window came to the foreground: a game client's is the one used last.
    // The foreground hook's; Wine sends no other process's foreground
    // events, so its tests call this themselves.
    void CameForward(HWND window);
    // The palette opens over `inFront`: a game client's window is the one
    // used last, as if the hook had told it, and where macros go now, its
    // chat input's place on the screen; none for any other window.
    std::optional<PixelRect> ChatInputInFront(HWND inFront);

  private:
    static void CALLBACK ForegroundChanged(HWINEVENTHOOK hook, DWORD event, HWND window,
                                           LONG object, LONG child, DWORD thread, DWORD time);
    // The chosen client as a sentence names it; empty for 自動.
    std::u16string ChosenName() const;
    // The chosen client gone: the player is told.
    void TellClientExited(const std::u16string& client, bool macroDropped);
    // 次のクライアント: the target moves on, the player in the game is told
    // where, and no window comes forward.
    void ChooseNextClient();
    // A hotkey's say with no macro selected: told; true then.
    bool NothingSelectedTold() const;
    void MoveSelection(Step step);
    DeliveryOutcome Deliver(const TabMacro& said);
    // Sends the lines up to the next wait, or to the end: then tells what
    // became of the macro.
    DeliveryOutcome GoOn(std::unique_ptr<Delivery> delivery);
    // A saying while a macro waits lets the rest of that one go, and says
    // nothing itself: the player is told. True when one waited.
    bool WithdrawWaiting();
    // The client a tab talks to, of those running: told and none when no
    // client or more than one has its title.
    std::optional<GameClient> TabClient(const TabMacro& said);
    int Selected() const;
    int Count() const;
    void Select(int entry) const;

    Host host_;
    Win32WindowSystem windowSystem_;
    ClientTarget target_;
    HWINEVENTHOOK foregroundHook_ = nullptr;
    std::vector<GameClient> offered_;
    bool delivering_ = false;
    // The macro waiting before its next line, the one said, to what client,
    // and whether its first line was counted.
    std::unique_ptr<Delivery> waiting_;
    TabMacro said_;
    std::optional<GameClient> saidTo_;
    bool saidCounted_ = false;
    std::optional<DWORD> deliveryEndedAt_;  // tick count when the last one ended
};

}  // namespace kiv
