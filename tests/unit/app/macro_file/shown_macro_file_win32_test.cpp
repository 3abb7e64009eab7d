// The shown macro file on a stand-in window: what it asks the window to show,
// as files load, fail, change on disk and are read again after an edit.

#include "app/macro_file/shown_macro_file_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/macro_file/macro_file_reading_win32.h"
#include "platform/file_kind_win32.h"
#include "platform/file_system.h"
#include "platform/handle_win32.h"
#include "platform/window_counts_win32.h"
#include "platform/workers_win32.h"
#include "support/host_window.h"
#include "support/in_process_window.h"
#include "support/stalled_share.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

constexpr UINT kShowNotices = WM_APP + 1;

class ShownMacroFileTest : public testing::Test {
  protected:
    ShownMacroFileTest() {
        WindowNoticePort::Window window;  // no more is asked of it here
        window.handle = host_.Handle();
        window.busy = [] { return false; };
        notices_.Attach(std::move(window), kShowNotices);
        file_.Attach(
            {.window = host_.Handle(),
             .changedMessage = WM_APP + 2,
             .readingDoneMessage = WM_APP + 3,
             .settleTimer = 1,
             .readingTimer = 2,
             .holds = [this] { return holds_; },
             .selected = [this] { return selected_; },
             .show = [this](const MacroList& list, std::optional<int> select, ListCame,
                            std::optional<std::size_t>) { Shown(list, select); },
             .topMacro = [] { return std::optional<std::size_t>(0); },
             .loaded = [this](const std::u16string& path) { asked_.push_back(u"loaded " + path); },
             .titlesChanged = [this] { asked_.emplace_back(u"titles"); },
             .notices = &notices_});
        host_.SetRoute([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == kShowNotices) {
                notices_.ShowWhenLooking();
            } else if (!(message == WM_TIMER ? file_.HandleTimer(wParam)
                                             : file_.Handle(message, wParam))) {
                return std::nullopt;
            }
            return 0;
        });
    }
    // "show a b @1": the titles shown, and the entry selected where one is asked for.
    void Shown(const MacroList& list, std::optional<int> select) {
        std::u16string shown = u"show";
        for (std::size_t i = 1; i <= list.Count(); ++i) (shown += u" ") += list.Title(i);
        if (select) shown += u" @" + std::filesystem::path(std::to_string(*select)).u16string();
        asked_.push_back(shown);
    }
    std::u16string Write(const std::string& name, const std::string& bytes) const {
        test::WriteBytes(dir_.Path(name), bytes);
        return dir_.File(name);
    }
    std::uintptr_t Looks() const {
        return window_counts::Get(host_.Handle(), window_counts::kFileLooks);
    }
    // What a message box over the window says once `act` has run, the window
    // in front (where a notice is shown at once); empty when none comes.
    std::wstring Told(const std::function<void()>& act,
                      std::chrono::milliseconds within = std::chrono::seconds(10)) {
        ShowWindow(host_.Handle(), SW_SHOW);
        SetForegroundWindow(host_.Handle());
        EXPECT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == host_.Handle(); }));
        test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
        act();
        return told.Answered(within) ? told.Text() : L"";
    }

    test::TempDir dir_;
    Holds holds_;
    int selected_ = -1;
    std::vector<std::u16string> asked_;  // what the window was asked, in turn
    NoticeBoard notices_;
    ShownMacroFile file_;
    test::HostWindow host_;  // gone first: its messages go to the feature
};

TEST_F(ShownMacroFileTest, ALoadIsShownFromTheTopAndOneThatFailsLeavesTheListAndSaysWhy) {
    const std::u16string chat = Write("chat.txt", "a\r\nb\r\n");
    file_.Load(chat);
    const std::vector<std::u16string> loaded{u"show a b", u"loaded " + chat, u"titles"};
    EXPECT_EQ(asked_, loaded);

    const std::u16string other = Write("other.txt", "x\r\n");
    const UniqueFile busy(CreateFileW(dir_.Path("other.txt").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ShowWindow(host_.Handle(), SW_SHOW);
    SetForegroundWindow(host_.Handle());
    ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == host_.Handle(); }));
    test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
    file_.Load(other);
    ASSERT_TRUE(told.Answered());
    EXPECT_EQ(told.Text().rfind(L"マクロファイルを読み込めませんでした。\n\nファイル「" +
                                    dir_.Path("other.txt").wstring() + L"」を開けませんでした。",
                                0),
              0u);
    EXPECT_EQ(asked_, loaded);
    EXPECT_EQ(file_.Path(), chat);
}

// The files used lately reach the settings only once in use (a second file
// loaded, or the menu used); each keeps the place it was left at, which comes
// back when it is chosen again; one gone is never made anew.
TEST_F(ShownMacroFileTest, RecentFilesAreKeptOnceInUseEachAtItsPlaceAndAGoneOneIsNeverMade) {
    const std::u16string a = Write("a.txt", "x\r\ny\r\n");
    const std::u16string b = Write("b.txt", "p\r\nq\r\nr\r\n");
    file_.StartRecent({}, TextEncoding::Ansi);
    file_.LoadFirst(a, a);
    file_.Load(a);  // the Open dialog, on the same file
    EXPECT_EQ(file_.RecentToKeep(), std::nullopt) << "one file: the settings stay as they were";
    selected_ = 1;
    file_.Load(b);
    const std::vector<RecentFile> both{{b, FilePlace{2, 0, u"q"}}, {a, FilePlace{2, 0, u"y"}}};
    ASSERT_TRUE(file_.RecentToKeep());
    EXPECT_EQ(file_.RecentToKeep()->Files(), both);

    // Not while a macro is said, under a dialog or a menu; nor by a key the
    // game has back.
    for (const Holds hold : {Holds(Hold::Dialog), Holds(Hold::Menu), Holds(Hold::Delivering)}) {
        holds_ = hold;
        file_.ChooseRecent(1);
        file_.StepRecent(1);
    }
    holds_ = Hold::KeysFree;
    file_.StepRecent(1);
    holds_ = {};
    EXPECT_EQ(file_.Path(), b);

    asked_.clear();
    file_.ChooseRecent(1);
    ASSERT_FALSE(asked_.empty());
    EXPECT_EQ(asked_.front(), u"show x y @1") << "back at its place";
    asked_.clear();
    file_.Load(a);
    ASSERT_FALSE(asked_.empty());
    EXPECT_EQ(asked_.front(), u"show x y") << "the Open dialog's: nothing selected";
    std::filesystem::remove(dir_.Path("b.txt"));
    file_.ChooseRecent(1);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("b.txt")));
    EXPECT_EQ(file_.Path(), a) << "the list as it was";
    file_.LoadFirst(b, a);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("b.txt"))) << "nor at the next start";
    file_.LoadFirst(b, b);
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("b.txt"))) << "the default file is made";

    file_.ClearRecent();
    ASSERT_TRUE(file_.RecentToKeep()) << "the menu used";
    EXPECT_TRUE(file_.RecentToKeep()->Files().empty());
}

TEST_F(ShownMacroFileTest, AChangeOnDiskKeepsTheMacroSelectedAndAnEditSelectsWhatItAsks) {
    file_.Load(Write("chat.txt", "a\r\nb\r\nc\r\n"));
    asked_.clear();
    selected_ = 1;
    Write("chat.txt", "new\r\na\r\nb\r\nc\r\n");
    ASSERT_TRUE(test::PumpUntil([&] { return asked_.size() == 2; }));
    EXPECT_EQ(asked_, (std::vector<std::u16string>{u"show new a b c @2", u"titles"}))
        << "b, where it is now";
    asked_.clear();
    selected_ = 2;
    Write("chat.txt", "new\r\na\r\nc\r\n");
    ASSERT_TRUE(test::PumpUntil([&] { return asked_.size() == 2; }));
    EXPECT_EQ(asked_.front(), u"show new a c @-1") << "b gone: none, not c in its place";
    // A save in two steps, read at its first: b back, nothing chosen meanwhile.
    const auto shownAfter = [&](int selected, const char* bytes) {
        asked_.clear();
        selected_ = selected;
        Write("chat.txt", bytes);
        EXPECT_TRUE(test::PumpUntil([&] { return asked_.size() == 2; }));
        return asked_.front();
    };
    EXPECT_EQ(shownAfter(-1, "new\r\na\r\nb\r\nc\r\n"), u"show new a b c @2") << "b again";
    EXPECT_EQ(shownAfter(2, "new\r\n"), u"show new @-1");
    EXPECT_EQ(shownAfter(0, "new\r\nb\r\n"), u"show new b @0") << "the user's choice stays";
    EXPECT_EQ(shownAfter(-1, "b\r\nnew\r\n"), u"show b new @-1") << "forgotten once chosen";

    asked_.clear();
    selected_ = 3;
    const auto looks = [&] {
        return window_counts::Get(host_.Handle(), window_counts::kFileLooks);
    };
    std::uintptr_t before = looks();
    // The tool's own write, seen half-done while it held the window as a dialog does.
    holds_ = Hold::Dialog;
    Write("chat.txt", "half\r\n");
    ASSERT_TRUE(test::PumpUntil([&] { return looks() != before; }));
    Write("chat.txt", "a\r\nb\r\nc\r\n");
    file_.ReadAfterEdit(0);
    holds_ = {};
    EXPECT_EQ(asked_, (std::vector<std::u16string>{u"show a b c @0", u"titles"}));
    // A look is due every second, its settling 0.3 s later: two cover one.
    before = looks();
    EXPECT_FALSE(test::PumpUntil([&] { return looks() != before; }, std::chrono::seconds(2)))
        << "the tool's own write is no change to look at";
}

// A change another program holds the file through (a sync client, an
// editor) is read once it lets go, however many tries failed before.
TEST_F(ShownMacroFileTest, AChangeHeldByAnotherProgramIsReadOnceItLetsGo) {
    file_.Load(Write("chat.txt", "a\r\n"));
    asked_.clear();
    const std::uintptr_t before = Looks();
    {
        Write("chat.txt", "a\r\nb\r\n");
        const UniqueFile held(CreateFileW(dir_.Path("chat.txt").c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        // The first reading and two tries after it, all refused.
        ASSERT_TRUE(test::PumpUntil([&] { return Looks() >= before + 3; }));
        EXPECT_TRUE(asked_.empty());
    }
    ASSERT_TRUE(test::PumpUntil([&] { return !asked_.empty(); }));
    EXPECT_EQ(asked_.front(), u"show a b @-1");
}

// A reading counts only when the file is the same after it as before: one
// that met a save is read again, and one that met a save each time is shown
// as last read, and told.
TEST_F(ShownMacroFileTest, AReadingThatMeetsASaveIsReadAgainAndToldWhenItNeverSettles) {
    const std::u16string chat = Write("chat.txt", "a\r\n");
    static int savesLeft = 0;  // each opening of the file meets one, while any are left
    static int saved = 0;
    const BeforeOpenHook saving = [](const std::u16string& path) {
        if (savesLeft == 0 || !path.ends_with(u"chat.txt")) return;
        --savesLeft;
        ++saved;
        test::WriteBytes(
            path, "v" +
                      std::string(static_cast<std::size_t>(saved), static_cast<char>('0' + saved)) +
                      "\r\n");
    };
    SetBeforeOpenHook(saving);
    savesLeft = 2;
    file_.Load(chat);
    ASSERT_FALSE(asked_.empty());
    EXPECT_EQ(asked_.front(), u"show v22") << "the file as the second save left it";

    savesLeft = 100;
    asked_.clear();
    const std::wstring told = Told([&] {
        file_.Load(chat);
        SetBeforeOpenHook(nullptr);  // the readings after it find the file still
    });
    ASSERT_FALSE(asked_.empty());
    EXPECT_EQ(asked_.front(), u"show v7777777") << "the fifth reading's";
    EXPECT_NE(told.find(L"書き換えられ続けた"), std::wstring::npos);
    EXPECT_NE(told.find(dir_.Path("chat.txt").wstring()), std::wstring::npos);

    // A change read by itself is told alike.
    savesLeft = kStableReadings;
    SetBeforeOpenHook(saving);
    const std::wstring toldOfChange = Told([&] { Write("chat.txt", "b\r\n"); });
    SetBeforeOpenHook(nullptr);
    EXPECT_NE(toldOfChange.find(L"書き換えられ続けた"), std::wstring::npos) << toldOfChange;
}

// A file deleted while it is first read (a sync client replacing it) is not made anew with the
// default macros when it is read again: the player's own file may come back.
TEST_F(ShownMacroFileTest, AFileDeletedWhileFirstReadIsNotMadeAnew) {
    const std::u16string chat = Write("chat.txt", "a\r\n");
    static bool deleted = false;
    SetBeforeReadHook([](const std::u16string& path) {
        if (deleted || !path.ends_with(u"chat.txt")) return;
        deleted = DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str())) != FALSE;
    });
    file_.LoadFirst(chat, chat);
    SetBeforeReadHook(nullptr);
    ASSERT_TRUE(deleted);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("chat.txt")));
}

// A program renamed .txt is no macro file: refused, naming it, with the list
// as it was; kept out of the files used lately, and never replaced by the
// default macros at start-up. Turned into one on disk, it is told at once
// and not tried again until it changes.
TEST_F(ShownMacroFileTest, AFileThatHoldsNoTextIsRefusedAndNeverReplaced) {
    const std::string program("MZ\x90\0\x03\0", 6);
    const std::u16string game = Write("game.txt", program);
    const std::wstring named = dir_.Path("game.txt").wstring();
    file_.StartRecent({}, TextEncoding::Ansi);
    std::wstring told = Told([&] { file_.LoadFirst(game, game); });
    EXPECT_NE(told.find(named + L"」はテキストファイルではない"), std::wstring::npos) << told;
    EXPECT_EQ(test::ReadBytes(dir_.Path("game.txt")), program) << "no default macros over it";
    EXPECT_TRUE(asked_.empty());

    const std::u16string chat = Write("chat.txt", "a\r\n");
    file_.Load(chat);
    told = Told([&] { file_.Load(game); });
    EXPECT_NE(told.find(named), std::wstring::npos);
    EXPECT_EQ(file_.Path(), chat);
    file_.Load(Write("other.txt", "x\r\n"));
    ASSERT_TRUE(file_.RecentToKeep());
    EXPECT_EQ(file_.RecentToKeep()->Files().size(), 2u);
    EXPECT_FALSE(file_.RecentToKeep()->Has(game));

    asked_.clear();
    told = Told([&] { Write("other.txt", program); });
    EXPECT_NE(told.find(dir_.Path("other.txt").wstring()), std::wstring::npos);
    EXPECT_TRUE(asked_.empty()) << "the list as it was";
    EXPECT_FALSE(KillTimer(host_.Handle(), 1)) << "no look to come: no try again";
}

// A change too large to read into memory is, like a file with no text, told at once and not read
// again until it changes: each try would take as much memory again.
TEST_F(ShownMacroFileTest, AChangeTooLargeToReadIsToldAtOnceAndNotTriedAgain) {
    file_.Load(Write("chat.txt", "a\r\n"));
    asked_.clear();
    SetBeforeOpenHook([](const std::u16string& path) {
        if (path.ends_with(u"chat.txt")) throw std::bad_alloc();
    });
    const std::wstring told =
        Told([&] { Write("chat.txt", "a\r\nb\r\n"); }, std::chrono::seconds(5));
    SetBeforeOpenHook(nullptr);
    EXPECT_NE(told.find(L"大きすぎて読み込めません"), std::wstring::npos) << told;
    EXPECT_TRUE(asked_.empty()) << "the list as it was";
    EXPECT_FALSE(KillTimer(host_.Handle(), 1)) << "no look to come: no try again";
}

// A drive that is not there (a USB stick pulled out, a mapped drive the copy
// run as administrator lacks) makes its files out of reach, not gone: a step
// passes one without taking it for gone, and chosen in the menu it is told
// with its drive, never offered for removal. Wine answers
// ERROR_FILE_NOT_FOUND for a file there where Windows answers
// ERROR_PATH_NOT_FOUND; the drive's root is DRIVE_NO_ROOT_DIR in both.
TEST_F(ShownMacroFileTest, AFileOnADriveNotThereIsOutOfReachNotGone) {
    const DWORD drives = GetLogicalDrives();
    char16_t letter = u'Z';
    while (letter > u'D' && (drives & (1u << (letter - u'A'))) != 0) --letter;
    ASSERT_GT(letter, u'D') << "no drive letter free";
    const std::u16string away = std::u16string{letter, u':', u'\\'} + u"chat.txt";
    EXPECT_FALSE(IsGoneFile(away));
    EXPECT_TRUE(IsGoneFile(dir_.File("none.txt")));
    EXPECT_TRUE(IsGoneFile(dir_.File("none") + u"\\chat.txt"))
        << "a folder gone from a drive there";

    const std::u16string a = Write("a.txt", "a\r\n");
    const std::u16string c = Write("c.txt", "c\r\n");
    RecentFiles recent;
    for (const std::u16string& path : {c, dir_.File("b.txt"), away, a}) recent.Loaded(path);
    file_.StartRecent(recent, TextEncoding::Ansi);
    file_.Load(a);
    std::wstring told = Told([&] { file_.StepRecent(1); });
    EXPECT_EQ(file_.Path(), c) << "past the drive not there and the file gone";
    EXPECT_NE(told.find(dir_.Path("b.txt").wstring()), std::wstring::npos);
    EXPECT_EQ(told.find(std::wstring(away.begin(), away.end())), std::wstring::npos)
        << "not told gone";

    told = Told([&] { file_.ChooseRecent(1); });
    EXPECT_NE(told.find(L"ドライブ " + std::wstring{static_cast<wchar_t>(letter)} +
                        L":\\ が見つかりません"),
              std::wstring::npos)
        << told;
    EXPECT_EQ(told.find(L"外しますか"), std::wstring::npos);
    ASSERT_TRUE(file_.RecentToKeep());
    EXPECT_TRUE(file_.RecentToKeep()->Has(away));
    EXPECT_EQ(file_.Path(), c);
}

// Whatever a reading throws, at any step, is told as a failed reading: on a
// reading's thread it would otherwise end the program.
TEST_F(ShownMacroFileTest, EveryFailureOfAReadingIsToldAsAFailedReading) {
    const std::u16string chat = Write("chat.txt", "a\r\n");
    file_.Load(chat);
    const std::u16string other = Write("other.txt", "x\r\n");
    // Each look reads the file where stamps are coarse: the file is opened by
    // the look before the reading, by the reading, and by the look after it.
    FileWatch::SetCoarseStampsSeam([](const std::u16string&) { return true; });
    static int opens = 0;
    static int throwAt = 0;
    SetBeforeOpenHook([](const std::u16string& path) {
        if (!path.ends_with(u"other.txt") || ++opens != throwAt) return;
        if (throwAt == 3) throw std::bad_alloc();
        throw std::runtime_error("unforeseen");
    });
    for (const auto& [at, says] :
         {std::pair{2, L"予期しないエラー"}, std::pair{3, L"大きすぎて読み込めません"}}) {
        opens = 0;
        throwAt = at;
        const std::wstring told = Told([&] { file_.Load(other); });
        EXPECT_NE(told.find(says), std::wstring::npos) << told;
        EXPECT_EQ(file_.Path(), chat);
    }
    SetBeforeOpenHook(nullptr);
    FileWatch::SetCoarseStampsSeam(nullptr);
}

// Wine reports no file's contents as away: the kind stands in. A file whose
// contents a sync client keeps away until read is read off the window's
// thread, as a share is; one on the disk at once.
TEST_F(ShownMacroFileTest, AFileWhoseContentsAreAwayIsReadOffTheWindowsThread) {
    const std::u16string chat = Write("chat.txt", "a\r\n");
    static DWORD attributes = 0;
    SetFileKindSeam([](const std::u16string&) {
        return std::optional(FileKind{attributes | FILE_ATTRIBUTE_ARCHIVE, 0});
    });
    for (const DWORD away :
         {DWORD{FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS}, DWORD{FILE_ATTRIBUTE_RECALL_ON_OPEN},
          DWORD{FILE_ATTRIBUTE_OFFLINE}, DWORD{0}}) {
        attributes = away;
        asked_.clear();
        file_.Load(chat);
        EXPECT_EQ(asked_.empty(), away != 0) << away;
        EXPECT_TRUE(test::PumpUntil([&] { return !file_.Reading() && !asked_.empty(); })) << away;
    }
    SetFileKindSeam(nullptr);
}

class ShownFromAShare : public ShownMacroFileTest {
  protected:
    // Its watch looks no more, and no reading waits, before the stalls go.
    void TearDown() override {
        share_.ReleaseAll();
        file_.Stop();
    }
    // Loads `name`, whose reading waits on `which` until released.
    void LoadStalled(const std::string& name, test::Stall& which) {
        which.Hold(dir_.File(name));
        file_.Load(dir_.File(name));
        ASSERT_TRUE(test::PumpUntil([&] { return which.Met(); }));
    }
    test::StalledShare share_;
};

// A file on a share that a step found gone is passed by the next step,
// which does not wait for it again.
TEST_F(ShownFromAShare, AStepPassesAFileOnAShareThatTheStepBeforeFoundGone) {
    const std::u16string a = Write("a.txt", "a\r\n");
    const std::u16string c = Write("c.txt", "c\r\n");
    RecentFiles recent;
    for (const std::u16string& path : {c, dir_.File("b.txt"), a}) recent.Loaded(path);
    file_.StartRecent(recent, TextEncoding::Ansi);
    file_.Load(a);
    ASSERT_TRUE(test::PumpUntil([&] { return file_.List().IsLoaded() && !file_.Reading(); }));
    file_.StepRecent(1);
    ASSERT_TRUE(test::PumpUntil([&] { return !file_.Reading(); }));
    EXPECT_EQ(file_.Path(), a);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("b.txt")));
    file_.StepRecent(1);
    EXPECT_TRUE(test::PumpUntil([&] { return file_.Path() == c; }));
}

// A reading a share holds, and the share's watch, are workers the end of the
// program waits for: they end once released and stopped.
TEST_F(ShownFromAShare, AReadingAndTheWatchOnAShareAreWaitedForAtTheEnd) {
    Write("chat.txt", "a\r\n");
    LoadStalled("chat.txt", share_.first);
    EXPECT_FALSE(WorkersEnded(100)) << "the reading";
    share_.first.Release();
    ASSERT_TRUE(test::PumpUntil([&] { return !asked_.empty(); }));
    EXPECT_FALSE(WorkersEnded(100)) << "the watch";
    file_.Stop();
    EXPECT_TRUE(WorkersEnded(5000));
}

// Under a dialog the list stays as the user saw it; then the later load is
// shown, though the older reading ended last.
TEST_F(ShownFromAShare, UnderADialogReadingsWaitAndThenTheNewerLoadIsShown) {
    file_.Load(Write("chat.txt", "a\r\n"));
    const std::vector<std::u16string> chatShown{u"show a", u"loaded " + dir_.File("chat.txt"),
                                                u"titles"};
    ASSERT_TRUE(test::PumpUntil([&] { return asked_ == chatShown; }));
    Write("other.txt", "x\r\n");
    Write("third.txt", "z\r\n");
    holds_ = Hold::Dialog;
    LoadStalled("other.txt", share_.first);
    LoadStalled("third.txt", share_.second);
    const auto putOff = [&] {
        return window_counts::Get(host_.Handle(), window_counts::kReadingsPutOff);
    };
    share_.second.Release();
    ASSERT_TRUE(test::PumpUntil([&] { return putOff() == 1; }));
    share_.first.Release();  // the older one's end, announced last
    ASSERT_TRUE(test::PumpUntil([&] { return putOff() == 2; }));
    EXPECT_EQ(asked_, chatShown) << "nothing under the dialog";

    asked_.clear();
    holds_ = {};
    ASSERT_TRUE(test::PumpUntil([&] { return asked_.size() == 3; }));
    EXPECT_EQ(asked_, (std::vector<std::u16string>{u"show z", u"loaded " + dir_.File("third.txt"),
                                                   u"titles"}));
}

}  // namespace
}  // namespace kiv
