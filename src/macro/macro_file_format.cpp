#include "macro/macro_file_format.h"

#include <cstring>
#include <memory>
#include <optional>

#include "macro/macro_texts.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

constexpr std::size_t kReadChunk = std::size_t{64} * 1024;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// A surrogate without its partner: UTF-8 cannot hold it, and at the end of a
// UTF-16 file the reader drops it.
std::optional<char16_t> LoneSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return text[i];
        }
    }
    return std::nullopt;
}

const char* Find(const char* begin, const char* end, char c) {
    const void* found = std::memchr(begin, c, static_cast<std::size_t>(end - begin));
    return found != nullptr ? static_cast<const char*>(found) : end;
}
const char16_t* Find(const char16_t* begin, const char16_t* end, char16_t c) {
    return std::find(begin, end, c);
}

// Cuts a stream of characters (bytes, or UTF-16 units) into lines, arriving
// in pieces of any size. CR and LF are never part of a CP932 or UTF-8
// multi-byte character, so bytes can be cut before they are decoded.
template <typename Char>
class LineSplitter {
  public:
    // Given each line and whether it is the last, unended one; false stops
    // the reading.
    using Sink = std::function<bool(std::basic_string_view<Char> line, bool last)>;

    LineSplitter(Sink sink, LineEnds ends) : sink_(std::move(sink)), ends_(ends) {}

    LineEnds Ends() const { return ends_; }
    // A CR came after lines that LFs had ended: the file mixes line ends.
    bool FoundMixedEnds() const { return mixed_; }

    // False when the reading stops.
    bool Feed(const Char* data, std::size_t size) {
        if (size == 0) return true;  // a CR just before stays just before
        const Char* pos = data;
        const Char* const end = data + size;
        if (afterCarriageReturn_ && pos != end && *pos == Char('\n')) ++pos;
        afterCarriageReturn_ = false;
        while (pos != end) {
            if (ends_ == LineEnds::None) {
                const Char* feed = Find(pos, end, Char('\n'));
                if (Find(pos, feed, Char('\r')) != feed) {
                    if (lineFeedEnded_) {
                        mixed_ = true;
                        return false;
                    }
                    ends_ = LineEndsOf(/*hasCarriageReturn=*/true, /*hasLineFeed=*/false);
                    continue;
                }
                if (feed == end) break;
                lineFeedEnded_ = true;
                if (!Emit(pos, feed)) return false;
                pos = feed + 1;
                continue;
            }
            const Char ender = ends_ == LineEnds::LineFeed ? Char('\n') : Char('\r');
            const Char* found = Find(pos, end, ender);
            if (found == end) break;
            if (!Emit(pos, found)) return false;
            pos = found + 1;
            if (ender == Char('\r')) {
                if (pos == end) {
                    afterCarriageReturn_ = true;
                } else if (*pos == Char('\n')) {
                    ++pos;
                }
            }
        }
        pending_.append(pos, end);
        return true;
    }

    bool Finish() {
        if (ends_ == LineEnds::None) ends_ = LineEndsOf(false, lineFeedEnded_);
        if (pending_.empty()) return true;
        const bool go = sink_(pending_, true);
        pending_.clear();
        return go;
    }

  private:
    bool Emit(const Char* begin, const Char* end) {
        if (pending_.empty()) return sink_({begin, static_cast<std::size_t>(end - begin)}, false);
        pending_.append(begin, end);
        const bool go = sink_(pending_, false);
        pending_.clear();
        return go;
    }

    Sink sink_;
    LineEnds ends_;
    std::basic_string<Char> pending_;
    bool afterCarriageReturn_ = false;
    bool lineFeedEnded_ = false;
    bool mixed_ = false;
};

// What an earlier reading of the same file found out.
struct Decisions {
    LineEnds ends = LineEnds::None;
    bool cp932 = false;  // a line that is not UTF-8 was found
};

class Decoder {
  public:
    Decoder(const MacroFileLineSink& sink, Decisions decided)
        : sink_(sink),
          decided_(decided),
          bytes_([this](std::string_view line, bool last) { return ByteLine(line, last); },
                 decided.ends),
          units_(
              [this](std::u16string_view line, bool last) {
                  // Cut inside a surrogate pair, the character is lost whole.
                  if (last && !line.empty() && IsHighSurrogate(line.back())) {
                      line.remove_suffix(1);
                  }
                  sink_({line, {}, Encoding()});
                  return true;
              },
              decided.ends) {}

    bool Feed(std::string_view data) {
        if (!started_) {
            const std::size_t take = std::min<std::size_t>(3 - head_.size(), data.size());
            head_.append(data.substr(0, take));
            data.remove_prefix(take);
            if (head_.size() < 3) return true;
            if (!Start()) return false;
        }
        return Pass(data);
    }

    bool Finish() {
        if (!started_ && !Start()) return false;
        if (encoding_ == State::Utf16Le || encoding_ == State::Utf16Be) {
            // An odd last byte is half a character: dropped.
            if (!units_.Finish()) return false;
            decided_.ends = units_.Ends();
            return !units_.FoundMixedEnds();
        }
        if (!bytes_.Finish()) return false;
        decided_.ends = bytes_.Ends();
        return !mustRestart_;
    }

    // For the next reading, when this one stopped.
    Decisions Decided() const {
        Decisions decided = decided_;
        if (bytes_.FoundMixedEnds() || units_.FoundMixedEnds()) {
            decided.ends = LineEnds::CarriageReturn;
        }
        return decided;
    }

    TextEncoding Encoding() const {
        switch (encoding_) {
            case State::Utf8:
            case State::Utf8Guessed:
                return TextEncoding::Utf8;
            case State::Utf16Le:
                return TextEncoding::Utf16Le;
            case State::Utf16Be:
                return TextEncoding::Utf16Be;
            default:
                return TextEncoding::Ansi;
        }
    }

  private:
    enum class State { AsciiSoFar, Utf8Guessed, Utf8, Ansi, Utf16Le, Utf16Be };

    bool Start() {
        started_ = true;
        std::string_view head = head_;
        if (const std::optional<ByteOrderMark> mark = MarkAtStart(head)) {
            encoding_ = mark->encoding == TextEncoding::Utf8      ? State::Utf8
                        : mark->encoding == TextEncoding::Utf16Le ? State::Utf16Le
                                                                  : State::Utf16Be;
            head.remove_prefix(mark->size);
        } else {
            // EncodingWithoutMark's rule, decided line by line as the lines come.
            encoding_ = decided_.cp932 ? State::Ansi : State::AsciiSoFar;
        }
        return Pass(head);
    }

    bool Pass(std::string_view data) {
        if (encoding_ != State::Utf16Le && encoding_ != State::Utf16Be) {
            if (encoding_ != State::Utf8 && data.find('\0') != std::string_view::npos) {
                throw NotMacroFileText();
            }
            return bytes_.Feed(data.data(), data.size());
        }
        const bool little = encoding_ == State::Utf16Le;
        const auto unit = [little](unsigned char first, unsigned char second) {
            return static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
        };
        unitBuffer_.clear();
        std::size_t pos = 0;
        if (oddByte_ && !data.empty()) {
            unitBuffer_ += unit(*oddByte_, static_cast<unsigned char>(data[0]));
            oddByte_.reset();
            pos = 1;
        }
        for (; pos + 1 < data.size(); pos += 2) {
            unitBuffer_ += unit(static_cast<unsigned char>(data[pos]),
                                static_cast<unsigned char>(data[pos + 1]));
        }
        if (pos < data.size()) oddByte_ = static_cast<unsigned char>(data[pos]);
        return units_.Feed(unitBuffer_.data(), unitBuffer_.size());
    }

    bool ByteLine(std::string_view line, bool last) {
        text_.clear();
        if (encoding_ == State::AsciiSoFar || encoding_ == State::Utf8Guessed) {
            // The end of a file cut in a character is forgiven to UTF-8 only:
            // after a whole multi-byte character, in this line or before. In
            // CP932 those bytes are a character of their own.
            const bool forgiveCut = last && (encoding_ == State::Utf8Guessed ||
                                             ClassifyUtf8(line, true) == Utf8Form::MultiByte);
            switch (AppendFromWellFormedUtf8(line, text_, forgiveCut)) {
                case Utf8Form::Ascii:
                    break;
                case Utf8Form::MultiByte:
                    encoding_ = State::Utf8Guessed;
                    break;
                case Utf8Form::Malformed:
                    if (encoding_ == State::Utf8Guessed) {
                        // Lines before were read as UTF-8: all must be read again.
                        decided_.cp932 = true;
                        mustRestart_ = true;
                        return false;
                    }
                    // Only ASCII so far, which reads alike either way.
                    encoding_ = State::Ansi;
                    AppendFromFileCodePage(line, text_);
                    break;
            }
        } else if (encoding_ == State::Ansi) {
            AppendFromFileCodePage(line, text_);
        } else {
            AppendFromUtf8(line, text_, last);
        }
        sink_({text_, line, Encoding()});
        return true;
    }

    const MacroFileLineSink& sink_;
    Decisions decided_;
    LineSplitter<char> bytes_;
    LineSplitter<char16_t> units_;
    State encoding_ = State::AsciiSoFar;
    bool started_ = false;
    bool mustRestart_ = false;
    std::string head_;
    std::optional<unsigned char> oddByte_;
    std::u16string unitBuffer_;
    std::u16string text_;
};

}  // namespace

LineEnds LineEndsOf(bool hasCarriageReturn, bool hasLineFeed) {
    if (hasCarriageReturn) return LineEnds::CarriageReturn;
    return hasLineFeed ? LineEnds::LineFeed : LineEnds::None;
}

FileError NotMacroFileTextError(const std::u16string& path) {
    return {path, FileError::Step::NotText, std::u16string(texts::kNulWithoutMark)};
}

std::u16string WhyTextCannotBeWritten(std::u16string_view field, std::u16string_view text,
                                      TextEncoding encoding, TextRules rules) {
    const std::u16string name(field);
    if (text.find_first_of(rules.tabAllowed ? u"\r\n" : u"\t\r\n") != std::u16string_view::npos) {
        return Fill(texts::kTabOrLineBreakIn, {name});
    }
    // Written to a file without a mark, it would make the file no text.
    if (text.find(u'\0') != std::u16string_view::npos) return Fill(texts::kNulIn, {name});
    if (const auto lone = LoneSurrogate(text)) {
        return Fill(texts::kBrokenCharacterIn, {name, CodePointText(*lone)});
    }
    if (encoding == TextEncoding::Ansi) {
        if (const auto lacking = CharactersFileCodePageLacks(text); !lacking.empty()) {
            return Fill(texts::kCannotBeSavedIn,
                        {name, FileCodePageName(), NameCharacters(lacking)});
        }
    }
    return {};
}

std::u16string MacroLineText(const Macro& macro) {
    if (macro.Title() == macro.Message()) return macro.Message();
    return macro.Message() + u'\t' + macro.Title();
}

Macro MacroOfLine(std::u16string_view line) {
    const std::size_t tab = MessageEndIn(line);
    if (tab == std::u16string_view::npos) return {std::u16string(line), std::u16string(line)};
    return {std::u16string(line.substr(0, tab)), std::u16string(line.substr(tab + 1))};
}

std::u16string WhyMacroCannotBeWritten(const Macro& macro, TextEncoding fileEncoding) {
    std::u16string why =
        WhyTextCannotBeWritten(texts::kMessageField, macro.Message(), fileEncoding, {});
    if (why.empty() && macro.Title() != macro.Message()) {
        why = WhyTextCannotBeWritten(texts::kTitleField, macro.Title(), fileEncoding,
                                     {.tabAllowed = true});
    }
    if (why.empty() && IsBlankLine(MacroLineText(macro))) {
        why = texts::kBlankLineNeedsTitle;
    }
    return why;
}

TextEncoding ReadMacroFileLines(const std::function<ByteReader()>& open,
                                const std::function<void()>& restart,
                                const MacroFileLineSink& line) {
    const auto buffer = std::make_unique<char[]>(kReadChunk);
    Decisions decided;
    // Each new reading settles one more question, so a third is the last.
    for (int reading = 1;; ++reading) {
        const ByteReader read = open();
        Decoder decoder(line, decided);
        bool whole = true;
        while (const std::size_t got = read(buffer.get(), kReadChunk)) {
            if (!decoder.Feed({buffer.get(), got})) {
                whole = false;
                break;
            }
        }
        if ((whole && decoder.Finish()) || reading == 3) return decoder.Encoding();
        decided = decoder.Decided();
        restart();
    }
}

}  // namespace kiv
