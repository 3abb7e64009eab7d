#pragma once

// The macro files the user loaded lately, most recent first, each with the
// place they left it at: the macro selected and the list's scroll. Kept in
// the settings file's section "RecentFiles", which a user who never loads a
// second file never gets. Portable.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class IniFile;

struct FilePlace {
    std::size_t position = 0;  // the macro selected, from 1; 0 for none
    std::size_t topIndex = 0;  // the list's first row shown, from 0
    std::u16string title;      // the selected macro's
    friend bool operator==(const FilePlace&, const FilePlace&) = default;
};

struct RecentFile {
    std::u16string path;
    std::optional<FilePlace> place;
    friend bool operator==(const RecentFile&, const RecentFile&) = default;
};

class RecentFiles {
  public:
    static constexpr std::size_t kMost = 8;

    const std::vector<RecentFile>& Files() const { return files_; }
    // A file loaded other than by stepping through the list: first, and
    // once, with the place it had. Names are compared as Windows compares
    // them, letter case aside.
    void Loaded(std::u16string_view path);
    void Remove(std::u16string_view path);
    void Clear() { files_.clear(); }
    // The place `path` was left at, to be restored when it is next shown.
    void Leave(std::u16string_view path, FilePlace place);
    const FilePlace* PlaceOf(std::u16string_view path) const;
    bool Has(std::u16string_view path) const { return Find(path) != files_.end(); }

    // Where stepping from `current` lands, `step` one forward (+1) or back
    // (-1) in the list's order, wrapping, past the files `exists` finds
    // missing (named in `skipped`); nothing when no other file exists.
    // Stepping leaves the order as it is.
    std::optional<std::u16string> Step(std::u16string_view current, int step,
                                       const std::function<bool(std::u16string_view)>& exists,
                                       std::vector<std::u16string>& skipped) const;

    friend bool operator==(const RecentFiles&, const RecentFiles&) = default;

  private:
    std::vector<RecentFile>::iterator Find(std::u16string_view path);
    std::vector<RecentFile>::const_iterator Find(std::u16string_view path) const;

    std::vector<RecentFile> files_;
};

// The macro to select again in a file of `count` macros: the one with the
// title remembered (of several, the nearest the position), else the one at
// the position, if the file still has it.
std::optional<std::size_t> RestoredPosition(
    const FilePlace& place, std::size_t count,
    const std::function<std::u16string_view(std::size_t position)>& titleAt);

// Reads the section "RecentFiles" of a loaded store: File1 to File8, each
// with its Place ("position,top,title"); an empty or unreadable entry is
// passed over.
RecentFiles ReadRecentFiles(IniFile& store);
// Sets the section's keys in the store in place of those it had.
void WriteRecentFiles(IniFile& store, const RecentFiles& recent);

}  // namespace kiv
