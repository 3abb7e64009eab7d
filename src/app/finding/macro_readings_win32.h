#pragma once

// The readings of the macros' titles and messages, so that kanji are found
// by how they sound (jibun finds 自分). The input method reads them on a
// worker of its own, never on the window's thread, each text once however
// many lists hold it; what is read so far is given at once, and the window
// is told when more came. Where no Japanese input method answers, there are
// none, and nothing is said about it. Windows only.

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "macro/macro_list.h"
#include "macro/macro_search.h"
#include "platform/text_reader.h"

namespace kiv {

class MacroReadings {
  public:
    // Makes the reader on the worker's thread. A seam: Wine has no Japanese
    // input method, so its tests give a reader of their own. Null: the
    // input method's.
    using ReaderMaker = std::unique_ptr<TextReader> (*)();
    static void SetReaderMaker(ReaderMaker maker);

    MacroReadings();
    ~MacroReadings();
    MacroReadings(const MacroReadings&) = delete;
    MacroReadings& operator=(const MacroReadings&) = delete;
    // `window` is posted `message` when readings came.
    void Attach(HWND window, UINT message);

    // Finding has begun (the find box, the palette): from now on the texts
    // are read. Until then nothing is, so that a player who never finds
    // pays nothing for it. True the first time.
    bool Want();
    // Each macro's readings known now (empty where none is); once wanted,
    // those of texts not yet asked for are read on the worker.
    std::vector<MacroReading> Of(const MacroList& list);
    // On `message`: what the worker read is known from now; true when
    // anything new came.
    bool Take();

  private:
    struct Mailbox;
    void Ask(std::vector<std::u16string> texts);
    // No input method answered: nothing is asked, nor kept to be asked.
    bool NoReader() const;

    HWND window_ = nullptr;
    UINT message_ = 0;
    std::shared_ptr<Mailbox> mailbox_;
    std::unordered_map<std::u16string, std::u16string> known_;
    std::unordered_set<std::u16string> asked_;
    bool wanted_ = false;
};

}  // namespace kiv
