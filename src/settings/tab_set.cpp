#include "settings/tab_set.h"

#include <algorithm>
#include <utility>

#include "platform/case_fold.h"
#include "settings/ini_file.h"
#include "settings/numbered_keys.h"
#include "settings/value_checks.h"

namespace kiv {
namespace {

constexpr std::u16string_view kSection = u"Tabs";

}  // namespace

std::optional<std::size_t> TabSet::Find(std::u16string_view path) const {
    const auto found = std::find_if(tabs_.begin(), tabs_.end(), [path](const Tab& tab) {
        return EqualIgnoringCase(tab.path, path);
    });
    if (found == tabs_.end()) return std::nullopt;
    return static_cast<std::size_t>(found - tabs_.begin());
}

TabSet::Opened TabSet::Open(std::u16string_view path) {
    if (const auto open = Find(path)) {
        shown_ = *open;
        return Opened::AlreadyOpen;
    }
    if (tabs_.size() >= kMost) return Opened::Full;
    tabs_.push_back(Tab{std::u16string(path), {}});
    shown_ = tabs_.size() - 1;
    return Opened::Added;
}

bool TabSet::Close(std::size_t index) {
    if (tabs_.size() <= 1 || index >= tabs_.size()) return false;
    tabs_.erase(tabs_.begin() + static_cast<std::ptrdiff_t>(index));
    if (shown_ > index || shown_ >= tabs_.size()) --shown_;
    // One file shows no strip: a client bound to it would send out of sight.
    if (tabs_.size() == 1) tabs_.front().client.clear();
    return true;
}

bool TabSet::Move(std::size_t index, int step) {
    if (index >= tabs_.size()) return false;
    if (step < 0 ? index == 0 : index + 1 >= tabs_.size()) return false;
    const std::size_t other = step < 0 ? index - 1 : index + 1;
    std::swap(tabs_[index], tabs_[other]);
    if (shown_ == index) {
        shown_ = other;
    } else if (shown_ == other) {
        shown_ = index;
    }
    return true;
}

void TabSet::Show(std::size_t index) {
    if (index < tabs_.size()) shown_ = index;
}

std::size_t TabSet::StepFrom(int step) const {
    const auto count = static_cast<std::ptrdiff_t>(tabs_.size());
    return static_cast<std::size_t>(((static_cast<std::ptrdiff_t>(shown_) + step) % count + count) %
                                    count);
}

std::u16string TabLabel(const Tab& tab) {
    const std::size_t slash = tab.path.find_last_of(u"\\/");
    std::u16string name = tab.path.substr(slash == std::u16string::npos ? 0 : slash + 1);
    constexpr std::u16string_view kText = u".txt";
    if (name.size() > kText.size() &&
        EqualIgnoringCase(std::u16string_view(name).substr(name.size() - kText.size()), kText)) {
        name.resize(name.size() - kText.size());
    }
    if (!tab.client.empty()) name += u"（" + tab.client + u"）";
    return name;
}

TabSet ReadTabs(IniFile& store, std::u16string_view fileName) {
    store.SetNowSection(kSection);
    std::vector<Tab> listed;
    for (std::size_t number = 1; number <= TabSet::kMost; ++number) {
        Tab tab{store.Data(Numbered(u"File", number)), store.Data(Numbered(u"Client", number))};
        if (tab.path.empty()) continue;
        const bool twice = std::any_of(listed.begin(), listed.end(), [&tab](const Tab& seen) {
            return EqualIgnoringCase(seen.path, tab.path);
        });
        if (!twice) listed.push_back(std::move(tab));
    }
    const std::optional<std::int32_t> active = ParseInt32(store.Data(u"Active"));
    if (listed.empty()) return TabSet(std::u16string(fileName));

    TabSet tabs(std::move(listed.front().path));
    tabs.Bind(0, std::move(listed.front().client));
    for (std::size_t i = 1; i < listed.size(); ++i) {
        tabs.Open(listed[i].path);
        tabs.Bind(i, std::move(listed[i].client));
    }
    if (tabs.Count() == 1) tabs.Bind(0, u"");  // as a close to one tab leaves it
    const bool inRange =
        active && *active >= 1 && static_cast<std::size_t>(*active) <= tabs.Count();
    tabs.Show(inRange ? static_cast<std::size_t>(*active) - 1 : 0);
    if (fileName.empty() || EqualIgnoringCase(tabs.ShownTab().path, fileName)) return tabs;
    if (const auto open = tabs.Find(fileName)) {
        tabs.Show(*open);
        return tabs;
    }
    // Added first: the rest keep their order, the last falls when all were open.
    TabSet withFile{std::u16string(fileName)};
    for (const Tab& tab : tabs.Tabs()) {
        if (withFile.Open(tab.path) != TabSet::Opened::Added) break;
        withFile.Bind(withFile.Shown(), tab.client);
    }
    withFile.Show(0);
    return withFile;
}

void WriteTabs(IniFile& store, const TabSet& tabs) {
    store.SetNowSection(kSection);
    for (std::size_t number = 1; number <= TabSet::kMost; ++number) {
        store.DeleteData(Numbered(u"File", number));
        store.DeleteData(Numbered(u"Client", number));
    }
    store.DeleteData(u"Active");
    for (std::size_t i = 0; i < tabs.Count(); ++i) {
        store.SetData(Numbered(u"File", i + 1), tabs.Tabs()[i].path);
    }
    store.SetData(u"Active", Digits(tabs.Shown() + 1));
    for (std::size_t i = 0; i < tabs.Count(); ++i) {
        if (!tabs.Tabs()[i].client.empty()) {
            store.SetData(Numbered(u"Client", i + 1), tabs.Tabs()[i].client);
        }
    }
}

}  // namespace kiv
