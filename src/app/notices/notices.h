#pragma once

// What the tool has to tell or ask that the user did not ask for: a reload
// that failed, hotkeys another program holds, a send Windows refused. Never
// popped up over the game: a message box there takes the foreground (a
// full-screen game drops to the taskbar) or waits unseen behind it while the
// disabled window swallows every hotkey. So it is shown at once only when
// the tool is in front; otherwise the taskbar button flashes and it waits
// until the user brings the tool forward. Portable: the window supplies the
// steps (NoticePort).

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/relaunch.h"

namespace kiv {

enum class NoticeKind {
    ReloadFailed,        // the macro file changed and cannot be read
    ReadMidSave,         // the macro file changed all through its readings
    HotkeysRefused,      // keys another program holds
    SettingsUnsavable,   // the settings file's path cannot be held in CP932
    SettingsUnreadable,  // the settings file was there but could not be read at start-up
    SendRefused,         // Windows refused the messages to the game: offer to run as administrator
    Problem,             // what went wrong while the user looked elsewhere (after a drop)
    LeftoverFiles,       // side files an interrupted write of the macro file left
    ClientExited,        // the game client chosen as the target has exited
    RecentFileGone,      // a macro file used lately is no longer there
    MacroCutShort,       // the game client stopped answering partway through a macro
    TabClientNotOne,     // no client, or more than one, has the title a tab talks to
    TabFileGone,         // a tab's macro file was not there at start-up
};

struct Notice {
    NoticeKind kind;
    std::u16string text;  // what is told; for SendRefused, the client as ClientInText names it
    friend bool operator==(const Notice&, const Notice&) = default;
};

// The window's side of showing notices, in the order the steps are taken.
class NoticePort {
  public:
    virtual ~NoticePort() = default;
    // The user is looking at the tool: it is in front, and no dialog of its
    // own or delivery is under way.
    virtual bool CanAskNow() = 0;
    virtual void FlashTaskbarButton() = 0;
    virtual void Tell(const std::u16string& text) = 0;
    virtual bool AskYesNo(const std::u16string& text) = 0;
    virtual bool IsElevated() = 0;
    // Writes the settings, so that the new copy starts where this one is;
    // a failure is told by the port.
    virtual void SaveSettings() = 0;
    virtual void ReleaseHotkeys() = 0;
    virtual void RegisterHotkeysAgain() = 0;
    // On Failed, `reason` says why in the user's words.
    virtual Relaunch RelaunchAsAdministrator(std::u16string& reason) = 0;
    // The new copy took over: this one ends.
    virtual void CloseWindow() = 0;
};

class PendingNotices {
  public:
    // Keeps `notice` to show, in place of one of its kind not shown yet; a
    // macro cut short beside the others, each telling of its own lines.
    void Add(Notice notice);
    // Forgets the one of that kind (what it said no longer holds).
    void Drop(NoticeKind kind);
    bool Empty() const { return pending_.empty(); }
    const std::deque<Notice>& Waiting() const { return pending_; }

    // Shows every waiting notice, oldest first, if the user can be asked now;
    // otherwise flashes the taskbar button and keeps them for the next time.
    void ShowWhenLooking(NoticePort& port);

  private:
    std::deque<Notice> pending_;
};

// What is told of the side files (file_system.h) that an interrupted write
// left beside the macro file `file`: each one's full path and what it holds.
std::u16string LeftoverSideFilesText(const std::u16string& file,
                                     const std::vector<std::u16string>& leftovers);

// Windows refused the messages to the game, which runs as administrator:
// when this copy is not elevated it asks whether to start again as
// administrator. The settings are saved and the hotkeys released first (the
// new copy reads the one and takes over the other); declined or failed, the
// hotkeys are registered again. Elevated already, it only says why.
void OfferToRunAsAdministrator(NoticePort& port, const std::u16string& client = {});

}  // namespace kiv
