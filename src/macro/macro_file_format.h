#pragma once
// How a macro file's bytes become lines, shared by the tool and the checker so
// that both read a file the same way.
//
// CR LF or a lone CR ends a line, a lone LF does not. The message is what
// precedes the first TAB, the title what follows it (further TABs included); a
// line without a TAB is both message and title. Lines holding nothing but
// spaces (ASCII or ideographic) are skipped.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace kiv {

inline bool IsBlankLine(std::u16string_view line) {
    // U+3000 counts too: a line of full-width spaces typed with a Japanese IME
    // would otherwise show as an empty, unexplained entry.
    return std::all_of(line.begin(), line.end(),
                       [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}

// Cuts a byte stream into lines at CR LF or a lone CR. CR and LF are never
// part of a CP932 double-byte character, so bytes can be cut before decoding.
// The stream may arrive in pieces of any size.
template <typename LineSink>
class LineSplitter {
  public:
    explicit LineSplitter(LineSink sink) : sink_(std::move(sink)) {}

    void Feed(const char* data, std::size_t size) {
        std::size_t pos = 0;
        if (afterCarriageReturn_ && size > 0 && data[0] == '\n') pos = 1;
        afterCarriageReturn_ = false;
        while (pos < size) {
            const void* found = std::memchr(data + pos, '\r', size - pos);
            if (found == nullptr) {
                pending_.append(data + pos, size - pos);
                return;
            }
            const auto cr = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            if (pending_.empty()) {
                sink_(std::string_view(data + pos, cr - pos));
            } else {
                pending_.append(data + pos, cr - pos);
                sink_(std::string_view(pending_));
                pending_.clear();
            }
            pos = cr + 1;
            if (pos == size) {
                afterCarriageReturn_ = true;
            } else if (data[pos] == '\n') {
                ++pos;
            }
        }
    }

    void Finish() {
        if (!pending_.empty()) sink_(std::string_view(pending_));
        pending_.clear();
    }

  private:
    LineSink sink_;
    std::string pending_;
    bool afterCarriageReturn_ = false;
};

}  // namespace kiv
