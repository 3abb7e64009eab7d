#include "macro/macro_list.h"

#include <memory>
#include <stdexcept>
#include <string_view>

#include "macro/default_macros.h"
#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"

namespace kiv {
namespace {

constexpr std::size_t kReadChunk = std::size_t{64} * 1024;

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
        if (IsBlankLine(line)) {
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

void MacroList::RequirePosition(std::size_t position) const {
    if (!loaded_) throw std::out_of_range("the macro list has not been loaded");
    if (position < 1 || position > entries_.size()) {
        throw std::out_of_range("macro position " + std::to_string(position) + " is outside 1.." +
                                std::to_string(entries_.size()));
    }
}

Macro MacroList::Item(std::size_t position) const {
    RequirePosition(position);
    return At(position - 1);
}

std::u16string_view MacroList::Title(std::size_t position) const {
    RequirePosition(position);
    return TitleAt(position - 1);
}

Macro MacroList::At(std::size_t index) const {
    return {std::u16string(MessageAt(index)), std::u16string(TitleAt(index))};
}

std::u16string_view MacroList::MessageAt(std::size_t index) const {
    const Entry& entry = entries_[index];
    return std::u16string_view(text_).substr(entry.begin, entry.tab - entry.begin);
}

std::u16string_view MacroList::TitleAt(std::size_t index) const {
    // A line without a TAB is its own title.
    const Entry& entry = entries_[index];
    if (entry.tab == entry.end) return MessageAt(index);
    return std::u16string_view(text_).substr(entry.tab + 1, entry.end - entry.tab - 1);
}

void MacroList::CreateDefaultFile() const {
    CreateFileWithContents(fileName_, DefaultMacroFileContents());
}

}  // namespace kiv
