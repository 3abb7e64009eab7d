#include "macro/macro_list.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "macro/default_macros.h"
#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"

namespace kiv {
void MacroList::LoadData(MissingFile missing) {
    if (missing == MissingFile::WriteDefaults && !IsOrdinaryFile(fileName_)) CreateDefaultFile();

    std::optional<FileReader> file;
    std::u16string text;
    std::vector<Entry> entries;
    TextEncoding encoding = TextEncoding::Ansi;
    try {
        encoding = ReadMacroFileLines(
            [&] {
                file.emplace(fileName_);
                // Decoding never yields more UTF-16 units than there are bytes;
                // reserving that much keeps a large file from being copied as it grows.
                if (file->SizeHint() <= text.max_size()) {
                    text.reserve(static_cast<std::size_t>(file->SizeHint()));
                }
                return [&](char* buffer, std::size_t capacity) {
                    return file->Read(buffer, capacity);
                };
            },
            [&] {
                text.clear();
                entries.clear();
            },
            [&](const MacroFileLine& line) {
                if (IsBlankLine(line.text)) return;
                const std::size_t begin = text.size();
                text.append(line.text);
                const std::size_t tab = MessageEndIn(line.text);
                entries.push_back({begin,
                                   tab == std::u16string_view::npos ? text.size() : begin + tab,
                                   text.size()});
            });
    } catch (const NotMacroFileText&) {
        throw NotMacroFileTextError(fileName_);
    }

    text_ = std::move(text);
    entries_ = std::move(entries);
    encoding_ = encoding;
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

std::u16string_view MacroList::Message(std::size_t position) const {
    RequirePosition(position);
    return MessageAt(position - 1);
}

std::optional<std::size_t> MacroList::FirstTitled(std::u16string_view title) const {
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        if (TitleAt(index) == title) return index + 1;
    }
    return std::nullopt;
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
