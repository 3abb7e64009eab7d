#include "settings/recent_files.h"

#include <algorithm>
#include <string>

#include "platform/case_fold.h"
#include "settings/ini_file.h"
#include "settings/numbered_keys.h"
#include "settings/value_checks.h"

namespace kiv {
namespace {

constexpr std::u16string_view kSection = u"RecentFiles";

// Read as the settings' other numbers are; a count is never below zero.
std::optional<std::size_t> Count(std::u16string_view text) {
    const std::optional<std::int32_t> number = ParseInt32(text);
    if (!number || *number < 0) return std::nullopt;
    return static_cast<std::size_t>(*number);
}

// "position,top,title": the title may hold commas of its own.
std::optional<FilePlace> ParsePlace(std::u16string_view text) {
    const std::size_t first = text.find(u',');
    const std::size_t second =
        first == std::u16string_view::npos ? first : text.find(u',', first + 1);
    if (second == std::u16string_view::npos) return std::nullopt;
    const auto position = Count(text.substr(0, first));
    const auto top = Count(text.substr(first + 1, second - first - 1));
    if (!position || !top) return std::nullopt;
    return FilePlace{*position, *top, std::u16string(text.substr(second + 1))};
}

}  // namespace

std::vector<RecentFile>::iterator RecentFiles::Find(std::u16string_view path) {
    return std::find_if(files_.begin(), files_.end(), [path](const RecentFile& file) {
        return EqualIgnoringCase(file.path, path);
    });
}

std::vector<RecentFile>::const_iterator RecentFiles::Find(std::u16string_view path) const {
    return std::find_if(files_.begin(), files_.end(), [path](const RecentFile& file) {
        return EqualIgnoringCase(file.path, path);
    });
}

void RecentFiles::Loaded(std::u16string_view path) {
    RecentFile file{std::u16string(path), std::nullopt};
    if (const auto known = Find(path); known != files_.end()) {
        file.place = std::move(known->place);
        files_.erase(known);
    }
    files_.insert(files_.begin(), std::move(file));
    if (files_.size() > kMost) files_.resize(kMost);
}

void RecentFiles::Remove(std::u16string_view path) {
    if (const auto known = Find(path); known != files_.end()) files_.erase(known);
}

void RecentFiles::Leave(std::u16string_view path, FilePlace place) {
    if (const auto known = Find(path); known != files_.end()) known->place = std::move(place);
}

const FilePlace* RecentFiles::PlaceOf(std::u16string_view path) const {
    const auto known = Find(path);
    return known != files_.end() && known->place ? &*known->place : nullptr;
}

std::optional<std::u16string> RecentFiles::Step(
    std::u16string_view current, int step, const std::function<bool(std::u16string_view)>& exists,
    std::vector<std::u16string>& skipped) const {
    const auto count = static_cast<std::ptrdiff_t>(files_.size());
    if (count == 0) return std::nullopt;
    const auto known = Find(current);
    // From a file not in the list, the first step lands on its first file.
    std::ptrdiff_t at = known != files_.end() ? known - files_.begin() : (step > 0 ? -1 : 0);
    for (std::ptrdiff_t tried = 0; tried < count; ++tried) {
        at = ((at + step) % count + count) % count;
        const RecentFile& file = files_[static_cast<std::size_t>(at)];
        if (EqualIgnoringCase(file.path, current)) return std::nullopt;  // around to itself
        if (exists(file.path)) return file.path;
        skipped.push_back(file.path);
    }
    return std::nullopt;
}

std::optional<std::size_t> RestoredPosition(
    const FilePlace& place, std::size_t count,
    const std::function<std::u16string_view(std::size_t position)>& titleAt) {
    if (place.position == 0) return std::nullopt;  // nothing was selected
    std::optional<std::size_t> titled;
    const auto distance = [&place](std::size_t position) {
        return position > place.position ? position - place.position : place.position - position;
    };
    for (std::size_t position = 1; position <= count; ++position) {
        if (titleAt(position) == place.title &&
            (!titled || distance(position) < distance(*titled))) {
            titled = position;
        }
    }
    if (titled) return titled;
    if (place.position >= 1 && place.position <= count) return place.position;
    return std::nullopt;
}

RecentFiles ReadRecentFiles(IniFile& store) {
    RecentFiles recent;
    store.SetNowSection(kSection);
    // Oldest first, so that each Loaded puts the next more recent before it.
    for (std::size_t number = RecentFiles::kMost; number >= 1; --number) {
        const std::u16string path = store.Data(Numbered(u"File", number));
        if (path.empty()) continue;
        recent.Loaded(path);
        if (auto place = ParsePlace(store.Data(Numbered(u"Place", number)))) {
            recent.Leave(path, std::move(*place));
        }
    }
    return recent;
}

void WriteRecentFiles(IniFile& store, const RecentFiles& recent) {
    store.SetNowSection(kSection);
    for (std::size_t number = 1; number <= RecentFiles::kMost; ++number) {
        store.DeleteData(Numbered(u"File", number));
        store.DeleteData(Numbered(u"Place", number));
    }
    std::size_t number = 1;
    for (const RecentFile& file : recent.Files()) {
        store.SetData(Numbered(u"File", number), file.path);
        if (file.place) {
            store.SetData(Numbered(u"Place", number), Digits(file.place->position) + u"," +
                                                          Digits(file.place->topIndex) + u"," +
                                                          file.place->title);
        }
        ++number;
    }
}

}  // namespace kiv
