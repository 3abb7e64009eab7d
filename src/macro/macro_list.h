#pragma once

// The macros of one macro file, in file order, one per line (the file's
// encoding and lines as macro_file_format.h reads them); text is kept exactly
// as typed.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro.h"
#include "macro/macro_file_format.h"

namespace kiv {

class MacroList {
  public:
    const std::u16string& FileName() const { return fileName_; }
    void SetFileName(std::u16string fileName) { fileName_ = std::move(fileName); }

    // Reads the file named by FileName(), after writing the default macro file
    // there if no file exists, or with MissingFile::Fail, failing then (a
    // reload of a file that was deleted must not bring the defaults back).
    // Throws FileError (FileError::Step::NotText for a file that holds no
    // text); on failure the list keeps the macros it had.
    enum class MissingFile { WriteDefaults, Fail };
    void LoadData(MissingFile missing = MissingFile::WriteDefaults);

    // 1-based. Throws std::out_of_range for a position outside 1..Count() and
    // for a list that was never loaded.
    Macro Item(std::size_t position) const;
    // Just the title or the message, without copying it; valid until the
    // next LoadData. Same positions and errors as Item.
    std::u16string_view Title(std::size_t position) const;
    std::u16string_view Message(std::size_t position) const;

    // The first macro titled exactly `title` (1-based), if any.
    std::optional<std::size_t> FirstTitled(std::u16string_view title) const;

    std::size_t Count() const { return entries_.size(); }
    bool IsLoaded() const { return loaded_; }
    // What the file was read as by the last LoadData.
    TextEncoding Encoding() const { return encoding_; }

    class const_iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Macro;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Macro;

        const_iterator() = default;
        Macro operator*() const { return list_->At(index_); }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        friend bool operator==(const const_iterator&, const const_iterator&) = default;

      private:
        friend class MacroList;
        const_iterator(const MacroList* list, std::size_t index) : list_(list), index_(index) {}
        const MacroList* list_ = nullptr;
        std::size_t index_ = 0;
    };

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, entries_.size()}; }

  private:
    // All macros share one text buffer: a million-line file then costs about
    // twice its size in memory instead of several small strings per macro.
    struct Entry {
        std::size_t begin;
        std::size_t tab;  // == end when the line has no TAB
        std::size_t end;
    };

    void CreateDefaultFile() const;
    Macro At(std::size_t index) const;
    std::u16string_view MessageAt(std::size_t index) const;
    std::u16string_view TitleAt(std::size_t index) const;
    void RequirePosition(std::size_t position) const;

    std::u16string fileName_;
    std::u16string text_;
    std::vector<Entry> entries_;
    TextEncoding encoding_ = TextEncoding::Ansi;
    bool loaded_ = false;
};

}  // namespace kiv
