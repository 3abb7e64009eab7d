// The readings read off the window's thread, each text once. Wine has no
// Japanese input method: a reader of the test's own stands in through the
// seam, and the input method's own is tried only where one answers.

#include "app/finding/macro_readings_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <map>
#include <thread>

#include "macro/search_folding.h"
#include "platform/text_reader_win32.h"
#include "support/host_window.h"
#include "support/in_process_window.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

constexpr UINT kCame = WM_APP + 7;

std::atomic<int> reads{0};
std::atomic<DWORD> readOn{0};

class TableReader final : public TextReader {
  public:
    std::optional<std::u16string> ReadingOf(std::u16string_view text) override {
        ++reads;
        readOn = GetCurrentThreadId();
        static const std::map<std::u16string_view, std::u16string_view> kTable = {
            {u"自分で回復", u"じぶんでかいふく"}, {u"挨拶", u"あいさつ"}, {u"壊れ", u""}};
        const auto found = kTable.find(text);
        if (found == kTable.end()) return std::nullopt;
        return std::u16string(found->second);
    }
};

TEST(MacroReadings, AreReadOffTheWindowsThreadOnceEachAndFindKanjiByHowTheySound) {
    MacroReadings::SetReaderMaker(
        []() -> std::unique_ptr<TextReader> { return std::make_unique<TableReader>(); });
    test::TempDir dir;
    test::WriteBytes(dir.Path("a.txt"),
                     "\xEF\xBB\xBF"
                     "自分で回復\r\nありがとう\r\nhello\t挨拶\r\n壊れ\r\n");
    const MacroList list = test::LoadedMacroList(dir.Path("a.txt"));
    int came = 0;
    test::HostWindow window;
    window.SetRoute([&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != kCame) return std::nullopt;
        ++came;
        return 0;
    });
    MacroReadings readings;
    readings.Attach(window.Handle(), kCame);
    reads = 0;
    readings.Of(list);
    EXPECT_TRUE(readings.Want()) << "nothing read before finding begins";
    EXPECT_FALSE(readings.Want());
    EXPECT_EQ(reads.load(), 0);
    EXPECT_EQ(readings.Of(list)[0].title, u"") << "none known yet";
    ASSERT_TRUE(test::PumpUntil([&] { return came > 0; }));
    EXPECT_TRUE(readings.Take());
    EXPECT_NE(readOn.load(), GetCurrentThreadId());
    EXPECT_EQ(reads.load(), 3) << "only the texts with kanji: 自分で回復, 挨拶, 壊れ";

    const std::vector<MacroReading> known = readings.Of(list);
    ASSERT_EQ(known.size(), 4u);
    EXPECT_EQ(known[0].title, u"じぶんでかいふく");
    EXPECT_EQ(known[1].title, u"") << "kana need none";
    EXPECT_EQ(known[2].message, u"") << "hello";
    EXPECT_EQ(known[2].title, u"あいさつ");
    const MacroSearch search(list, known);
    EXPECT_EQ(search.Find(u"jibun kaifuku"), std::vector<std::size_t>{0});
    EXPECT_EQ(search.Find(u"aisatsu"), std::vector<std::size_t>{2});
    EXPECT_EQ(reads.load(), 3) << "each text read once";
    MacroReadings::SetReaderMaker(nullptr);
}

// On Windows with its Japanese input method, as the worker makes it: a
// single-threaded apartment of a thread of its own.
TEST(MacroReadings, TheInputMethodsReaderReadsKanjiWhereOneAnswers) {
    std::optional<std::u16string> reading;
    bool none = false;
    std::thread worker([&] {
        std::unique_ptr<TextReader> reader = MakeInputMethodReader();
        if (reader == nullptr) {
            none = true;
            return;
        }
        reading = reader->ReadingOf(u"自分");
    });
    worker.join();
    if (none) GTEST_SKIP() << "no Japanese input method answers here (Wine has none)";
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(FoldForSearch(*reading), u"じぶん");
}

}  // namespace
}  // namespace kiv
