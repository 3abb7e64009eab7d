#pragma once

// Drives the real tool from outside, as a user's clicks would: finds its
// window and controls, sends the messages and notifications a click sends.

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/window_counts_win32.h"
#include "platform/win32_handle.h"
#include "standin_process.h"

namespace kiv::e2e {

using standin::WaitFor;

struct WindowSearch {
    DWORD process;
    const wchar_t* className;
    HWND owner;
    HWND found = nullptr;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (pid == search->process && std::wstring(cls) == search->className &&
        (search->owner == nullptr || GetWindow(window, GW_OWNER) == search->owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The top-level window of `className` that belongs to `process` and, when
// given, is owned by `owner`.
inline HWND FindProcessWindow(DWORD process, const wchar_t* className, HWND owner = nullptr) {
    WindowSearch search{process, className, owner};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

class ToolProcess {
  public:
    ToolProcess(const std::filesystem::path& exe) {
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
        return WaitFor([&] { return IsWindowVisible(main_) && Answers(); });
    }
    bool Answers(UINT timeoutMs = 200) const {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
    }

    // The control with the keyboard focus in the tool, if any.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
        return info.hwndFocus;
    }

    int Count() const { return static_cast<int>(Send(list_, LB_GETCOUNT)); }
    int Selected() const { return static_cast<int>(Send(list_, LB_GETCURSEL)); }
    int TopIndex() const { return static_cast<int>(Send(list_, LB_GETTOPINDEX)); }
    // Every entry's text, in order; read again when the tool refilled the
    // list while it was being read.
    std::vector<std::wstring> Titles() const {
        for (;;) {
            std::vector<std::wstring> titles;
            const int count = Count();
            for (int i = 0; i < count; ++i) {
                const LRESULT length = Send(list_, LB_GETTEXTLEN, static_cast<WPARAM>(i));
                if (length < 0) break;
                std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
                const LRESULT got = Send(list_, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(title.data()));
                if (got < 0 || got > length) break;
                title.resize(static_cast<std::size_t>(got));
                titles.push_back(title);
            }
            if (count < 0 ||
                (titles.size() == static_cast<std::size_t>(count) && Count() == count)) {
                return titles;
            }
        }
    }
    void ScrollTo(int top) const { Send(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top)); }
    // One of the counts the tool keeps for tests (window_counts_win32.h).
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

    // A modal window the tool opened over its main window (a dialog or a message box).
    HWND WaitForModal() const {
        HWND found = nullptr;
        WaitFor([&] { return (found = FindProcessWindow(pid_, L"#32770", main_)) != nullptr; });
        return found;
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
    // A tool that does not answer (hung, or gone) fails the test: its
    // silence must never read as an answer such as "no entries".
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
    HWND say_ = nullptr;
    HWND sayNext_ = nullptr;
    HWND reload_ = nullptr;
};

// A real key press and release, as the keyboard sends them to the foreground window.
inline void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// A real key combination as a user's keyboard types it ("ctrl+alt+s",
// "alt+Down", "Insert"): into the window `into` (given the keyboard focus
// first), or wherever the keyboard is, global hotkeys included. Under Wine
// xdotool presses it on the X display and Wine takes it as keyboard input; on
// Windows it is injected as input. The caller waits for what the keys do.
inline void TypeCombination(const std::string& keys, HWND into = nullptr) {
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        std::wstring command = L"/usr/bin/xdotool ";
        if (into != nullptr) {
            // Without a window manager X focus does not follow activation;
            // only a top-level window has an X window of its own.
            const auto x11 = reinterpret_cast<std::uintptr_t>(
                GetPropW(GetAncestor(into, GA_ROOT), L"__wine_x11_whole_window"));
            command += L"windowfocus --sync " + std::to_wstring(x11) + L" ";
        }
        command += L"key " + std::wstring(keys.begin(), keys.end());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        // A Unix program: Wine gives no handle worth waiting on.
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
        return;
    }
    if (into != nullptr) SetForegroundWindow(into);
    struct Named {
        const char* name;
        WORD key;
        bool extended;
    };
    static constexpr Named kNamed[] = {
        {"ctrl", VK_CONTROL, false}, {"alt", VK_MENU, false},     {"shift", VK_SHIFT, false},
        {"Insert", VK_INSERT, true}, {"Delete", VK_DELETE, true}, {"Up", VK_UP, true},
        {"Down", VK_DOWN, true},     {"F2", VK_F2, false},
    };
    std::vector<Named> down;
    for (std::size_t start = 0; start <= keys.size();) {
        const std::size_t plus = std::min(keys.find('+', start), keys.size());
        const std::string name = keys.substr(start, plus - start);
        const auto named = std::find_if(std::begin(kNamed), std::end(kNamed),
                                        [&](const Named& n) { return name == n.name; });
        down.push_back(named != std::end(kNamed)
                           ? *named
                           : Named{"", static_cast<WORD>(toupper(name[0])), false});
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    const auto add = [&](const Named& key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.key;
        input.ki.dwFlags = flags | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    };
    for (const Named& key : down) add(key, 0);
    std::for_each(down.rbegin(), down.rend(), [&](const Named& key) { add(key, KEYEVENTF_KEYUP); });
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The file dialog's name field. (The CDM_ messages carry pointers and do not
// cross processes; the field's own WM_GETTEXT / WM_SETTEXT do.)
inline std::wstring DialogName(HWND dialog) {
    wchar_t name[MAX_PATH] = {};
    GetDlgItemTextW(dialog, cmb13, name, MAX_PATH);
    return name;
}
// Types `name` into the name field and presses OK. A bare name is taken in the
// folder the dialog shows.
inline void ChooseInDialog(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace kiv::e2e
