#include "app/window/main_window.h"

#include <algorithm>

#include "app/commands/tool_name.h"
#include "app/resource.h"
#include "app/window/desktop_win32.h"
#include "app/window/startup_settings.h"
#include "app/window/title_list.h"
#include "app/window/tool_menu_win32.h"
#include "macro/message_preview.h"
#include "platform/local_clock.h"
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
        if (main.QueuedDuringDelivery(message) || main.TranslateMenuKey(message)) continue;
        // Tab moves between the controls, Enter presses "発言".
        if (IsDialogMessageW(main.window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// Clicks, keys and hotkeys that waited in the queue while a macro was
// delivered were aimed at a window that could not react; acted on now, an
// impatient second click would say the macro again, or the next one.
// Only what starts something: a button or key let go still reaches the
// control that took the press, or it would hold the mouse.
bool MainWindow::QueuedDuringDelivery(const MSG& message) const {
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

// Insert, F2, Delete, Alt+Up and the others, where the window has the focus.
// The Alt of Alt+Up is then let go alone as far as DefWindowProc can see, the
// Up having gone to the accelerator. Windows notes keys pressed under Alt as
// they come in and opens no menu; Wine's DefWindowProc counts only what it
// was given and would enter the menu bar's keyboard mode, where the next key
// goes to a menu nobody sees. That release is kept from it.
bool MainWindow::TranslateMenuKey(MSG& message) {
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_MENU &&
        (HIWORD(message.lParam) & KF_REPEAT) == 0) {
        altServedMenuKey_ = false;
    }
    // Let go after the key, the Alt comes as WM_SYSKEYUP; before it, as WM_KEYUP.
    if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
        message.wParam == VK_MENU && altServedMenuKey_) {
        altServedMenuKey_ = false;
        return true;
    }
    if (!menuKeys_ || TranslateAcceleratorW(window_, menuKeys_.Get(), &message) == 0) return false;
    if (message.message == WM_SYSKEYDOWN) altServedMenuKey_ = true;
    return true;
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
    menuKeys_.Reset(CreateToolMenuKeys());
    AttachFeatures();
    // Run as administrator, the tool still takes files dropped from an
    // Explorer that is not: Windows would filter the drop's messages out.
    constexpr UINT kCopyGlobalData = 0x0049;
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr);
    }
    // Sized by measuring the frame it really has: computed frames can be a
    // pixel off at some scales.
    const unsigned dpi = Dpi();
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
                     .busy = [this] { return delivering_; },
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
    editing_.Attach({.window = window_,
                     .instance = instance_,
                     .file = &file_,
                     .keys = &keys_,
                     .notices = &notices_,
                     .selected = [this] { return Selected(); }});
}

void MainWindow::CreateControls() {
    const auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id,
                          DWORD exStyle = 0) {
        return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0,
                               0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance_, nullptr);
    };
    // Creation order is the tab order: list, 発言, 発言して次へ, 設定再読込.
    list_ = make(L"ListBox", L"", WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kList,
                 WS_EX_CLIENTEDGE);
    say_ = make(L"Button", L"発言", BS_DEFPUSHBUTTON, kSay);
    sayNext_ = make(L"Button", L"発言して次へ", BS_PUSHBUTTON, kSayNext);
    reload_ = make(L"Button", L"設定再読込", BS_PUSHBUTTON, kReload);
    focus_.Start(window_, list_);
    tooltip_.Attach(list_, [this](int entry) -> std::optional<std::u16string> {
        const MacroList& macros = file_.List();
        if (entry < 0 || static_cast<std::size_t>(entry) >= macros.Count()) return std::nullopt;
        const Macro macro = macros.Item(static_cast<std::size_t>(entry) + 1);
        return MessagePreview(macro.Message(), macro.Title());
    });
    UpdateFont();
}

unsigned MainWindow::Dpi() const {
    const UINT dpi = GetDpiForWindow(window_);
    return dpi == 0 ? 96 : dpi;
}

// The system's message font at the window's DPI, as every Windows program shows it.
void MainWindow::UpdateFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, Dpi())) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) return;
    for (HWND control : {list_, say_, sayNext_, reload_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    font_ = std::move(font);
}

void MainWindow::ApplyLayout() {
    if (list_ == nullptr) return;
    const unsigned dpi = Dpi();
    const RECT client = ClientRectOf(window_);
    FitFixedSizesToPixels(controls_, dpi);
    const auto place = [dpi](HWND control, const TwipsRect& r) {
        MoveWindow(control, TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi),
                   TwipsToPixels(r.width, dpi), TwipsToPixels(r.height, dpi), TRUE);
    };
    LayOut(controls_, PixelsToTwips(client.right, dpi), PixelsToTwips(client.bottom, dpi),
           [&](const TwipsRect& asked) {
               place(list_, asked);
               RECT placed{};
               GetWindowRect(list_, &placed);
               return PixelsToTwips(placed.bottom - placed.top, dpi);
           });
    place(say_, controls_.say);
    place(sayNext_, controls_.sayNext);
    place(reload_, controls_.reload);
}

WindowGeometry MainWindow::Geometry() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    if (IsIconic(window_) || IsZoomed(window_)) {
        // Minimised or maximised, the rectangle to keep is the restored one;
        // the placement gives it in work-area coordinates.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(window_, &placement)) {
            rect = ToRect(WorkspaceToScreen(ToPixelRect(placement.rcNormalPosition), Monitors()));
        }
    }
    return PixelsToGeometry(ToPixelRect(rect), SystemDpi());
}

void MainWindow::ApplyGeometry(const WindowGeometry& geometry) {
    const PixelRect target =
        PlaceOnScreen(GeometryToPixels(geometry, SystemDpi()),
                      CaptionBarOf(kStyle, kExStyle, Dpi()), MonitorWorkAreas());
    // Landing on a monitor of another DPI rescales the fonts and controls on
    // the way (WM_DPICHANGED, now or when the window is first shown); the
    // rectangle stays the stored one: settling_ holds until then.
    settling_ = true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(window_, nullptr, target.left, target.top, target.Width(), target.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT placed{};
        GetWindowRect(window_, &placed);
        if (ToPixelRect(placed) == target) break;
    }
}

void MainWindow::StartUp() {
    const StartupSettings settings = ReadStartupSettings(IniFilePath(programPath_), Geometry(),
                                                         DefaultMacroFilePath(programPath_));
    ApplyGeometry(settings.geometry);
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
        iniPath, {.geometry = Geometry(),
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
    if (delivering_) holds = holds | Hold::Delivering;
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

std::optional<DeliveryOutcome> MainWindow::Say() {
    if (HoldsNow().Any(Hold::Delivering)) return std::nullopt;
    const int selected = Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= file_.List().Count()) {
        return std::nullopt;
    }
    return Deliver(static_cast<std::size_t>(selected) + 1);
}

DeliveryOutcome MainWindow::Deliver(std::size_t position) {
    delivering_ = true;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    const DeliveryOutcome outcome =
        file_.List().Item(position).Execute(windowSystem_, LocalTimeOfDay);
    SetCursor(previous);
    delivering_ = false;
    deliveryEndedAt_ = GetTickCount();
    window_counts::Add(window_, window_counts::kDeliveries);
    if (outcome == DeliveryOutcome::Refused) notices_.Notify({NoticeKind::SendRefused, u""});
    return outcome;
}

void MainWindow::SayNext() {
    if (HoldsNow().Any(Hold::Delivering)) return;
    // Refused, the macro was not said: the user is asked about that one.
    if (Say() == DeliveryOutcome::Refused || HoldsNow().Any(Hold::ShuttingDown)) return;
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const int next = SelectionAfterSayNext(Selected(), count);
    if (next >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

// The game keeps the focus: nothing here activates the tool. Not under the
// hotkey dialog, a message box or the Open dialog: each returns to a state a
// macro said meanwhile would have changed.
void MainWindow::RunHotkey(HotkeyAction action) {
    if (HoldsNow().Any(Hold::KeysFree | Hold::Dialog)) return;
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
    }
}

// As 発言 does, the game brought to the front; the selection stays. A title
// no macro has any more says nothing.
void MainWindow::SayMacroTitled(const std::u16string& title) {
    if (HoldsNow().Any(Hold::KeysFree | Hold::Delivering | Hold::Dialog)) return;
    if (const auto position = file_.List().FirstTitled(title)) Deliver(*position);
}

void MainWindow::MoveSelection(Step step) {
    if (HoldsNow().Any(Hold::Delivering)) return;
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const int next = SelectionAfterStep(Selected(), count, step);
    if (next >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
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
            ApplyLayout();
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            UpdateFont();
            tooltip_.DpiChanged();
            if (!settling_) {
                SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                             suggested->right - suggested->left, suggested->bottom - suggested->top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
            ApplyLayout();
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
            if (const auto action = keys_.ActionOf(wParam)) RunHotkey(*action);
            if (const auto title = keys_.MacroTitleOf(wParam)) SayMacroTitled(*title);
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(kSay, DC_HASDEFID);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kSay:
                    if (HIWORD(wParam) == BN_CLICKED) Say();
                    return 0;
                case kSayNext:
                    if (HIWORD(wParam) == BN_CLICKED) SayNext();
                    return 0;
                case kReload:
                    if (HIWORD(wParam) == BN_CLICKED) file_.ChooseInDialog();
                    return 0;
                case kList:
                    if (HIWORD(wParam) == LBN_DBLCLK) Say();
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
