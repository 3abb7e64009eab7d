#include "macro/macro_list.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "macro/default_macros.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"

namespace kiv {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

bool IsBlank(std::u16string_view line) {
    // U+3000 counts too: a line of full-width spaces typed with a Japanese IME
    // would otherwise show as an empty, unexplained entry.
    return std::all_of(line.begin(), line.end(),
                       [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}

// Cuts a byte stream into lines at CR LF or a lone CR. CR and LF are never
// part of a CP932 double-byte character, so bytes can be cut before decoding.
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

}  // namespace

void MacroList::LoadData() {
    if (!IsOrdinaryFile(fileName_)) CreateDefaultFile();

    FileReader file(fileName_);
    std::u16string text;
    std::vector<Entry> entries;
    // Decoding never yields more UTF-16 units than there are bytes; reserving
    // that much up front keeps a large file from being copied while it grows.
    if (file.SizeHint() <= text.max_size()) text.reserve(static_cast<std::size_t>(file.SizeHint()));

    LineSplitter splitter([&](std::string_view bytes) {
        const std::size_t begin = text.size();
        AppendFromAnsi(bytes, text);
        const std::u16string_view line = std::u16string_view(text).substr(begin);
        if (IsBlank(line)) {
            text.resize(begin);
            return;
        }
        const std::size_t tab = line.find(u'\t');
        entries.push_back({begin, tab == line.npos ? text.size() : begin + tab, text.size()});
    });
    const auto buffer = std::make_unique<char[]>(kReadChunk);
    while (const std::size_t got = file.Read(buffer.get(), kReadChunk)) {
        splitter.Feed(buffer.get(), got);
    }
    splitter.Finish();

    text_ = std::move(text);
    entries_ = std::move(entries);
    loaded_ = true;
}

Macro MacroList::Item(std::size_t position) const {
    if (!loaded_) throw std::out_of_range("the macro list has not been loaded");
    if (position < 1 || position > entries_.size()) {
        throw std::out_of_range("macro position " + std::to_string(position) + " is outside 1.." +
                                std::to_string(entries_.size()));
    }
    return At(position - 1);
}

Macro MacroList::At(std::size_t index) const {
    const Entry& entry = entries_[index];
    const std::u16string_view all(text_);
    std::u16string message(all.substr(entry.begin, entry.tab - entry.begin));
    if (entry.tab == entry.end) return Macro(message, message);
    return Macro(std::move(message),
                 std::u16string(all.substr(entry.tab + 1, entry.end - entry.tab - 1)));
}

void MacroList::CreateDefaultFile() const {
    CreateFileWithContents(fileName_, DefaultMacroFileContents());
}

}  // namespace kiv
