#include "app/palette/macro_palette_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "platform/utf8.h"
#include "support/host_window.h"
#include "support/in_process_window.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// The palette over a window standing in for the game, with two tabs' files;
// its saying recorded, not delivered.
class MacroPaletteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tabs_.push_back(Written("party.txt",
                                u"回復お願いします\t回復\r\n"
                                u"ありがとう\r\n"
                                u"集合！\t集合\r\n"));
        tabs_.push_back(Written("guild.txt", u"おつかれさま\r\nよろしく\r\n"));
        game_.SetRoute([](UINT, WPARAM, LPARAM) { return std::nullopt; });
        ShowWindow(game_.Handle(), SW_SHOW);
        palette_.Attach(
            {.instance = GetModuleHandleW(nullptr),
             .window = nullptr,
             .timer = 1,
             .holds = [] { return Holds{}; },
             .tabCount = [this] { return tabs_.size(); },
             .listOf = [this](std::size_t tab) -> const MacroList& { return tabs_[tab]; },
             .tabName = [](std::size_t tab) { return tab == 0 ? u"party" : u"guild"; },
             .cameFrom = [this](HWND) { return chatInput_; },
             .say = [this](PaletteMacro macro) -> std::optional<DeliveryOutcome> {
                 if (busy_) return std::nullopt;  // a delivery under way
                 said_.push_back(macro);
                 return DeliveryOutcome::Delivered;
             },
             .save = [this] { ++saves_; },
             .showTool = {},
             .keySet = [this] { return keySet_; },
             .readings =
                 [this](const MacroList& list) {
                     std::vector<MacroReading> readings(list.Count());
                     if (readingsKnown_ && list.Title(1) == u"回復") {
                         readings[0].title = u"かいふく";
                     }
                     return readings;
                 }});
    }

    MacroList Written(const char* name, const std::u16string& text) {
        const std::string bytes = "\xEF\xBB\xBF" + ToUtf8(text);
        std::ofstream(dir_.Path(name), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return test::LoadedMacroList(dir_.Path(name));
    }

    bool OpenOverGame() {
        SetForegroundWindow(game_.Handle());
        palette_.Open();
        return palette_.IsOpen() &&
               test::PumpUntil([&] { return GetForegroundWindow() == palette_.Window(); });
    }

    void Type(std::u16string_view text) {
        for (const char16_t c : text) SendMessageW(palette_.Box(), WM_CHAR, c, 1);
    }
    // A key as the keyboard sends it to the box (Alt: as a system key).
    void Press(WPARAM key, bool alt = false) {
        SendMessageW(palette_.Box(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key,
                     alt ? (1 | (1 << 29)) : 1);
    }

    std::vector<std::u16string> Titles() const {
        std::vector<std::u16string> titles;
        for (const PaletteMacro& row : palette_.Rows()) {
            titles.emplace_back(tabs_[row.tab].Title(row.position));
        }
        return titles;
    }

    test::TempDir dir_;
    std::vector<MacroList> tabs_;
    test::HostWindow game_;
    MacroPalette palette_;
    std::optional<PixelRect> chatInput_;
    std::vector<PaletteMacro> said_;
    int saves_ = 0;
    bool keySet_ = true;
    bool busy_ = false;
    bool readingsKnown_ = true;
};

// Typing narrows (romaji too); Enter, Alt+digit and nothing while the
// input method composes: its Enter only confirms.
TEST_F(MacroPaletteTest, TypingNarrowsAndEnterOrAltDigitSaysButNeverWhileComposing) {
    readingsKnown_ = false;
    ASSERT_TRUE(OpenOverGame());
    EXPECT_EQ(Titles(), (std::vector<std::u16string>{u"回復", u"ありがとう", u"集合",
                                                     u"おつかれさま", u"よろしく"}));
    EXPECT_EQ(GetFocus(), palette_.Box());

    SendMessageW(palette_.Box(), WM_IME_STARTCOMPOSITION, 0, 0);
    SetWindowTextW(palette_.Box(), L"あり");  // an input method showing its composition inline
    Press(VK_RETURN);
    EXPECT_TRUE(said_.empty()) << "the input method's Enter";
    EXPECT_EQ(Titles().size(), 5u) << "only what is committed narrows";
    SendMessageW(palette_.Box(), WM_IME_ENDCOMPOSITION, 0, 0);
    EXPECT_EQ(Titles(), std::vector<std::u16string>{u"ありがとう"});

    SetWindowTextW(palette_.Box(), L"");
    Type(u"kaifu");
    EXPECT_EQ(Titles(), std::vector<std::u16string>{}) << "no reading yet";
    readingsKnown_ = true;
    palette_.ReadingsCame();
    EXPECT_EQ(Titles(), std::vector<std::u16string>{u"回復"}) << "by its reading, once it came";
    busy_ = true;
    Press(VK_RETURN);
    EXPECT_TRUE(palette_.IsOpen()) << "nothing could start: it stays";
    busy_ = false;
    SetWindowTextW(palette_.Box(), L"");
    Type(u"yoro");
    EXPECT_EQ(Titles(), std::vector<std::u16string>{u"よろしく"});
    Press(VK_RETURN);
    ASSERT_EQ(said_, (std::vector<PaletteMacro>{{1, 2}}));
    EXPECT_FALSE(palette_.IsOpen()) << "gone once said";

    ASSERT_TRUE(OpenOverGame());
    Press('3', true);
    Press('9', true);  // no ninth row
    EXPECT_EQ(said_, (std::vector<PaletteMacro>{{1, 2}, {0, 3}}));
}

// Esc gives the keyboard back to the window that had it; a click elsewhere
// closes the palette and takes nothing back.
TEST_F(MacroPaletteTest, EscGivesTheKeyboardBackAndLosingItClosesThePalette) {
    ASSERT_TRUE(OpenOverGame());
    Press(VK_ESCAPE);
    EXPECT_FALSE(palette_.IsOpen());
    EXPECT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == game_.Handle(); }));
    EXPECT_TRUE(said_.empty());

    test::HostWindow other;
    ShowWindow(other.Handle(), SW_SHOW);
    ASSERT_TRUE(OpenOverGame());
    SetForegroundWindow(other.Handle());
    EXPECT_TRUE(test::PumpUntil([&] { return !palette_.IsOpen(); }));
    EXPECT_EQ(GetForegroundWindow(), other.Handle()) << "nothing taken back";
}

// Favourites first, then the most used, then the file's order; Ctrl+D pins
// and unpins, and the counts are written once a minute at most.
TEST_F(MacroPaletteTest, FavouritesThenTheMostUsedComeFirstAndCtrlDPins) {
    palette_.Said(tabs_[1].FileName(), 2);
    palette_.Said(tabs_[1].FileName(), 2);
    palette_.Said(tabs_[0].FileName(), 2);
    EXPECT_EQ(saves_, 1) << "at most once a minute";
    palette_.ToggleFavourite(tabs_[0], 3);
    ASSERT_TRUE(OpenOverGame());
    EXPECT_EQ(Titles(), (std::vector<std::u16string>{u"集合", u"よろしく", u"ありがとう", u"回復",
                                                     u"おつかれさま"}));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(palette_.List(), LB_SETCURSEL, 3, 0);
    Press('D');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(palette_.IsFavourite(tabs_[0], 1));
    palette_.Close();
    ASSERT_TRUE(OpenOverGame());
    EXPECT_EQ(Titles().front(), u"回復") << "pinned first, in the file's order";
}

// A player who never gave the palette a key nor pinned a macro keeps the
// settings file as it was, however many macros are said.
TEST_F(MacroPaletteTest, CountsAreWrittenOnlyOnceThePaletteIsInUse) {
    keySet_ = false;
    palette_.Said(tabs_[0].FileName(), 1);
    EXPECT_EQ(saves_, 0);
    EXPECT_FALSE(palette_.Kept());
    palette_.ToggleFavourite(tabs_[0], 2);
    EXPECT_EQ(saves_, 1) << "a pin puts it in use";
    palette_.ToggleFavourite(tabs_[0], 2);
    EXPECT_TRUE(palette_.Favourites().Empty());
    EXPECT_TRUE(palette_.Kept()) << "the pin written is unwritten too";
    palette_.ClearUsage();
    EXPECT_EQ(saves_, 2) << "emptied: written at once";

    MacroPalette kept;  // the file had them: written though no key is set
    kept.Attach({.instance = nullptr,
                 .window = nullptr,
                 .timer = 1,
                 .holds = {},
                 .tabCount = [this] { return tabs_.size(); },
                 .listOf = [this](std::size_t tab) -> const MacroList& { return tabs_[tab]; },
                 .tabName = {},
                 .cameFrom = {},
                 .say = {},
                 .save = [this] { ++saves_; },
                 .showTool = {},
                 .keySet = [] { return false; },
                 .readings = {}});
    kept.Start({}, {}, true);
    kept.Said(tabs_[0].FileName(), 1);
    EXPECT_EQ(saves_, 3);
}

// Under the chat input, or over it where the screen ends, always inside the
// work area.
TEST_F(MacroPaletteTest, OpensUnderTheChatInputInsideTheWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    chatInput_ = PixelRect{work.left + 40, work.top + 100, work.left + 400, work.top + 120};
    ASSERT_TRUE(OpenOverGame());
    RECT placed{};
    GetWindowRect(palette_.Window(), &placed);
    EXPECT_EQ(placed.left, work.left + 40);
    EXPECT_EQ(placed.top, work.top + 120);
    EXPECT_NE(GetWindowLongPtrW(palette_.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(palette_.Window(), GW_OWNER), nullptr);
    palette_.Close();

    chatInput_ = PixelRect{work.right - 100, work.bottom - 30, work.right, work.bottom - 10};
    ASSERT_TRUE(OpenOverGame());
    GetWindowRect(palette_.Window(), &placed);
    EXPECT_EQ(placed.bottom, work.bottom - 30) << "over the input";
    EXPECT_EQ(placed.right, work.right) << "kept inside";
}

}  // namespace
}  // namespace kiv
