#pragma once

// The macro files open as tabs, left to right, one of them shown; each may be
// bound to a game client by its window title. Never empty, never more than
// kMost, never a file twice (names compared as Windows compares them). Kept
// in the settings file's section "Tabs", which a player who never opens a
// second tab never gets. Portable.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class IniFile;

struct Tab {
    std::u16string path;
    // The title of the client every macro said from this tab goes to; empty
    // for none (the global choice).
    std::u16string client;
    friend bool operator==(const Tab&, const Tab&) = default;
};

class TabSet {
  public:
    static constexpr std::size_t kMost = 16;

    explicit TabSet(std::u16string path) : tabs_{Tab{std::move(path), {}}} {}

    const std::vector<Tab>& Tabs() const { return tabs_; }
    std::size_t Count() const { return tabs_.size(); }
    std::size_t Shown() const { return shown_; }
    const Tab& ShownTab() const { return tabs_[shown_]; }
    std::optional<std::size_t> Find(std::u16string_view path) const;

    enum class Opened { Added, AlreadyOpen, Full };
    // Adds `path` at the right end and shows it; a file open already is
    // shown instead. Nothing changes when kMost are open.
    Opened Open(std::u16string_view path);
    // Closes a tab; never the last. The shown one closing, its right
    // neighbour is shown (the last tab's left neighbour). The one tab left
    // talks to no client of its own: without a strip it could not be seen.
    bool Close(std::size_t index);
    // Swaps a tab with its neighbour (step -1 left, +1 right); the shown
    // tab stays shown wherever it goes. False at either end.
    bool Move(std::size_t index, int step);
    void Show(std::size_t index);
    // The tab `step` away from the shown one in the strip's order, wrapping.
    std::size_t StepFrom(int step) const;
    void Bind(std::size_t index, std::u16string client) { tabs_[index].client = std::move(client); }
    // The tab's file took another name (loaded in its place).
    void Rename(std::size_t index, std::u16string path) { tabs_[index].path = std::move(path); }

    friend bool operator==(const TabSet&, const TabSet&) = default;

  private:
    std::vector<Tab> tabs_;
    std::size_t shown_ = 0;
};

// A tab's name as its strip shows it: the file's name without ".txt", then
// the bound client's title.
std::u16string TabLabel(const Tab& tab);

// The tab whose macro a key of the title `title` says: the shown tab when it
// has the title, else the first from the left that has it.
template <class HasTitle>
std::optional<std::size_t> TabForKey(const TabSet& tabs, HasTitle hasTitle) {
    if (hasTitle(tabs.Shown())) return tabs.Shown();
    for (std::size_t i = 0; i < tabs.Count(); ++i) {
        if (hasTitle(i)) return i;
    }
    return std::nullopt;
}

// The tabs of a loaded store: the section "Tabs" (File1..File16 left to
// right, Active from 1, Client1..Client16), or the one file `fileName` when
// it lists none. `fileName` is the section "Setting"'s, which wins where the
// two disagree (a file edited by hand): that file's tab is shown, added
// first when it is not among them. An Active out of range shows the first.
TabSet ReadTabs(IniFile& store, std::u16string_view fileName);
// Sets the section's keys in place of those it had.
void WriteTabs(IniFile& store, const TabSet& tabs);

}  // namespace kiv
