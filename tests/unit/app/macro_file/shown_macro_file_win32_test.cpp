// The shown macro file on a stand-in window: what it asks the window to show,
// as files load, fail, change on disk and are read again after an edit.

#include "app/macro_file/shown_macro_file_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/handle_win32.h"
#include "platform/window_counts_win32.h"
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
