#include "app/window/main_window.h"

#include <algorithm>

#include "app/commands/tool_name.h"
#include "app/resource.h"
#include "app/window/desktop_win32.h"
#include "app/window/startup_settings.h"
#include "app/window/title_list.h"
#include "app/window/tool_menu_win32.h"
#include "macro/message_preview.h"
#include "platform/wide_text.h"
#include "platform/window_counts_win32.h"

namespace kiv {
namespace {

constexpr wchar_t kClassName[] = L"KivMacroMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
// Files dropped from Explorer are taken (WM_DROPFILES), without shell32 at start-up.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

std::u16string ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return {path.begin(), path.end()};
}

RECT ClientRectOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, std::u16string programPath)
    : instance_(instance), programPath_(std::move(programPath)) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

bool MainWindow::Open(int show) {
    if (!Create()) return false;
    StartUp();
    ShowWindow(window_, show);
    UpdateWindow(window_);
    settling_ = false;
    // What start-up has to tell, now that there is a window and a taskbar
    // button to flash.
    notices_.UserMayLook();
    return true;
}

int MainWindow::Run(HINSTANCE instance, int show) {
    MainWindow main(instance, ProgramPath());
    main.endsProgram_ = true;
    if (!main.Open(show)) return 1;

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (main.saying_.QueuedDuringDelivery(message) ||
            main.menuKeys_.Translate(main.window_, message))
            continue;
        // Tab moves between the controls, Enter presses "発言".
        if (IsDialogMessageW(main.window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool MainWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_KIVMACRO));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // A second window in the same process (tests) finds the class there.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }

    // The design's client size at 96 DPI; it is sized again for the real DPI
    // once the window knows its monitor.
    RECT rect{0, 0, TwipsToPixels(kDesignClientWidth, 96), TwipsToPixels(kDesignClientHeight, 96)};
    AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
    window_ = CreateWindowExW(kExStyle, kClassName, kToolCaption, kStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                              nullptr, nullptr, instance_, this);
    if (window_ == nullptr) return false;
    window_counts::MarkCodePage(window_);
    AddToSystemMenu(window_, CurrentMenuState());
    AttachFeatures();
    // Run as administrator, the tool still takes files dropped from an
    // Explorer that is not: Windows would filter the drop's messages out.
    constexpr UINT kCopyGlobalData = 0x0049;
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr);
    }
    // Sized by measuring the frame it really has: computed frames can be a
    // pixel off at some scales.
    const unsigned dpi = DpiOf(window_);
    const int width = TwipsToPixels(kDesignClientWidth, dpi);
    const int height = TwipsToPixels(kDesignClientHeight, dpi);
    RECT outer{};
    GetWindowRect(window_, &outer);
    const RECT client = ClientRectOf(window_);
    if (client.right != width || client.bottom != height) {
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

// The features, each handed what only the window knows and does.
void MainWindow::AttachFeatures() {
    const auto hasMacroTitled = [this](std::u16string_view title) {
        return file_.List().FirstTitled(title).has_value();
    };
    notices_.Attach({.handle = window_,
                     .programPath = programPath_,
                     .busy = [this] { return saying_.Delivering(); },
                     .saveSettings = [this] { SaveSettings(true); },
                     .releaseHotkeys = [this] { keys_.Release(); },
                     .registerHotkeys = [this] { keys_.Register(); },
                     .close =
                         [this] {
                             shutDown_ = true;  // saved already; the new copy takes over
                             DestroyWindow(window_);
                         }},
                    kShowNotices);
    file_.Attach({.window = window_,
                  .changedMessage = kFileChanged,
                  .readingDoneMessage = kReadingDone,
                  .settleTimer = kSettleTimer,
                  .readingTimer = kReadingTimer,
                  .holds = [this] { return HoldsNow(); },
                  .selected = [this] { return Selected(); },
                  .show = [this](const MacroList& list,
                                 std::optional<int> select) { ShowList(list, select); },
                  .loaded = [this](const std::u16string& path) { editing_.Start(path); },
                  .titlesChanged = [this] { keys_.Register(); },
                  .notices = &notices_});
    keys_.Attach({.window = window_,
                  .instance = instance_,
                  .hasMacroTitled = hasMacroTitled,
                  .notify = [this](Notice notice) { notices_.Notify(std::move(notice)); },
                  // A failure is told at the close, which tries again with everything.
                  .save =
                      [this] {
                          if (settingsUnsavable_) return;
                          WriteHotkeySettings(IniFilePath(programPath_), keys_.options(),
                                              keys_.OptionsChanged(), keys_.MacroKeys());
                      }});
    saying_.Attach(
        {.window = window_, .list = list_, .file = &file_, .notices = &notices_, .holds = [this] {
             return HoldsNow();
         }});
    editing_.Attach({.window = window_,
                     .instance = instance_,
                     .file = &file_,
                     .keys = &keys_,
                     .notices = &notices_,
                     .selected = [this] { return Selected(); }});
}

void MainWindow::CreateControls() {
    controls_.Create(window_, instance_);
    list_ = controls_.List();
    focus_.Start(window_, list_);
    tooltip_.Attach(list_, [this](int entry) -> std::optional<std::u16string> {
        const MacroList& macros = file_.List();
        if (entry < 0 || static_cast<std::size_t>(entry) >= macros.Count()) return std::nullopt;
        const Macro macro = macros.Item(static_cast<std::size_t>(entry) + 1);
        return MessagePreview(macro.Message(), macro.Title());
    });
}

void MainWindow::StartUp() {
    const StartupSettings settings = ReadStartupSettings(
        IniFilePath(programPath_), GeometryOf(window_), DefaultMacroFilePath(programPath_));
    // Landing on a monitor of another DPI rescales the fonts and controls on
    // the way (WM_DPICHANGED, now or when the window is first shown); the
    // rectangle stays the stored one: settling_ holds until then.
    settling_ = true;
    PlaceWindow(window_, settings.geometry, kStyle, kExStyle, DpiOf(window_));
    keys_.Start(settings.options, settings.macroHotkeys);
    if (keys_.options().topMost) SetTopMost(true);
    // A list read now registers the keys with its titles; otherwise (on a
    // share, or unreadable) the actions' keys are registered at once. Only
    // what is set: no hotkey is taken from other programs by default.
    file_.LoadFirst(settings.macroFile);
    if (!file_.List().IsLoaded()) keys_.Register();
    if (auto notice = UnsavableSettingsNotice(IniFilePath(programPath_))) {
        settingsUnsavable_ = true;  // told once, not again at every close
        notices_.Notify({NoticeKind::SettingsUnsavable, std::move(*notice)});
    }
}

void MainWindow::ShutDown(bool tellUser) {
    if (shutDown_) return;
    shutDown_ = true;
    SaveSettings(tellUser);
}

bool MainWindow::SaveSettings(bool tellUser) {
    if (!IsWindow(window_)) return false;  // its place is gone with it
    // A list that never loaded leaves the stored path for the next start.
    const std::u16string iniPath = IniFilePath(programPath_);
    const MacroList& shown = file_.List();
    const bool saved = WriteShutdownSettings(
        iniPath, {.geometry = GeometryOf(window_),
                  .macroFile = shown.IsLoaded() ? std::optional(shown.FileName()) : std::nullopt,
                  .options = keys_.options(),
                  .optionsChanged = keys_.OptionsChanged(),
                  .macroHotkeys = keys_.MacroKeys()});
    if (!saved && tellUser && !settingsUnsavable_) {
        MessageBoxW(window_,
                    Wide(u"設定ファイル「" + iniPath +
                         u"」に保存できませんでした。\nウィンドウの位置とマクロファイルの指定は、"
                         u"次に起動したときには反映されません。"),
                    kToolCaption, MB_OK | MB_ICONWARNING);
    }
    return saved;
}

Holds MainWindow::HoldsNow() const {
    Holds holds;
    if (!IsWindowEnabled(window_)) holds = holds | Hold::Dialog;  // a dialog disables it
    if (inMenu_) holds = holds | Hold::Menu;
    if (saying_.Delivering()) holds = holds | Hold::Delivering;
    if (shutDown_) holds = holds | Hold::ShuttingDown;
    if (keys_.KeysFree()) holds = holds | Hold::KeysFree;
    if (file_.Reading()) holds = holds | Hold::Reading;
    return holds;
}

void MainWindow::ShowList(const MacroList& list, std::optional<int> select) {
    tooltip_.Reset();
    const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
    FillTitleList(list_, list);
    if (!select) return;  // a file loaded: from its top, nothing selected
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    if (*select >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(*select), 0);
}

int MainWindow::Selected() const {
    return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

MenuState MainWindow::CurrentMenuState() const {
    const int selected = list_ != nullptr ? Selected() : -1;
    const int count = static_cast<int>(file_.List().Count());
    return {
        .topMost = keys_.options().topMost,
        .selected = selected >= 0 && selected<count, .canMoveUp = selected> 0 && selected < count,
        .canMoveDown = selected >= 0 && selected + 1 < count,
        .canUndo = editing_.CanUndo()};
}

void MainWindow::RunMenuCommand(MenuCommand command) {
    // Nothing that changes the list while a macro is said or a dialog is up,
    // nor an edit while the list is being read: it would act on a list about
    // to be replaced.
    const Holds holds = HoldsNow();
    if (holds.Any(Hold::Delivering | Hold::Dialog)) return;
    if (holds.Any(Hold::Reading) && IsEdit(command)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (!IsEnabled(command, CurrentMenuState())) return;  // its key, where the menu greys it
    switch (command) {
        case MenuCommand::Separator:
            return;
        case MenuCommand::TopMost: {
            const bool on = !keys_.options().topMost;
            SetTopMost(on);
            keys_.SetTopMost(on);
            return;
        }
        case MenuCommand::HotkeySettings:
            keys_.EditInDialog();
            return;
        case MenuCommand::EditMacroFile:
            file_.OpenInEditor();
            return;
        case MenuCommand::NewMacro:
            editing_.NewMacro();
            return;
        case MenuCommand::EditMacro:
            editing_.EditMacro();
            return;
        case MenuCommand::DeleteMacro:
            editing_.DeleteMacro();
            return;
        case MenuCommand::MoveUp:
            editing_.Move(MacroChange::Kind::MoveUp);
            return;
        case MenuCommand::MoveDown:
            editing_.Move(MacroChange::Kind::MoveDown);
            return;
        case MenuCommand::Undo:
            editing_.Undo();
            return;
    }
}

// At the mouse, on the entry clicked, which is selected first as Explorer
// does (a list box selects nothing on a right click, and the commands act
// on the selection); or for the keyboard's menu key and Shift+F10 below the
// selected entry.
void MainWindow::ShowListMenu(LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {
        RECT entry{};
        const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
        if (selected < 0 || SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                         reinterpret_cast<LPARAM>(&entry)) == LB_ERR) {
            entry = {};
        }
        // An entry scrolled out of sight: the menu stays on the list.
        const RECT list = ClientRectOf(list_);
        at = {std::clamp(entry.left, list.left, list.right),
              std::clamp(entry.bottom, list.top, list.bottom)};
        ClientToScreen(list_, &at);
    } else {
        POINT client = at;
        ScreenToClient(list_, &client);
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(EntryAt(list_, client)), 0);
    }
    // TrackPopupMenu with TPM_NONOTIFY sends no WM_ENTERMENULOOP: the window
    // marks the menu open itself, so that no reload refills the list under it.
    inMenu_ = true;
    const std::optional<MenuCommand> command = ShowToolMenu(window_, at, CurrentMenuState());
    inMenu_ = false;
    if (command) RunMenuCommand(*command);
}

void MainWindow::SetTopMost(bool on) {
    SetWindowPos(window_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            controls_.LayOut(window_, DpiOf(window_));
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            controls_.UpdateFont(DpiOf(window_));
            tooltip_.DpiChanged();
            if (!settling_) {
                SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                             suggested->right - suggested->left, suggested->bottom - suggested->top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
            controls_.LayOut(window_, DpiOf(window_));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                focus_.Remember();
            } else if (HIWORD(wParam) == 0) {  // not while minimised
                focus_.Restore();
                notices_.UserMayLook();
            }
            return 0;
        case WM_ACTIVATEAPP:
            // Brought forward where Windows did not let it take the
            // foreground at start: this, not an activation, may be the sign.
            if (wParam) notices_.UserMayLook();
            break;
        case WM_ENABLE:
            // Under a dialog or message box of its own the tool cannot act on
            // its hotkeys: they are the game's meanwhile, not swallowed.
            if (!wParam) {
                keys_.Release();
            } else if (!HoldsNow().Any(Hold::KeysFree | Hold::ShuttingDown)) {
                keys_.Register();
            }
            break;
        case WM_ENTERMENULOOP:
            inMenu_ = true;
            break;
        case WM_EXITMENULOOP:
            inMenu_ = false;
            break;
        case kShowNotices:
            notices_.ShowWhenLooking();
            return 0;
        case kFileChanged:
        case kReadingDone:
            file_.Handle(message, wParam);
            return 0;

        case WM_SETFOCUS:
            focus_.Restore();
            return 0;
        case WM_SYSCOMMAND:
            if (const auto command = ToolMenuCommand(static_cast<std::uint32_t>(wParam & 0xFFF0))) {
                RunMenuCommand(*command);
                return 0;
            }
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) != 0) UpdateSystemMenu(window_, CurrentMenuState());  // window menu
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == list_) {
                ShowListMenu(lParam);
                return 0;
            }
            break;
        case WM_TIMER:
            file_.HandleTimer(wParam);
            return 0;
        case WM_DROPFILES:
            file_.Dropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_HOTKEY:
            if (const auto action = keys_.ActionOf(wParam)) saying_.RunHotkey(*action);
            if (const auto title = keys_.MacroTitleOf(wParam)) saying_.SayTitled(*title);
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(WindowControls::kSay, DC_HASDEFID);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case WindowControls::kSay:
                    if (HIWORD(wParam) == BN_CLICKED) saying_.Say();
                    return 0;
                case WindowControls::kSayNext:
                    if (HIWORD(wParam) == BN_CLICKED) saying_.SayNext();
                    return 0;
                case WindowControls::kReload:
                    if (HIWORD(wParam) == BN_CLICKED) file_.ChooseInDialog();
                    return 0;
                case WindowControls::kList:
                    if (HIWORD(wParam) == LBN_DBLCLK) saying_.Say();
                    return 0;
                default:
                    if (const auto command = ToolMenuKeyCommand(LOWORD(wParam))) {
                        RunMenuCommand(*command);
                        return 0;
                    }
                    break;
            }
            break;
        case WM_CLOSE:
            // Not under a dialog or message box of ours: it returns to a window
            // that must still be there. (Windows itself keeps users from it.)
            if (HoldsNow().Any(Hold::Dialog)) return 0;
            // Saved while the window is still up, so that a failure can be told.
            ShutDown(true);
            DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            // Not in the middle of writing the macro file: Windows shows the
            // reason given, and the user decides.
            return editing_.Writing() ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wParam) ShutDown(false);
            return 0;
        case WM_DESTROY:
            file_.Stop();  // nothing may be posted to a window that is gone
            window_counts::RemoveAll(window_);
            ShutDown(false);
            if (endsProgram_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kiv
