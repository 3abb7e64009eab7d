// An edit as the main window makes it: the file, the macro's key and the undo of both.

#include "app/editing/macro_edit_session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "macro/macro_file_edit.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::LoadedMacroList;
using test::ReadBytes;
using test::WriteBytes;

class MacroEditSessionTest : public testing::Test {
  protected:
    MacroList Shown() const { return LoadedMacroList(dir_.Path("chat.txt")); }
    test::TempDir dir_;
    MacroEditSession session_;
    MacroHotkeys hotkeys_;
};

TEST_F(MacroEditSessionTest, AnOutsideEditOrAFileThatCannotBeWrittenChangesNothing) {
    WriteBytes(dir_.Path("chat.txt"), "a\r\nb\r\n");
    session_.Start(dir_.File("chat.txt"));
    const MacroList shown = Shown();
    WriteBytes(dir_.Path("chat.txt"), "x\r\nb\r\n");  // edited outside meanwhile
    const auto conflict = session_.Apply({MacroChange::Kind::Delete, 1, {}}, shown, hotkeys_);
    EXPECT_TRUE(conflict.reload);
    EXPECT_NE(conflict.told.find(u"外で変更"), std::u16string::npos);

    std::filesystem::permissions(dir_.Path("chat.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const auto readOnly = session_.Apply({MacroChange::Kind::Delete, 1, {}}, Shown(), hotkeys_,
                                         MacroEditSession::KeyChange{u"x", u"x", Hotkey{0, 0x76}});
    EXPECT_FALSE(readOnly.reload);
    EXPECT_NE(readOnly.told.find(u"書き込めませんでした"), std::u16string::npos);
    EXPECT_EQ(hotkeys_.KeyOf(u"x"), std::nullopt) << "no key for a change never made";
}

// A key kept for a title no macro has, taken over by an edited macro: undo gives it back there.
TEST_F(MacroEditSessionTest, AKeyTakenOverFromATitleNoMacroHasComesBackWithUndo) {
    WriteBytes(dir_.Path("chat.txt"), ToAnsi(u"お願い\t回復\r\n"));
    session_.Start(dir_.File("chat.txt"));
    const Hotkey f7{0, 0x76};
    hotkeys_.Set(u"旧名", u"旧名", f7);
    const auto taken =
        session_.Apply({MacroChange::Kind::Replace, 1, Macro(u"お願いします", u"回復")}, Shown(),
                       hotkeys_, MacroEditSession::KeyChange{u"回復", u"回復", f7, u"旧名"});
    EXPECT_EQ(hotkeys_.Entries(), (std::vector<MacroHotkey>{{u"F7", u"回復"}}));
    session_.Undo(hotkeys_);
    EXPECT_EQ(hotkeys_.Entries(), (std::vector<MacroHotkey>{{u"F7", u"旧名"}}));
}

// Several steps, as a user makes them: each key change is undone with its
// own step only (a key set meanwhile outside the steps stays), a refused
// change moves no key, and a change with nothing to write still gives its key.
TEST_F(MacroEditSessionTest, KeysFollowEachStepAndComeBackOneUndoAtATime) {
    using Kind = MacroChange::Kind;
    const Hotkey f6{0, 0x75}, f7{0, 0x76}, f8{0, 0x77}, f9{0, 0x78}, f10{0, 0x79}, f11{0, 0x7A};
    const std::u16string original = u"お願い\t回復\r\nありがとう\r\n";
    WriteBytes(dir_.Path("chat.txt"), ToAnsi(original));
    session_.Start(dir_.File("chat.txt"));
    hotkeys_.Set(u"回復", u"回復", f7);
    hotkeys_.Set(u"ありがとう", u"ありがとう", f8);
    hotkeys_.Set(u"回復依頼", u"回復依頼", f9);  // kept for a title no macro has yet
    const auto keys = [&] {
        return std::vector<std::optional<Hotkey>>{
            hotkeys_.KeyOf(u"回復"), hotkeys_.KeyOf(u"回復依頼"), hotkeys_.KeyOf(u"ありがとう")};
    };
    using Keys = std::vector<std::optional<Hotkey>>;

    const auto keyOnly =
        session_.Apply({Kind::Replace, 2, Macro(u"ありがとう", u"ありがとう")}, Shown(), hotkeys_,
                       MacroEditSession::KeyChange{u"ありがとう", u"ありがとう", f6});
    EXPECT_FALSE(keyOnly.reload);
    EXPECT_TRUE(keyOnly.hotkeysChanged);
    EXPECT_EQ(keys(), (Keys{f7, f9, f6}));

    const auto renamed =
        session_.Apply({Kind::Replace, 1, Macro(u"お願い", u"回復依頼")}, Shown(), hotkeys_,
                       MacroEditSession::KeyChange{u"回復", u"回復依頼", f7});
    EXPECT_TRUE(renamed.reload);
    EXPECT_EQ(renamed.select, 1u);
    EXPECT_EQ(keys(), (Keys{std::nullopt, f7, f6})) << "one key a title: F9 gives way";
    hotkeys_.Set(u"挨拶", u"挨拶", f11);  // a key on its own, not the undo's to take
    EXPECT_FALSE(session_.Apply({Kind::MoveDown, 1, {}}, Shown(), hotkeys_).hotkeysChanged);
    const auto refused =
        session_.Apply({Kind::Replace, 1, Macro(u"♥", u"ありがとう")}, Shown(), hotkeys_,
                       MacroEditSession::KeyChange{u"ありがとう", u"ありがとう", f10});
    EXPECT_FALSE(refused.told.empty());
    EXPECT_FALSE(refused.hotkeysChanged);
    EXPECT_EQ(keys(), (Keys{std::nullopt, f7, f6})) << "no key for a change never made";

    EXPECT_FALSE(session_.Undo(hotkeys_).hotkeysChanged) << "the move moved no key";
    EXPECT_EQ(FromAnsi(ReadBytes(dir_.Path("chat.txt"))), u"お願い\t回復依頼\r\nありがとう\r\n");
    const auto undone = session_.Undo(hotkeys_);
    EXPECT_TRUE(undone.reload);
    EXPECT_TRUE(undone.hotkeysChanged);
    EXPECT_EQ(keys(), (Keys{f7, f9, f6})) << "each title's key as before the rename";
    EXPECT_EQ(hotkeys_.KeyOf(u"挨拶"), f11);
    EXPECT_EQ(FromAnsi(ReadBytes(dir_.Path("chat.txt"))), original);
    EXPECT_FALSE(session_.CanUndo());
}

}  // namespace
}  // namespace kiv
