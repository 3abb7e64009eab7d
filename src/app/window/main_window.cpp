#include "app/window/main_window.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "app/hotkeys/hotkey_conflicts.h"
#include "app/hotkeys/hotkey_dialog_win32.h"
#include "app/resource.h"
#include "app/window/desktop_win32.h"
#include "app/window/title_list.h"
#include "app/window/tool_menu_win32.h"
#include "dialogs/open_file_dialog.h"
#include "dialogs/open_file_request.h"
#include "macro/message_preview.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "platform/local_clock.h"
#include "platform/off_thread_win32.h"
#include "platform/shell_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "platform/window_counts_win32.h"

namespace kiv {
namespace {

constexpr wchar_t kClassName[] = L"KivMacroMainWindow";
constexpr wchar_t kCaption[] = L"KIV 会話マクロ";
constexpr char16_t kMacroFileFilter[] = u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";
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
    if (!notices_.Empty()) PostMessageW(window_, kShowNotices, 0, 0);
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
    window_ = CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              instance_, this);
    if (window_ == nullptr) return false;
    window_counts::MarkCodePage(window_);
    AddToSystemMenu(window_, CurrentMenuState());
    menuKeys_.Reset(CreateToolMenuKeys());
    noticePort_.emplace(WindowNoticePort::Window{
        .handle = window_,
        .programPath = programPath_,
        .busy = [this] { return busy_; },
        .saveSettings = [this] { SaveSettings(true); },
        .releaseHotkeys = [this] { hotkeys_.Release(); },
        .registerHotkeys = [this] { RegisterHotkeysAndTell(); },
        .close =
            [this] {
                shutDown_ = true;  // saved already; the new copy takes over
                DestroyWindow(window_);
            },
    });
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
    hotkeys_.SetWindow(window_);
    tooltip_.Attach(list_, [this](int entry) -> std::optional<std::u16string> {
        if (entry < 0 || static_cast<std::size_t>(entry) >= macros_.Count()) return std::nullopt;
        const Macro macro = macros_.Item(static_cast<std::size_t>(entry) + 1);
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
    startupMacroFile_ = settings.macroFile;
    LoadMacroList(settings.macroFile);
    options_ = settings.options;
    macroHotkeys_ = settings.macroHotkeys;
    if (options_.topMost) SetTopMost(true);
    // Only what is set: no hotkey is taken from other programs by default.
    RegisterHotkeysAndTell();
    if (auto notice = UnsavableSettingsNotice(IniFilePath(programPath_))) {
        settingsUnsavable_ = true;  // told once, not again at every close
        Notify({NoticeKind::SettingsUnsavable, std::move(*notice)});
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
    const bool saved = WriteShutdownSettings(
        iniPath,
        {.geometry = Geometry(),
         .macroFile = macros_.IsLoaded() ? std::optional(macros_.FileName()) : std::nullopt,
         .options = options_,
         .optionsChanged = optionsChanged_,
         .macroHotkeys = macroHotkeys_});
    if (!saved && tellUser && !settingsUnsavable_) {
        MessageBoxW(window_,
                    Wide(u"設定ファイル「" + iniPath +
                         u"」に保存できませんでした。\nウィンドウの位置とマクロファイルの指定は、"
                         u"次に起動したときには反映されません。"),
                    kCaption, MB_OK | MB_ICONWARNING);
    }
    return saved;
}

// A failure is told at the close, which tries again with everything.
void MainWindow::SaveHotkeySettings() {
    if (settingsUnsavable_) return;
    WriteHotkeySettings(IniFilePath(programPath_), options_, optionsChanged_, macroHotkeys_);
}

void MainWindow::LoadMacroList(const std::u16string& path) {
    StartReading({path, MacroFileReadings::Purpose::Load, std::nullopt});
}

void MainWindow::StartReading(MacroFileReadings::Request request) {
    if (auto done = readings_.Start(window_, kReadingDone, std::move(request))) {
        ReadingDone(std::move(*done));
    }
}

// A reading done off the window's thread is shown once the window is idle:
// not under a message box or a dialog of its own (whose command was given for
// the list shown), a menu, a delivery, or an edit running off its thread.
bool MainWindow::TakeReading(WPARAM number) {
    if (busy_ || inMenu_ || !IsWindowEnabled(window_)) {
        // Posts can arrive out of turn: the latest reading has the highest number.
        readingToTake_ = std::max(readingToTake_, number);
        SetTimer(window_, kReadingTimer, kReadingRetryMs, nullptr);
        return false;
    }
    if (auto done = readings_.Take(number)) ReadingDone(std::move(*done));
    window_counts::Add(window_, window_counts::kReadings);
    return true;
}

void MainWindow::ReadingDone(MacroFileReadings::Done done) {
    using Purpose = MacroFileReadings::Purpose;
    MacroFileRead& read = done.read;
    const std::u16string& path = done.request.path;
    switch (done.request.purpose) {
        case Purpose::Load:
            if (read.problem) {
                // The current list, the list box and the selection stay as they were.
                Tell(u"マクロファイルを読み込めませんでした。\n\n" + *read.problem);
                return;
            }
            macros_ = std::move(read.list);
            FillList();
            TellLeftoverSideFiles(path, read.leftovers);
            edits_.Start(path);
            RegisterHotkeysAndTell();  // the macros' keys follow the titles the list has
            watch_.Start(window_, kFileChanged, path, read.stamp);
            autoReload_.Loaded(read.stamp);
            if (read.stampAfter != read.stamp) MacroFileChanged();
            return;
        case Purpose::AfterEdit:
            if (read.problem) {
                RegisterHotkeysAndTell();  // a key the edit moved
                ShowError(u"マクロファイルを読み込めませんでした。\n\n" + *read.problem);
                return;
            }
            ShowAgain(std::move(read), done.request.select);
            RegisterHotkeysAndTell();
            return;
        case Purpose::Changed:
            if (read.problem) {
                FollowReloadStep(autoReload_.ReloadFailed(), *read.problem);
                return;
            }
            ShowAgain(std::move(read), std::nullopt);
            RegisterHotkeysAndTell();
            window_counts::Add(window_, window_counts::kReloads);
            notices_.Drop(NoticeKind::ReloadFailed);
            return;
    }
}

// The list read again in place of the one shown; the scroll position stays,
// and the selection is `select`, or by default the macro that was selected,
// wherever it is now.
void MainWindow::ShowAgain(MacroFileRead read, std::optional<int> select) {
    const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
    const int keep = select ? *select : SelectionAfterReload(macros_, Selected(), read.list);
    macros_ = std::move(read.list);
    FillList();
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    if (keep >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(keep), 0);
    autoReload_.Reloaded(read.stamp);
}

// Told once a run for each file: they stay until the user deals with them.
void MainWindow::TellLeftoverSideFiles(const std::u16string& path,
                                       const std::vector<std::u16string>& leftovers) {
    if (leftovers.empty() ||
        std::find(leftoversTold_.begin(), leftoversTold_.end(), path) != leftoversTold_.end()) {
        return;
    }
    leftoversTold_.push_back(path);
    Notify({NoticeKind::LeftoverFiles, LeftoverSideFilesText(path, leftovers)});
}

// Read once the file has been still for a moment: editors save in steps.
void MainWindow::MacroFileChanged() {
    SetTimer(window_, kReloadTimer, AutoReload::kSettleMs, nullptr);
}

void MainWindow::ReloadChangedFile() {
    KillTimer(window_, kReloadTimer);
    if (!macros_.IsLoaded()) return;
    window_counts::Add(window_, window_counts::kFileLooks);
    // Not during a delivery, nor under a dialog, a message box or a menu
    // (whose command is for the entry the user chose), nor while another
    // reading is under way: later.
    if (busy_ || inMenu_ || !IsWindowEnabled(window_) || readings_.Pending()) {
        SetTimer(window_, kReloadTimer, AutoReload::kRetryMs, nullptr);
        return;
    }
    const AutoReload::Step step = autoReload_.Settled(watch_.LastLook(), macros_.Count() > 0);
    if (step == AutoReload::Step::Reload) {
        StartReading({macros_.FileName(), MacroFileReadings::Purpose::Changed, std::nullopt});
        return;
    }
    FollowReloadStep(step, u"");
}

void MainWindow::FollowReloadStep(AutoReload::Step step, const std::u16string& problem) {
    if (step == AutoReload::Step::WaitAgain) {
        SetTimer(window_, kReloadTimer, AutoReload::kRetryMs, nullptr);
    } else if (step == AutoReload::Step::Tell) {
        Notify({NoticeKind::ReloadFailed,
                u"マクロファイルが変更されましたが、読み込めませんでした。"
                u"それまでの一覧をそのまま使えます。\n\n" +
                    problem});
    }
}

// Shown once the command that brought it has ended: a question asked in the
// middle of one (to run again as administrator, say) could end the window
// under it.
void MainWindow::Notify(Notice notice) {
    notices_.Add(std::move(notice));
    PostMessageW(window_, kShowNotices, 0, 0);
}

void MainWindow::ShowNotices() {
    // A message box's own loop may bring the activation that asks again.
    if (showingNotices_ || !noticePort_) return;
    showingNotices_ = true;
    notices_.ShowWhenLooking(*noticePort_);
    showingNotices_ = false;
}

void MainWindow::Dropped(HDROP drop) {
    const DropOutcome outcome =
        DecideDrop(DroppedPaths(drop),
                   {.look =
                        [](const std::u16string& path) {
                            const std::wstring wide(path.begin(), path.end());
                            const DWORD attributes = GetFileAttributesW(wide.c_str());
                            return DroppedPath{attributes != INVALID_FILE_ATTRIBUTES,
                                               attributes != INVALID_FILE_ATTRIBUTES &&
                                                   (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
                        },
                    .shortcutTarget = ShortcutTarget});
    if (busy_ || !IsWindowEnabled(window_)) return;
    if (outcome.load) {
        LoadMacroList(*outcome.load);
    } else if (!outcome.message.empty()) {
        Tell(outcome.message);
    }
}

void MainWindow::EditMacroFile() {
    const std::u16string file = CurrentMacroFile();
    if (const DWORD error = OpenInEditor(window_, file); error != 0) {
        ShowError(u"マクロファイル「" + file + u"」を開けませんでした。\n\n" +
                  SystemErrorText(error));
    }
}

void MainWindow::FillList() {
    tooltip_.Reset();
    FillTitleList(list_, macros_);
}

int MainWindow::Selected() const {
    return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

std::optional<DeliveryOutcome> MainWindow::Say() {
    if (busy_) return std::nullopt;
    const int selected = Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= macros_.Count()) return std::nullopt;
    return Deliver(static_cast<std::size_t>(selected) + 1);
}

DeliveryOutcome MainWindow::Deliver(std::size_t position) {
    busy_ = true;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    const DeliveryOutcome outcome = macros_.Item(position).Execute(windowSystem_, LocalTimeOfDay);
    SetCursor(previous);
    busy_ = false;
    deliveryEndedAt_ = GetTickCount();
    window_counts::Add(window_, window_counts::kDeliveries);
    if (outcome == DeliveryOutcome::Refused) Notify({NoticeKind::SendRefused, u""});
    return outcome;
}

void MainWindow::SayNext() {
    if (busy_) return;
    // Refused, the macro was not said: the user is asked about that one.
    if (Say() == DeliveryOutcome::Refused || shutDown_) return;
    const int selected = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const int next = SelectionAfterSayNext(selected, count);
    if (next >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

void MainWindow::ChooseMacroFile() {
    if (busy_) return;
    const OpenFileDialogResult chosen =
        ShowOpenFileDialog(window_, u"", CurrentMacroFile(), kMacroFileFilter);
    if (chosen.error != 0) {
        ShowError(OpenFileDialogFailureMessage(chosen.error));
    } else if (const auto refusal = MacroFilePathRefusal(chosen.path)) {
        ShowError(*refusal);  // nothing is made, nothing changes
    } else if (!chosen.path.empty()) {
        LoadMacroList(chosen.path);
    }
}

MenuState MainWindow::CurrentMenuState() const {
    const int selected = list_ != nullptr ? Selected() : -1;
    const int count = static_cast<int>(macros_.Count());
    return {
        .topMost = options_.topMost,
        .selected = selected >= 0 && selected<count, .canMoveUp = selected> 0 && selected < count,
        .canMoveDown = selected >= 0 && selected + 1 < count,
        .canUndo = edits_.CanUndo()};
}

void MainWindow::RunMenuCommand(MenuCommand command) {
    // Nothing that changes the list while a macro is said or a dialog is up,
    // nor an edit while the list is being read: it would act on a list about
    // to be replaced.
    if (busy_ || !IsWindowEnabled(window_)) return;
    if (readings_.Pending() && IsEdit(command)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (!IsEnabled(command, CurrentMenuState())) return;  // its key, where the menu greys it
    const std::size_t position = static_cast<std::size_t>(Selected()) + 1;
    switch (command) {
        case MenuCommand::Separator:
            return;
        case MenuCommand::TopMost:
            SetTopMost(!options_.topMost);
            optionsChanged_ = true;
            SaveHotkeySettings();
            return;
        case MenuCommand::HotkeySettings:
            EditHotkeys();
            return;
        case MenuCommand::EditMacroFile:
            EditMacroFile();
            return;
        case MenuCommand::NewMacro:
            NewMacro();
            return;
        case MenuCommand::EditMacro:
            EditMacro();
            return;
        case MenuCommand::DeleteMacro:
            DeleteMacro();
            return;
        case MenuCommand::MoveUp:
            Change({MacroChange::Kind::MoveUp, position, {}});
            return;
        case MenuCommand::MoveDown:
            Change({MacroChange::Kind::MoveDown, position, {}});
            return;
        case MenuCommand::Undo:
            UndoChange();
            return;
    }
}

std::optional<MacroDialogResult> MainWindow::AskForMacro(bool isNew, const Macro& macro) {
    // Every key free while the dialog is open, so that any can be typed into its field.
    editingHotkeys_ = true;
    hotkeys_.Release();
    const std::optional<std::u16string> oldTitle =
        isNew ? std::nullopt : std::optional(macro.Title());
    const MacroDialogRequest request{
        .isNew = isNew,
        .macro = macro,
        .fileEncoding = macros_.Encoding(),
        .hotkey = isNew ? std::nullopt : macroHotkeys_.KeyOf(macro.Title()),
        .hotkeyClash = [&](const Hotkey& key, const std::u16string& title) {
            return MacroKeyClashOf(
                key, title, oldTitle, options_, macroHotkeys_,
                [this](std::u16string_view held) { return macros_.FirstTitled(held).has_value(); });
        }};
    std::optional<MacroDialogResult> chosen = ShowMacroDialog(window_, instance_, request);
    editingHotkeys_ = false;
    RegisterHotkeysAndTell();
    return chosen;
}

void MainWindow::NewMacro() {
    const std::optional<MacroDialogResult> chosen = AskForMacro(true, Macro());
    if (!chosen) return;
    const int selected = Selected();
    const std::u16string& title = chosen->macro.Title();
    Change({MacroChange::Kind::Insert, selected < 0 ? 0 : static_cast<std::size_t>(selected) + 1,
            chosen->macro},
           chosen->hotkey ? std::optional(MacroEditSession::KeyChange{title, title, chosen->hotkey,
                                                                      chosen->keyTakenFrom})
                          : std::nullopt);
}

void MainWindow::EditMacro() {
    const auto position = static_cast<std::size_t>(Selected()) + 1;
    const Macro macro = macros_.Item(position);
    const std::optional<MacroDialogResult> chosen = AskForMacro(false, macro);
    if (!chosen) return;
    const MacroEditSession::KeyChange key{macro.Title(), chosen->macro.Title(), chosen->hotkey,
                                          chosen->keyTakenFrom};
    if (!chosen->macroChanged) {
        // Only the key: nothing to write in the macro file.
        MacroHotkeys before = macroHotkeys_;
        MacroEditSession::GiveKey(key, macroHotkeys_);
        if (!(macroHotkeys_ == before)) {
            SaveHotkeySettings();
            RegisterHotkeysAndTell();
        }
        return;
    }
    Change({MacroChange::Kind::Replace, position, chosen->macro}, key);
}

void MainWindow::DeleteMacro() {
    const auto position = static_cast<std::size_t>(Selected()) + 1;
    const std::u16string question =
        u"マクロ「" + std::u16string(macros_.Title(position)) + u"」を削除しますか?";
    if (MessageBoxW(window_, Wide(question), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    Change({MacroChange::Kind::Delete, position, {}});
}

void MainWindow::Change(const MacroChange& change,
                        const std::optional<MacroEditSession::KeyChange>& key) {
    FollowEdit(OffTheWindowsThreadWhereSlow([&](const MacroList& shown, MacroHotkeys& hotkeys) {
        return edits_.Apply(change, shown, hotkeys, key);
    }));
}

void MainWindow::UndoChange() {
    FollowEdit(OffTheWindowsThreadWhereSlow(
        [&](const MacroList&, MacroHotkeys& hotkeys) { return edits_.Undo(hotkeys); }));
}

// The edit reads and writes the file: on a share or a USB stick on a thread
// of its own, the window answering meanwhile and taking no command. That
// thread works on copies of the list and the keys: the window's own may be
// read meanwhile (a preview, a close of the session).
MacroEditSession::Outcome MainWindow::OffTheWindowsThreadWhereSlow(const Edit& edit) {
    if (FileWatch::WhereIs(macros_.FileName()) == FileWatch::Where::FixedDisk) {
        return edit(macros_, macroHotkeys_);
    }
    const MacroList shown = macros_;
    MacroHotkeys hotkeys = macroHotkeys_;
    MacroEditSession::Outcome outcome;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    writing_ = true;
    ShutdownBlockReasonCreate(window_, L"マクロファイルを書き込んでいます。");
    RunServingMessages(window_, [&] { outcome = edit(shown, hotkeys); });
    ShutdownBlockReasonDestroy(window_);
    writing_ = false;
    SetCursor(previous);
    macroHotkeys_ = std::move(hotkeys);
    return outcome;
}

void MainWindow::FollowEdit(const MacroEditSession::Outcome& outcome) {
    if (outcome.hotkeysChanged) SaveHotkeySettings();
    if (outcome.reload) {
        // The tool's own write is no change for the watch to report.
        const std::optional<int> select =
            outcome.select ? std::optional(static_cast<int>(*outcome.select) - 1) : std::nullopt;
        StartReading({macros_.FileName(), MacroFileReadings::Purpose::AfterEdit, select});
    } else if (outcome.hotkeysChanged) {
        RegisterHotkeysAndTell();
    }
    if (!outcome.told.empty()) ShowError(outcome.told);
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
    options_.topMost = on;
    SetWindowPos(window_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::vector<HotkeyRefusal> MainWindow::RegisterHotkeys() {
    return hotkeys_.Register(options_, macroHotkeys_, [this](std::u16string_view title) {
        return macros_.FirstTitled(title).has_value();
    });
}

void MainWindow::RegisterHotkeysAndTell() {
    if (const auto text = hotkeyRefusals_.ToTell(RegisterHotkeys())) {
        Notify({NoticeKind::HotkeysRefused, *text});
    }
}

void MainWindow::EditHotkeys() {
    if (busy_ || editingHotkeys_) return;
    editingHotkeys_ = true;
    // Free while the dialog is open, so that they can be typed into its fields.
    hotkeys_.Release();
    const HotkeySet current = HotkeysOf(options_);
    const HotkeyDialogRequest request{
        .current = current,
        .refusals = hotkeys_.ActionRefusals(),
        // A trial: the keys are free again at once, since the dialog may stay
        // open to have another typed.
        .registerKeys = [this](const HotkeySet& keys) { return hotkeys_.Try(keys); },
        .macroKeys = DescribeMacroHotkeys(macroHotkeys_, [this](std::u16string_view title) {
            return macros_.FirstTitled(title).has_value();
        })};
    const std::optional<HotkeyDialogResult> chosen = ShowHotkeyDialog(window_, instance_, request);
    if (chosen) {
        bool changed = false;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            // As stored, even text that is no hotkey, where the field was left as it was.
            if (chosen->keys[i] == current[i]) continue;
            options_.hotkeys[i] = chosen->keys[i] ? FormatHotkey(*chosen->keys[i]) : u"";
            changed = true;
        }
        if (changed) optionsChanged_ = true;
        if (!chosen->removedMacroKeys.empty()) macroHotkeys_.Remove(chosen->removedMacroKeys);
        if (changed || !chosen->removedMacroKeys.empty()) SaveHotkeySettings();
        // The dialog named what it could not register.
        hotkeyRefusals_.Seen(RegisterHotkeys());
    } else {
        RegisterHotkeysAndTell();
    }
    editingHotkeys_ = false;
}

// The game keeps the focus: nothing here activates the tool.
void MainWindow::RunHotkey(HotkeyAction action) {
    // Not under the hotkey dialog, a message box or the Open dialog: each
    // returns to a state a macro said meanwhile would have changed.
    if (editingHotkeys_ || !IsWindowEnabled(window_)) return;
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
    if (editingHotkeys_ || busy_ || !IsWindowEnabled(window_)) return;
    if (const auto position = macros_.FirstTitled(title)) Deliver(*position);
}

void MainWindow::MoveSelection(Step step) {
    if (busy_) return;
    const int selected = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const int next = SelectionAfterStep(selected, count, step);
    if (next >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

// At once where the user is looking at the tool; after a drop Explorer is in
// front, and a box from behind would stay there, unseen, with the window
// disabled under it.
void MainWindow::Tell(const std::u16string& text) {
    if (GetForegroundWindow() == window_) {
        ShowError(text);
    } else {
        Notify({NoticeKind::Problem, text});
    }
}

void MainWindow::ShowError(const std::u16string& text) const {
    MessageBoxW(window_, Wide(text), kCaption, MB_OK | MB_ICONERROR);
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
                // After the activation is done, not inside it.
                if (!notices_.Empty()) PostMessageW(window_, kShowNotices, 0, 0);
            }
            return 0;
        case WM_ACTIVATEAPP:
            // Brought forward where Windows did not let it take the
            // foreground at start: this, not an activation, may be the sign.
            if (wParam && !notices_.Empty()) PostMessageW(window_, kShowNotices, 0, 0);
            break;
        case WM_ENABLE:
            // Under a dialog or message box of its own the tool cannot act on
            // its hotkeys: they are the game's meanwhile, not swallowed.
            if (!wParam) {
                hotkeys_.Release();
            } else if (!editingHotkeys_ && !shutDown_) {
                RegisterHotkeysAndTell();
            }
            break;
        case WM_ENTERMENULOOP:
            inMenu_ = true;
            break;
        case WM_EXITMENULOOP:
            inMenu_ = false;
            break;
        case kShowNotices:
            ShowNotices();
            return 0;
        case kFileChanged:
            MacroFileChanged();
            return 0;
        case kReadingDone:
            if (!TakeReading(wParam)) window_counts::Add(window_, window_counts::kReadingsPutOff);
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
            if (wParam == kReloadTimer) ReloadChangedFile();
            if (wParam == kReadingTimer) {
                KillTimer(window_, kReadingTimer);
                TakeReading(readingToTake_);
            }
            return 0;
        case WM_DROPFILES:
            Dropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_HOTKEY:
            if (const auto action = hotkeys_.ActionOf(wParam)) RunHotkey(*action);
            if (const auto title = hotkeys_.MacroTitleOf(wParam)) SayMacroTitled(*title);
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
                    if (HIWORD(wParam) == BN_CLICKED) ChooseMacroFile();
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
            if (!IsWindowEnabled(window_)) return 0;
            // Saved while the window is still up, so that a failure can be told.
            ShutDown(true);
            DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            // Not in the middle of writing the macro file: Windows shows the
            // reason given, and the user decides.
            return writing_ ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wParam) ShutDown(false);
            return 0;
        case WM_DESTROY:
            watch_.Stop();  // nothing may be posted to a window that is gone
            readings_.Cancel();
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
