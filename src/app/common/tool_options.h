#pragma once

// The tool's options while it runs, as the settings file's section "Option"
// holds them: kept on top, the actions' keys, the client chosen. One owner,
// which every feature that reads or changes them shares; a change is written
// at once through `save`, since it must survive a crash before the close.
// Portable.

#include <functional>
#include <string>
#include <utility>

#include "settings/options.h"

namespace kiv {

class ToolOptions {
  public:
    // As the settings file had them at start-up.
    void Start(Options options) { options_ = std::move(options); }
    void SetSave(std::function<void()> save) { save_ = std::move(save); }

    const Options& Current() const { return options_; }
    // Whether this run changed them: until then the section is left as read.
    bool Changed() const { return changed_; }

    void SetTopMost(bool on) {
        Change([on](Options& options) { options.topMost = on; });
    }
    // The game client the player chose, by its title (empty: 自動).
    void SetChosenClient(std::u16string title) {
        Change([&title](Options& options) { options.client = std::move(title); });
    }
    // An action's key as stored: empty for none.
    void SetActionKeys(const std::array<std::u16string, kHotkeyActions>& keys) {
        if (keys == options_.hotkeys) return;
        Change([&keys](Options& options) { options.hotkeys = keys; });
    }

  private:
    template <class Edit>
    void Change(Edit edit) {
        edit(options_);
        changed_ = true;
        if (save_) save_();
    }

    Options options_;
    bool changed_ = false;
    std::function<void()> save_;
};

}  // namespace kiv
