// The macro file reader against simpler ones: the file read whole, and, for
// the files the tool always read, the reader it always had.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

struct Read {
    std::vector<std::u16string> lines;
    TextEncoding encoding = TextEncoding::Cp932;
    friend bool operator==(const Read&, const Read&) = default;
};
void PrintTo(const Read& read, std::ostream* out) {
    for (const std::u16string& line : read.lines) *out << '[' << ToUtf8(line) << ']';
}

// The file arriving `piece` bytes at a time (0: as much as is asked for).
Read ReadInPieces(const std::string& bytes, std::size_t piece) {
    Read read;
    read.encoding = ReadMacroFileLines(
        [&] {
            return [&, rest = std::string_view(bytes)](char* buffer, std::size_t capacity) mutable {
                const std::size_t take =
                    std::min({capacity, piece == 0 ? capacity : piece, rest.size()});
                std::copy_n(rest.data(), take, buffer);
                rest.remove_prefix(take);
                return take;
            };
        },
        [&] { read.lines.clear(); },
        [&](const MacroFileLine& line) { read.lines.emplace_back(line.text); });
    return read;
}

// What the tool always did: cut the bytes at CR LF or a lone CR, and convert
// each line from CP932 on its own.
std::vector<std::u16string> ReadAsAlways(std::string_view bytes) {
    std::vector<std::u16string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            line += bytes[i];
            continue;
        }
        lines.push_back(FromAnsi(line));
        line.clear();
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    if (!line.empty()) lines.push_back(FromAnsi(line));
    return lines;
}

std::string Hex(std::string_view bytes) {
    std::string hex;
    for (const unsigned char c : bytes)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return hex;
}

TEST(MacroFileReader, ReadsTheSameInPiecesOfAnySizeAndCp932AsAlways) {
    // Bytes that make marks, line ends, UTF-8 and CP932 characters and their pieces.
    const std::string alphabet =
        std::string("a\t\r\n\x82\xa0\xe3\x81\x82\xc3\xbd\xef\xbb\xbf\xff\xfe", 16) + '\0';
    std::mt19937 random(20261208);  // the same files every run
    for (int round = 0; round < 1500; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& c : bytes) c = alphabet[random() % alphabet.size()];
        const Read whole = ReadInPieces(bytes, 0);
        for (const std::size_t piece : {1u, 2u, 3u, 5u}) {
            ASSERT_EQ(ReadInPieces(bytes, piece), whole) << Hex(bytes) << " in pieces of " << piece;
        }
        if (whole.encoding == TextEncoding::Cp932 && bytes.find('\r') != std::string::npos) {
            ASSERT_EQ(whole.lines, ReadAsAlways(bytes)) << Hex(bytes);
        }
    }
}

TEST(MacroFileReader, ALateDecisionReadsTheWholeFileAgain) {
    std::string utf8Lines;  // well past one read of 64 KiB
    for (int i = 0; i < 10000; ++i) utf8Lines += "\xe3\x81\x82\r\n";  // あ
    const Read cp932 = ReadInPieces(utf8Lines + "\x82\xa0\r\n", 0);   // then あ in CP932
    EXPECT_EQ(cp932.encoding, TextEncoding::Cp932);
    EXPECT_EQ(cp932.lines.size(), 10001u);
    EXPECT_EQ(cp932.lines.back(), u"あ");
    EXPECT_EQ(cp932.lines.front(), FromAnsi("\xe3\x81\x82"));

    std::string lfLines;
    for (int i = 0; i < 20000; ++i) lfLines += "line\n";
    const Read mixed = ReadInPieces(lfLines + "end\r\n", 0);
    ASSERT_EQ(mixed.lines.size(), 1u) << "a CR anywhere: LFs stay inside the line";
    EXPECT_EQ(mixed.lines[0].size(), 5u * 20000 + 3);
}

}  // namespace
}  // namespace kiv
