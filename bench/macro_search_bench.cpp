// Finding macros as the user types, over 100,000 varied macros, against the
// least any search must do (one plain scan of the text's UTF-8 bytes for the
// same words); the same with the kanji's readings, typed as romaji; building
// the folded copy; and what that copy takes against the file's size in CP932
// and in UTF-8.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/finding/visible_rows.h"
#include "macro/macro_list.h"
#include "macro/macro_search.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"

namespace {

constexpr int kMacros = 100'000;

// What players' macros are made of, kind by kind.
constexpr std::u16string_view kKana[] = {
    u"ありがとう", u"よろしく",   u"お願いします", u"おつかれさま",
    u"すみません", u"こんにちは", u"おはよう",     u"いってきます",
    u"ただいま",   u"まってて",   u"ごめんなさい", u"おやすみ",
    u"またね",     u"いきます",   u"たすけて",     u"どうぞ",
    u"です",       u"ます",       u"を",           u"に",
    u"は",         u"の",         u"で",           u"が"};
constexpr std::u16string_view kKatakana[] = {
    u"パーティー", u"ギルド", u"ダンジョン", u"ボス",       u"アイテム", u"レベル",   u"クエスト",
    u"ヒール",     u"バフ",   u"タンク",     u"アタッカー", u"ログイン", u"チャット", u"イベント"};
constexpr std::u16string_view kKanji[] = {
    u"回復", u"魔法",   u"攻撃",   u"防御", u"支援",   u"募集", u"討伐", u"装備", u"強化", u"報酬",
    u"参加", u"集合",   u"場所",   u"時間", u"前衛",   u"後衛", u"召喚", u"転送", u"準備", u"完了",
    u"了解", u"感謝",   u"失礼",   u"挨拶", u"移動",   u"待機", u"解散", u"休憩", u"確認", u"注意",
    u"一緒", u"大丈夫", u"申し訳", u"頑張", u"宜しく", u"御願", u"本日", u"今日", u"明日", u"皆様"};
// How the input method reads each of those back.
constexpr std::u16string_view kKanjiReadings[] = {
    u"かいふく", u"まほう",       u"こうげき",   u"ぼうぎょ",   u"しえん",     u"ぼしゅう",
    u"とうばつ", u"そうび",       u"きょうか",   u"ほうしゅう", u"さんか",     u"しゅうごう",
    u"ばしょ",   u"じかん",       u"ぜんえい",   u"こうえい",   u"しょうかん", u"てんそう",
    u"じゅんび", u"かんりょう",   u"りょうかい", u"かんしゃ",   u"しつれい",   u"あいさつ",
    u"いどう",   u"たいき",       u"かいさん",   u"きゅうけい", u"かくにん",   u"ちゅうい",
    u"いっしょ", u"だいじょうぶ", u"もうしわけ", u"がんば",     u"よろしく",   u"おねがい",
    u"ほんじつ", u"きょう",       u"あした",     u"みなさま"};
static_assert(std::size(kKanjiReadings) == std::size(kKanji));
constexpr std::u16string_view kAscii[] = {
    u"HP",  u"MP",  u"/p ", u"/g ",        u"thanks",  u"gg", u"ok",   u"party", u"<now>",
    u"\\n", u"lol", u"brb", u"Thank you!", u"see you", u"LV", u"Boss", u"heal",  u"x2"};
constexpr std::u16string_view kFullWidth[] = {u"ＨＰ", u"ＭＰ", u"１００％", u"！",
                                              u"？",   u"ＯＫ", u"（笑）",   u"ＬＶ"};
constexpr std::u16string_view kHalfWidth[] = {u"ｱﾘｶﾞﾄｳ", u"ﾖﾛｼｸ", u"ｶﾞﾝﾊﾞﾚ",
                                              u"ﾊﾟｰﾃｨｰ", u"ｵﾂｶﾚ", u"ﾄﾞｳｿﾞ"};
constexpr std::u16string_view kPunctuation[] = {u"、", u"。", u"！", u" ", u"　", u"・", u"～"};
// Found in a handful of macros only.
constexpr std::u16string_view kRareKanji = u"鬱";
constexpr std::u16string_view kRareKanjiReading = u"うつ";

enum class Mix { Varied, KanjiHeavy };

struct Corpus {
    kiv::MacroList list;
    // Each macro's, where it has a kanji piece.
    std::vector<kiv::MacroReading> readings;
    std::size_t cp932Bytes = 0;
    std::size_t utf8Bytes = 0;
};

template <std::size_t N>
std::u16string_view AnyOf(std::mt19937& random, const std::u16string_view (&pieces)[N]) {
    return pieces[random() % N];
}

// A piece, of each kind as often as the mix has it; its reading, a kanji
// piece's in kana and any other's itself, goes on the end of `reading`.
std::u16string Piece(std::mt19937& random, Mix mix, std::u16string& reading) {
    const auto itself = [&reading](std::u16string_view piece) {
        reading += piece;
        return std::u16string(piece);
    };
    const auto kanji = [&] {
        const std::size_t which = random() % std::size(kKanji);
        reading += kKanjiReadings[which];
        return std::u16string(kKanji[which]);
    };
    if (random() % 20'000 == 0) {
        reading += kRareKanjiReading;
        return std::u16string(kRareKanji);
    }
    const unsigned roll = random() % 100;
    if (mix == Mix::KanjiHeavy) {
        if (roll < 65) return kanji();
        if (roll < 85) return itself(AnyOf(random, kKana));
        if (roll < 95) return itself(AnyOf(random, kPunctuation));
        return itself(AnyOf(random, kKatakana));
    }
    if (roll < 28) return itself(AnyOf(random, kKana));
    if (roll < 42) return itself(AnyOf(random, kKatakana));
    if (roll < 64) return kanji();
    if (roll < 78) return itself(AnyOf(random, kAscii));
    if (roll < 83) return itself(AnyOf(random, kFullWidth));
    if (roll < 88) return itself(AnyOf(random, kHalfWidth));
    if (roll < 97) return itself(AnyOf(random, kPunctuation));
    const std::string number = std::to_string(random() % 1000);
    return itself(std::u16string(number.begin(), number.end()));
}

// A text; its reading in `reading`, empty when it reads as itself.
std::u16string Text(std::mt19937& random, Mix mix, unsigned most, std::u16string& reading) {
    std::u16string text;
    reading.clear();
    for (unsigned n = 1 + random() % most; n > 0; --n) text += Piece(random, mix, reading);
    // A line of spaces alone is no macro.
    if (text.find_first_not_of(u" \u3000") == std::u16string::npos) {
        text += u"。";
        reading += u"。";
    }
    if (reading == text) reading.clear();
    return text;
}

// 100,000 macros (or `count`), every one its own (short and long, one kind
// of text or several), written in CP932 as files always were and read as the
// tool reads them.
Corpus MakeCorpus(Mix mix, int count = kMacros) {
    std::mt19937 random(mix == Mix::Varied ? 1234 : 5678);
    std::string cp932;
    Corpus corpus;
    for (int i = 0; i < count; ++i) {
        kiv::MacroReading reading;
        std::u16string line = Text(random, mix, 12, reading.message);
        if (random() % 10 != 0) {
            line += u"\t" + Text(random, mix, 4, reading.title);
        } else {
            reading.title = reading.message;  // its own title
        }
        corpus.readings.push_back(std::move(reading));
        cp932 += kiv::ToAnsi(line) + "\r\n";
        corpus.utf8Bytes += kiv::ToUtf8(line).size() + 2;
    }
    corpus.cp932Bytes = cp932.size();
    const auto path = std::filesystem::temp_directory_path() / "kivmacro-search-bench.txt";
    std::ofstream(path, std::ios::binary)
        .write(cp932.data(), static_cast<std::streamsize>(cp932.size()));
    corpus.list.SetFileName(path.u16string());
    corpus.list.LoadData(kiv::MacroList::MissingFile::Fail);
    std::filesystem::remove(path);
    if (corpus.list.Count() != corpus.readings.size()) throw std::logic_error("a line was lost");
    return corpus;
}

const Corpus& Varied() {
    static const Corpus corpus = MakeCorpus(Mix::Varied);
    return corpus;
}

const kiv::MacroSearch& Search() {
    static const kiv::MacroSearch search(Varied().list);
    return search;
}

const kiv::MacroSearch& SearchWithReadings() {
    static const kiv::MacroSearch search(Varied().list, Varied().readings);
    return search;
}

// The titles' and messages' UTF-8 bytes, one after the other.
const std::string& Utf8Text() {
    static const std::string text = [] {
        std::string all;
        for (std::size_t position = 1; position <= Varied().list.Count(); ++position) {
            all += kiv::ToUtf8(Varied().list.Title(position));
            all += kiv::ToUtf8(Varied().list.Message(position));
        }
        return all;
    }();
    return text;
}

void BM_Find(benchmark::State& state, const kiv::MacroSearch& search, const std::u16string& query) {
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<std::size_t> indexes = search.Find(query);
        found = indexes.size();
        benchmark::DoNotOptimize(indexes.data());
    }
    state.counters["found"] = static_cast<double>(found);
}

// Every place each word's bytes are, in one scan a word.
void BM_ByteScan(benchmark::State& state, const std::u16string& query) {
    const std::string_view text = Utf8Text();
    std::vector<std::string> words;
    for (std::size_t at = 0; at < query.size();) {
        const std::size_t end = std::min(query.find(u' ', at), query.size());
        if (end > at) words.push_back(kiv::ToUtf8(query.substr(at, end - at)));
        at = end + 1;
    }
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const std::string& word : words) {
            for (std::size_t at = text.find(word); at != std::string_view::npos;
                 at = text.find(word, at + word.size())) {
                ++hits;
            }
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_Construct(benchmark::State& state, Mix mix, bool withReadings) {
    static const Corpus kanjiHeavy = MakeCorpus(Mix::KanjiHeavy);
    const Corpus& corpus = mix == Mix::Varied ? Varied() : kanjiHeavy;
    const std::vector<kiv::MacroReading> none;
    const std::vector<kiv::MacroReading>& readings = withReadings ? corpus.readings : none;
    std::size_t memory = 0;
    for (auto _ : state) {
        const kiv::MacroSearch search(corpus.list, readings);
        memory = search.MemoryBytes();
        benchmark::DoNotOptimize(memory);
    }
    state.counters["memory_bytes"] = static_cast<double>(memory);
    state.counters["cp932_file_bytes"] = static_cast<double>(corpus.cp932Bytes);
    state.counters["utf8_file_bytes"] = static_cast<double>(corpus.utf8Bytes);
    state.counters["memory_per_cp932_byte"] =
        static_cast<double>(memory) / static_cast<double>(corpus.cp932Bytes);
    state.counters["memory_per_utf8_byte"] =
        static_cast<double>(memory) / static_cast<double>(corpus.utf8Bytes);
}

// What a tab of 10,000 macros costs to show again, besides putting its titles
// in the list box: its text folded for finding, every row shown, the macro
// it had selected found on its row.
void BM_ShowTab(benchmark::State& state) {
    static const Corpus tab = MakeCorpus(Mix::Varied, 10'000);
    for (auto _ : state) {
        const kiv::MacroSearch search(tab.list);
        kiv::VisibleRows rows;
        rows.ShowAll(tab.list.Count());
        benchmark::DoNotOptimize(rows.RowOf(tab.list.Count() / 2));
        benchmark::DoNotOptimize(search.MemoryBytes());
    }
    state.counters["file_bytes"] = static_cast<double>(tab.cp932Bytes);
}

}  // namespace

int main(int argc, char** argv) {
    // Typing a romaji word key by key, a kana (its first key too), two
    // words, a rare kanji; then kanji by their reading, one still being
    // typed and two words, each with the readings and without.
    const std::u16string queries[] = {
        u"a",       u"ar",       u"ari", u"arig",     u"ariga",           u"arigat",
        u"arigato", u"arigatou", u"よ",  u"よろしく", u"ぱーてぃー 募集", u"hp 回復",
        u"鬱"};
    const std::u16string readingQueries[] = {u"kaifuku", u"kaif",     u"mahou",
                                             u"junbi",   u"かいふく", u"kougeki shuugou"};
    const auto find = [](const std::string& name, const kiv::MacroSearch& (*search)(),
                         const std::u16string& query) {
        benchmark::RegisterBenchmark(
            (name + "/" + kiv::ToUtf8(query)).c_str(),
            [search, query](benchmark::State& state) { BM_Find(state, search(), query); })
            ->Unit(benchmark::kMillisecond);
    };
    for (const std::u16string& query : queries) {
        const std::string name = kiv::ToUtf8(query);
        find("BM_Find", Search, query);
        benchmark::RegisterBenchmark(("BM_ByteScan/" + name).c_str(), [query](
                                                                          benchmark::State& state) {
            BM_ByteScan(state, query);
        })->Unit(benchmark::kMillisecond);
    }
    for (const std::u16string& query : readingQueries) find("BM_Find", Search, query);
    for (const std::u16string& query : queries)
        find("BM_FindWithReadings", SearchWithReadings, query);
    for (const std::u16string& query : readingQueries) {
        find("BM_FindWithReadings", SearchWithReadings, query);
    }
    for (const bool withReadings : {false, true}) {
        const std::string readings = withReadings ? "_readings" : "";
        benchmark::RegisterBenchmark(("BM_Construct/varied" + readings).c_str(),
                                     [withReadings](benchmark::State& state) {
                                         BM_Construct(state, Mix::Varied, withReadings);
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Construct/kanji_heavy" + readings).c_str(),
                                     [withReadings](benchmark::State& state) {
                                         BM_Construct(state, Mix::KanjiHeavy, withReadings);
                                     })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_ShowTab/10000", BM_ShowTab)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
