// The find box on a stand-in window: what opens it, what it narrows the list
// to, the input method's text, and what becomes of the query as the file
// changes. Wine has no input method: its messages are sent here as one
// sends them, and the text it committed comes through the seam.

#include "app/finding/macro_finder_win32.h"

#include <gtest/gtest.h>
#include <imm.h>
#include <windows.h>

#include <functional>
#include <utility>

#include "platform/window_counts_win32.h"
#include "support/hosted_features.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

constexpr char kMacros[] =
    "こんにちは\t挨拶\r\nありがとう\tお礼\r\nかいふく\t回復\r\n"
    "Hello everyone\tハロー\r\nどうもアリガトウ\tお礼2\r\nおつかれさまでした\t締め\r\n";

class MacroFinderTest : public testing::Test, protected test::HostedFeatures {
  protected:
    void SetUp() override { Start(kMacros); }
    HWND Box() const { return finder.Box(); }
    void Type(std::u16string_view text, HWND into) const {
        for (const char16_t c : text) SendMessageW(into, WM_CHAR, c, 0);
    }
    void Key(WPARAM key) const { SendMessageW(Box(), WM_KEYDOWN, key, 0); }
    std::wstring BoxText() const { return test::TextOf(Box()); }
    std::uintptr_t Said() const {
        return window_counts::Get(host.Handle(), window_counts::kDeliveries);
    }
};

const std::vector<std::wstring> kAll = {L"挨拶", L"お礼", L"回復", L"ハロー", L"お礼2", L"締め"};

TEST_F(MacroFinderTest, ATypedCharacterOpensTheBoxAndEscTwiceGivesTheWholeListBack) {
    EXPECT_FALSE(finder.Shown()) << "hidden until the user finds";
    SendMessageW(list, WM_CHAR, u'a', 0);
    ASSERT_TRUE(finder.Shown());
    EXPECT_EQ(GetFocus(), Box()) << "the typed character with the focus";
    Type(u"rigatou", Box());
    EXPECT_EQ(BoxText(), L"arigatou");
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"お礼", L"お礼2"}));
    EXPECT_EQ(Selected(), 0) << "the first match";
    EXPECT_EQ(test::TextOf(finder.CountLabel()), L"2 / 6");
    SetFocus(list);
    EXPECT_TRUE(finder.Shown()) << "a query stays when the list takes the focus";
    Key(VK_DOWN);  // moves in the list, not in the box
    EXPECT_EQ(Selected(), 1);

    MSG del{Box(), WM_KEYDOWN, VK_DELETE, 0, 0, {}};
    EXPECT_TRUE(finder.PreTranslate(del)) << "the box's own, never the tool's Delete";
    MSG tab{Box(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(finder.PreTranslate(tab));

    Key(VK_ESCAPE);
    EXPECT_EQ(BoxText(), L"");
    EXPECT_EQ(Titles(), kAll);
    EXPECT_EQ(Selected(), 4) << "the macro selected among the matches";
    EXPECT_TRUE(finder.Shown());
    Key(VK_ESCAPE);
    EXPECT_FALSE(finder.Shown());
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Selected(), 4);

    BYTE keys[256] = {};  // Ctrl+F from the list, as the message loop sees it
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG ctrlF{list, WM_KEYDOWN, 'F', 0, 0, {}};
    EXPECT_TRUE(finder.PreTranslate(ctrlF));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(finder.Shown());
    EXPECT_EQ(GetFocus(), Box());
    Type(u"ari", Box());
    SendMessageW(Box(), EM_SETSEL, 0, 0);
    SendMessageW(list, WM_CHAR, u'g', 0);
    EXPECT_EQ(BoxText(), L"arig") << "typing in the list goes on at the end";
}

// More rows than a keystroke puts in at once: the rest follow, every title in
// its place; 前へ from the first row reaches the last before they have come.
// Kanji are found by their reading once the input method gave it, in the
// file's order, the macro selected staying selected.
TEST_F(MacroFinderTest, KanjiAreFoundByTheirReadingOnceItCame) {
    SendMessageW(list, WM_CHAR, u'a', 0);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"お礼", L"お礼2"})) << "no reading yet";
    Select(1);
    readingsOf = [](const MacroList& macros) {
        std::vector<MacroReading> readings(macros.Count());
        readings[0].title = u"あいさつ";  // 挨拶
        readings[1].title = u"おれい";    // お礼
        readings[5].title = u"しめ";      // 締め
        return readings;
    };
    finder.ReadingsCame();
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"挨拶", L"お礼", L"お礼2"}));
    EXPECT_EQ(Selected(), 2) << "お礼2 still selected";
    SetWindowTextW(Box(), L"orei");
    EXPECT_EQ(Titles(), std::vector<std::wstring>{L"お礼"});
}

TEST_F(MacroFinderTest, ManyMatchesComeInStepsAndAStepToTheLastDoesNotWaitForThem) {
    const std::size_t count = 2 * TitleList::kRowsAStep + 3;
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += "m\t" + std::to_string(i) + "x\r\n";
    test::WriteBytes(MacroFile(), text + "m\tother\r\n");
    file.Load(MacroFile().u16string());
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == count + 1; }));
    SendMessageW(list, WM_CHAR, u'x', 0);
    EXPECT_LT(Titles().size(), count) << "not all at once";
    EXPECT_EQ(test::TextOf(finder.CountLabel()),
              std::to_wstring(count) + L" / " + std::to_wstring(count + 1));
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == count; }));
    const std::vector<std::wstring> titles = Titles();
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(titles[i], std::to_wstring(i) + L"x") << i;
    }

    // Whatever selects a row still to come puts the rows up to it in first.
    const int last = static_cast<int>(count) - 1;
    const int firstToCome = static_cast<int>(TitleList::kRowsAStep);
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { saying.RunHotkey(HotkeyAction::Previous); }, last},   // from the first row
        {[&] { SendMessageW(list, WM_KEYDOWN, VK_END, 0); }, last},  // the list's own End
        {[&] { Key(VK_END); }, last},
        {[&] { this->titles.Select(firstToCome); }, firstToCome},
    };
    for (const auto& [step, row] : steps) {
        Key(VK_ESCAPE);  // every macro again, then the same matches, in steps anew
        Type(u"x", Box());
        ASSERT_LT(Titles().size(), count);
        step();
        ASSERT_EQ(Selected(), row);
        EXPECT_EQ(Titles()[static_cast<std::size_t>(row)], std::to_wstring(row) + L"x");
    }
    Key(VK_ESCAPE);  // the whole list again, the macro still selected
    EXPECT_EQ(Selected(), firstToCome);

    // An edit with nothing selected keeps the place; another file starts at its top.
    Select(-1);
    SendMessageW(list, LB_SETTOPINDEX, 25, 0);
    test::WriteBytes(MacroFile(), text);
    file.ReadAfterEdit(-1);
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == count; }));
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 25);
    test::WriteBytes(dir.Path("other.txt"), text + "m\tmore\r\n");
    file.Load(dir.Path("other.txt").u16string());
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == count + 1; }));
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
}

std::u16string Committed(HWND) {
    return u"ありがとう";
}

TEST_F(MacroFinderTest, OnlyCommittedTextNarrowsAndEnterWhileComposingSaysNothing) {
    Select(0);
    SendMessageW(list, WM_IME_STARTCOMPOSITION, 0, 0);
    ASSERT_TRUE(finder.Shown());
    ASSERT_EQ(GetFocus(), Box());
    SetWindowTextW(Box(), L"かいふく");  // as the composition shows in the box
    EXPECT_EQ(Titles(), kAll) << "nothing narrows while composing";
    const std::uintptr_t before = Said();
    Key(VK_RETURN);  // confirms the composition
    MSG enter{Box(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(finder.PreTranslate(enter)) << "never to the dialog keys, which press 発言";
    EXPECT_EQ(Said(), before);
    SendMessageW(Box(), WM_IME_ENDCOMPOSITION, 0, 0);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"回復"}));
    Key(VK_RETURN);
    EXPECT_EQ(Said(), before + 1) << "Enter with nothing composed says the selected row";
    SendMessageW(Box(), WM_KEYDOWN, VK_RETURN, 0x40000001);  // held: a repeat
    EXPECT_EQ(Said(), before + 1) << "one press, one saying";

    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    MacroFinder::SetCommittedTextReader(Committed);
    SendMessageW(list, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    EXPECT_FALSE(finder.Shown()) << "text still being composed";
    SendMessageW(list, WM_IME_COMPOSITION, 0, GCS_RESULTSTR);  // committed before the box opened
    MacroFinder::SetCommittedTextReader(nullptr);
    EXPECT_EQ(BoxText(), L"ありがとう");
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"お礼", L"お礼2"}));

    // Another tab comes while composing: the composition is cancelled (the
    // input method then ends it), never committed into that tab's query.
    SendMessageW(Box(), WM_IME_STARTCOMPOSITION, 0, 0);
    static HWND cancelled;
    cancelled = nullptr;
    MacroFinder::SetCompositionCanceller([](HWND box) {
        cancelled = box;
        SendMessageW(box, WM_IME_ENDCOMPOSITION, 0, 0);
    });
    finder.Restore(file.List(), {.query = u"回", .selected = 2, .top = {}});
    MacroFinder::SetCompositionCanceller(nullptr);
    EXPECT_EQ(cancelled, Box());
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"回復"}));
    Key(VK_RETURN);
    EXPECT_EQ(Said(), before + 2) << "its Enter says again";
}

// Windows gives a key the input method takes as VK_PROCESSKEY, also 半角/全角
// and the input method's own Space, which compose nothing; a composition
// begins with WM_IME_STARTCOMPOSITION, and one the focus leaves ends in
// another window, or in none of the tool's. Wine's input method composes
// apart from the window and sends these otherwise: here they come as
// Windows sends them, and the key each VK_PROCESSKEY stands for comes from a
// stand-in for ImmGetVirtualKey.
UINT originalKey = 0;
TEST_F(MacroFinderTest, OnlyACompositionOpensTheBoxAndItsComposingEndsWithTheFocus) {
    MacroFinder::SetOriginalKeyReader([](HWND) { return originalKey; });
    SetFocus(list);
    for (const UINT key : {VK_OEM_AUTO, VK_SPACE}) {  // 半角/全角, then the Space
        originalKey = key;
        MSG processed{list, WM_KEYDOWN, VK_PROCESSKEY, 0, 0, {}};
        EXPECT_FALSE(finder.PreTranslate(processed)) << key;
    }
    EXPECT_FALSE(finder.Shown()) << "nothing composed";
    originalKey = 'K';  // the first letter of "ka"
    MSG letter{list, WM_KEYDOWN, VK_PROCESSKEY, 0, 0, {}};
    finder.PreTranslate(letter);
    MacroFinder::SetOriginalKeyReader(nullptr);
    EXPECT_TRUE(finder.Shown());
    EXPECT_EQ(letter.hwnd, Box()) << "the composition begins in the box";
    SetFocus(list);
    SendMessageW(list, WM_IME_STARTCOMPOSITION, 0, 0);
    ASSERT_TRUE(finder.Shown());
    EXPECT_EQ(GetFocus(), Box()) << "the composition goes on in the box";
    SetWindowTextW(Box(), L"かいふく");
    ASSERT_EQ(Titles(), kAll);

    SetFocus(list);  // the player clicks the list; the composition ends elsewhere
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"回復"})) << "what the box holds";
    SetFocus(Box());
    SetWindowTextW(Box(), L"礼");
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"お礼", L"お礼2"})) << "typing narrows";
    const std::uintptr_t before = Said();
    Key(VK_RETURN);
    EXPECT_EQ(Said(), before + 1) << "Enter says";
}

TEST_F(MacroFinderTest, AReloadAndAnEditKeepTheQueryUnlessItWouldHideWhatTheEditMade) {
    SendMessageW(list, WM_CHAR, u'礼', 0);
    const std::vector<std::wstring> thanks = {L"お礼", L"お礼2"};
    ASSERT_EQ(Titles(), thanks);

    test::WriteBytes(MacroFile(), std::string(kMacros) + "テスト\t新しい\r\n");
    file.ReadAfterEdit(6);  // a new macro the query would hide: shown, the box emptied
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == 7; }));
    EXPECT_EQ(Selected(), 6);
    EXPECT_EQ(BoxText(), L"");

    Type(u"礼", Box());
    ASSERT_EQ(Titles(), thanks);
    test::WriteBytes(MacroFile(), "こんにちは\t挨拶\r\nかいふく\t回復\r\nx\tお礼2\r\n");
    file.ReadAfterEdit(1);  // お礼 deleted: the row that took its place
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == 1; }));
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"お礼2"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(BoxText(), L"礼") << "kept";

    test::WriteBytes(MacroFile(), "こんにちは\t挨拶\r\nかいふく\t回復\r\nx\tお返し\r\n");
    file.ReadAfterEdit(2);  // renamed so that the query would hide it
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == 3; }));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(BoxText(), L"");

    test::WriteBytes(dir.Path("other.txt"), "x\t礼状\r\ny\r\n");
    file.Load(dir.Path("other.txt").u16string());
    ASSERT_TRUE(test::PumpUntil([&] { return Titles().size() == 2; }));
    EXPECT_EQ(BoxText(), L"") << "another file: the query goes";
}

}  // namespace
}  // namespace kiv
