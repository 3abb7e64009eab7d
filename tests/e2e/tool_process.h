#pragma once

// Drives the real tool from outside, as a user's clicks would: finds its
// window and controls, sends the messages and notifications a click sends.

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ansi_text.h"
#include "platform/handle_win32.h"
#include "platform/window_counts_win32.h"
#include "standin_process.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv::e2e {

using standin::WaitFor;
using test::TextOf;

// The top-level `className` window of `process` (owned by `owner`, if given).
inline HWND FindProcessWindow(DWORD process, const wchar_t* className, HWND owner = nullptr) {
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == process && (owner == nullptr || GetWindow(window, GW_OWNER) == owner)) {
            return window;
        }
    }
    return nullptr;
}

// A window's text in another process: its own WM_GETTEXT, which Windows
// carries across (GetWindowText would not ask it).
inline std::wstring WindowText(HWND window) {
    std::vector<wchar_t> text(1024, L'\0');
    DWORD_PTR length = 0;
    if (window == nullptr ||
        !SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, 5000, &length)) {
        return L"";
    }
    return {text.data(), std::min<std::size_t>(length, text.size() - 1)};
}
// A control's; a message box's text is 0xFFFF.
inline std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// Answers `dialog` with `button` and waits until it is gone.
inline bool Dismiss(HWND dialog, int button = IDCANCEL) {
    PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return WaitFor([&] { return !IsWindow(dialog); });
}

class ToolProcess {
  public:
    // Waits until it is Ready(), but where `untilReady` is false (a message at
    // start-up holds it).
    explicit ToolProcess(const std::filesystem::path& exe, bool untilReady = true) {
        std::wstring command = L"\"" + exe.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           exe.parent_path().c_str(), &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
            pid_ = info.dwProcessId;
        }
        // The window exists a moment before its controls do.
        WaitFor([&] {
            main_ = FindProcessWindow(pid_, L"KivMacroMainWindow");
            if (main_ == nullptr) return false;
            list_ = FindWindowExW(main_, nullptr, L"ListBox", nullptr);
            say_ = FindWindowExW(main_, nullptr, L"Button", L"発言");
            sayNext_ = FindWindowExW(main_, nullptr, L"Button", L"発言して次へ");
            reload_ = FindWindowExW(main_, nullptr, L"Button", L"設定再読込");
            return list_ && say_ && sayNext_ && reload_;
        });
        if (untilReady && !Ready()) ADD_FAILURE() << "the tool never came up";
    }
    ~ToolProcess() {
        if (process_ && !Close()) TerminateProcess(process_.Get(), 1);
    }
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    HWND Main() const { return main_; }
    HWND List() const { return list_; }
    HWND SayButton() const { return say_; }
    HWND SayNextButton() const { return sayNext_; }
    HWND ReloadButton() const { return reload_; }
    DWORD Pid() const { return pid_; }

    // Waits for the window to be up and answering (after any start-up message).
    bool Ready() const {
        return WaitFor([&] {
            DWORD_PTR ignored = 0;
            return IsWindowVisible(main_) &&
                   SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 200, &ignored) != 0;
        });
    }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
        return info.hwndFocus;
    }

    // Whether what was posted to the tool before (a notice, a reading's end)
    // is handled: to test that something did not happen, which a wait cannot.
    // Not for timers, modal loops or deliveries (they answer WM_NULL inside);
    // the list needs an entry to carry the mark.
    bool Settled() {
        ++mark_;
        Send(main_, WM_NULL);  // what is being handled now, and may post, ends first
        PostMessageW(list_, LB_SETITEMDATA, 0, mark_);
        return WaitFor([&] { return Send(list_, LB_GETITEMDATA) == mark_; });
    }

    int Count() const { return static_cast<int>(Send(list_, LB_GETCOUNT)); }
    int Selected() const { return static_cast<int>(Send(list_, LB_GETCURSEL)); }
    int TopIndex() const { return static_cast<int>(Send(list_, LB_GETTOPINDEX)); }
    // Read again if the tool refilled the list meanwhile. LB_GETTEXT takes no
    // size and a refilled entry may outgrow LB_GETTEXTLEN: hence the room.
    std::vector<std::wstring> Titles() const {
        constexpr LRESULT kRoom = 4096;
        std::vector<wchar_t> buffer(kRoom + 1);
        for (;;) {
            std::vector<std::wstring> titles;
            const int count = Count();
            for (int i = 0; i < count; ++i) {
                const LRESULT length = Send(list_, LB_GETTEXTLEN, static_cast<WPARAM>(i));
                if (length < 0 || length > kRoom) break;
                const LRESULT got = Send(list_, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(buffer.data()));
                if (got < 0 || got != length) break;
                titles.emplace_back(buffer.data(), static_cast<std::size_t>(got));
            }
            if (count < 0 ||
                (titles.size() == static_cast<std::size_t>(count) && Count() == count)) {
                return titles;
            }
        }
    }
    // Whether the list comes to show `titles`.
    bool Shows(const std::vector<std::wstring>& titles,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        return WaitFor([&] { return Titles() == titles; }, timeout);
    }
    void ScrollTo(int top) const { Send(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top)); }
    std::uintptr_t CountOf(const wchar_t* name) const { return window_counts::Get(main_, name); }
    // As a click on an entry: the selection, then the notification the list sends.
    void Select(int index) const {
        Send(list_, LB_SETCURSEL, static_cast<WPARAM>(index));
        Send(main_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list_), LBN_SELCHANGE),
             reinterpret_cast<LPARAM>(list_));
    }
    void DoubleClick(int index) const {
        Select(index);
        Send(main_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list_), LBN_DBLCLK),
             reinterpret_cast<LPARAM>(list_));
    }
    // Returns once the click's action has run (a macro said, say).
    void Click(HWND button) const { Send(button, BM_CLICK); }

    // Once shown (and so captioned, if given): before, its fields may not
    // exist yet, or WM_INITDIALOG may write over what is set in them.
    HWND WaitForModal(const std::wstring& caption = L"") const {
        HWND found = nullptr;
        const bool shown = WaitFor([&] {
            found = DialogOverMain();
            return found != nullptr && IsWindowVisible(found) &&
                   (caption.empty() || TextOf(found) == caption);
        });
        return shown ? found : nullptr;
    }
    // A dialog or message box over the main window, if one is up.
    HWND DialogOverMain() const { return FindProcessWindow(pid_, L"#32770", main_); }
    // The text of the message box over `owner` (else the main window), once
    // `button` answered it and it went.
    std::wstring AnswerBox(int button = IDOK, HWND owner = nullptr) const {
        HWND box = nullptr;
        std::wstring text;
        if (!WaitFor([&] {
                box = FindProcessWindow(pid_, L"#32770", owner != nullptr ? owner : main_);
                text = box != nullptr ? ItemText(box, 0xFFFF) : L"";
                return !text.empty();
            })) {
            return L"";
        }
        EXPECT_TRUE(owner != nullptr || TextOf(box) == L"KIV 会話マクロ") << TextOf(box);
        Dismiss(box, button);
        return text;
    }
    // "設定再読込" pressed: the file dialog it opens, once it is there.
    HWND OpenFileDialog() const {
        PostMessageW(reload_, BM_CLICK, 0, 0);
        return WaitForModal();
    }

    bool Close() {
        PostMessageW(main_, WM_CLOSE, 0, 0);
        return WaitForSingleObject(process_.Get(), 15000) == WAIT_OBJECT_0;
    }

  private:
    // A tool's silence (hung, or gone) must never read as "no entries".
    static LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result)) {
            ADD_FAILURE() << "the tool did not answer message " << message;
            return kNoAnswer;
        }
        return static_cast<LRESULT>(result);
    }
    static constexpr LRESULT kNoAnswer = -1000000;

    UniqueHandle process_;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
    LPARAM mark_ = 0;
    HWND say_ = nullptr;
    HWND sayNext_ = nullptr;
    HWND reload_ = nullptr;
};

inline bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A Unix path as the prefix's drive for the Unix root names it.
inline std::wstring FromUnix(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

// Hands `script` to tests/wine/unix-runner.sh whole (a rename), as Wine 8 now
// and then ends a program that starts a Unix program itself half-way through
// its run with status 0; false when no runner is there.
inline bool HandToRunner(const std::wstring& name, const std::wstring& script) {
    wchar_t dir[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"KIVMACRO_UNIX_RUNNER", dir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring request = FromUnix(std::wstring(dir) + L"/" + name);
    const std::string text(script.begin(), script.end());  // xdotool's words: ASCII
    {
        std::ofstream out(std::filesystem::path(request + L".tmp"), std::ios::binary);
        out << text;
    }
    return MoveFileW((request + L".tmp").c_str(), (request + L".cmd").c_str()) != FALSE;
}

// Waits for a Unix command: Wine gives no handle worth waiting on for a Unix
// program, so the shell leaves a mark.
inline bool RunUnix(const std::wstring& command) {
    static int runs = 0;
    const std::wstring name =
        L"kivmacro-ran-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
    const std::wstring mark = L"/tmp/" + name;
    const std::wstring script = command + L" && : > " + mark;
    if (!HandToRunner(name, script)) {
        std::wstring line = L"/bin/sh -c \"" + script + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    const std::wstring seen = FromUnix(mark);
    const bool ran =
        WaitFor([&] { return GetFileAttributesW(seen.c_str()) != INVALID_FILE_ATTRIBUTES; });
    DeleteFileW(seen.c_str());
    return ran;
}

// A real click on `window`'s caption (Windows only); false when covered or refused.
inline bool ClickCaptionOf(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    // Left of the middle, clear of the icon and of the caption's buttons.
    POINT at{frame.left + (frame.right - frame.left) / 3,
             frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    if (GetAncestor(WindowFromPoint(at), GA_ROOT) != window) return false;
    SetCursorPos(at.x, at.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

// `window` brought and kept in front. Under Wine without a window manager a
// late X focus event from an earlier switch hands the foreground to the
// desktop: the X focus is moved first, as a newer request. On Windows the
// foreground lock refuses this driver SetForegroundWindow; a click on the
// caption is the documented way past it (unverified until Windows runs it).
inline bool Activate(HWND window) {
    window = GetAncestor(window, GA_ROOT);
    const auto x11 = reinterpret_cast<std::uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    // Two clicks within a double click's time would maximise the window.
    const ULONGLONG apart = GetDoubleClickTime() * 2ULL;
    ULONGLONG lastClick = 0;
    return WaitFor([&] {
        if (UnderWine() &&
            !RunUnix(L"/usr/bin/xdotool windowfocus --sync " + std::to_wstring(x11))) {
            return false;
        }
        if (GetForegroundWindow() == window) return true;
        if (!SetForegroundWindow(window) && !UnderWine() && GetTickCount64() - lastClick > apart &&
            ClickCaptionOf(window)) {
            lastClick = GetTickCount64();
        }
        return false;
    });
}

// Real keys ("ctrl+alt+s", "Down Down Return") into `into` (brought in front)
// or wherever the keyboard is: by xdotool under Wine, injected on Windows.
inline void TypeCombination(const std::string& keys, HWND into = nullptr) {
    if (into != nullptr && !Activate(into)) ADD_FAILURE() << "never in front to type " << keys;
    if (UnderWine()) {
        // Done once every key is up: the next keys must not meet these modifiers.
        if (!RunUnix(L"/usr/bin/xdotool key " + std::wstring(keys.begin(), keys.end()))) {
            ADD_FAILURE() << "xdotool never finished typing " << keys;
        }
        return;
    }
    static const std::map<std::string, WORD> kNamed = {
        {"ctrl", VK_CONTROL},  {"alt", VK_MENU},      {"shift", VK_SHIFT},  {"Insert", VK_INSERT},
        {"Delete", VK_DELETE}, {"Up", VK_UP},         {"Down", VK_DOWN},    {"Right", VK_RIGHT},
        {"F2", VK_F2},         {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}};
    std::vector<INPUT> inputs;
    std::istringstream combinations(keys);
    for (std::string combination; combinations >> combination;) {
        std::vector<INPUT> pressed;
        std::istringstream names(combination);
        for (std::string name; std::getline(names, name, '+');) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk =
                kNamed.contains(name) ? kNamed.at(name) : static_cast<WORD>(toupper(name[0]));
            // The arrows and the editing keys, not the keypad's.
            if (input.ki.wVk >= VK_PRIOR && input.ki.wVk <= VK_DELETE) {
                input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
            }
            pressed.push_back(input);
        }
        inputs.insert(inputs.end(), pressed.begin(), pressed.end());
        for (std::size_t i = pressed.size(); i-- > 0;) {  // released in the reverse order
            INPUT up = pressed[i];
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            inputs.push_back(up);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A real click of mouse button 1 (left) or 3 (right) at `client` in `window`:
// by xdotool under Wine (at 100 % the screen is the X display's).
inline void ClickAt(HWND window, POINT client, int button) {
    ClientToScreen(window, &client);
    if (UnderWine()) {
        // A move --sync to where the pointer already is waits for a motion
        // that never comes.
        POINT now{};
        const bool there = GetCursorPos(&now) && now.x == client.x && now.y == client.y;
        const std::wstring move = there ? L""
                                        : L"mousemove --sync " + std::to_wstring(client.x) + L" " +
                                              std::to_wstring(client.y) + L" ";
        if (!RunUnix(L"/usr/bin/xdotool " + move + L"click " + std::to_wstring(button))) {
            ADD_FAILURE() << "xdotool never finished clicking";
        }
        return;
    }
    SetCursorPos(client.x, client.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = button == 3 ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = button == 3 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// A real right click on the list's entry `row`, the tool in front: whether its menu opened.
inline bool OpenMenuOn(const ToolProcess& tool, int row) {
    RECT rect{};
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(tool.List(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&rect), SMTO_NORMAL, 20000, &ignored) ||
        !Activate(tool.Main())) {
        return false;
    }
    ClickAt(tool.List(), {rect.left + 5, (rect.top + rect.bottom) / 2}, 3);
    return WaitFor([&] { return FindProcessWindow(tool.Pid(), L"#32768") != nullptr; });
}

// The file dialog's name field: the CDM_ messages carry pointers, which do
// not cross processes.
inline std::wstring DialogName(HWND dialog) {
    return ItemText(dialog, cmb13);
}
// A bare name is taken in the folder the dialog shows.
inline void ChooseInDialog(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// A fresh folder with the tool in it as chat.exe, beside which it keeps its files.
class ToolFolder : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale";
        std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro.exe", Exe());
    }
    std::filesystem::path Exe() const { return dir_.Path("chat.exe"); }
    std::string WindowsPath(const std::string& name) const { return ToAnsi(dir_.File(name)); }
    void WriteMacros(const std::u16string& text, const std::string& name = "chat.txt") {
        test::WriteBytes(dir_.Path(name), ToAnsi(text));
    }
    void WriteIni(const std::string& text) { test::WriteBytes(dir_.Path("chat.ini"), text); }
    std::string Ini() const { return test::ReadBytes(dir_.Path("chat.ini")); }

    test::TempDir dir_;
};

}  // namespace kiv::e2e
