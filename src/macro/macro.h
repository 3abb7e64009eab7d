#pragma once

// A macro: a chat line the player prepared, kept as one line of the macro
// file: the message typed into the game's chat input (up to three chat lines
// split at "\n", "<now>" for the time), and the title the list shows for it,
// the message itself when the line has no TAB. Plain data: reading and
// writing it is the macro file's (macro_file_format.h, macro_file_edit.h),
// saying it the delivery's (delivery.h). Portable.

#include <string>

namespace kiv {

class Macro {
  public:
    Macro() = default;
    Macro(std::u16string message, std::u16string title)
        : message_(std::move(message)), title_(std::move(title)) {}

    const std::u16string& Message() const { return message_; }
    void SetMessage(std::u16string newMessage) { message_ = std::move(newMessage); }
    const std::u16string& Title() const { return title_; }
    void SetTitle(std::u16string newTitle) { title_ = std::move(newTitle); }

    friend bool operator==(const Macro&, const Macro&) = default;

  private:
    std::u16string message_;
    std::u16string title_;
};

}  // namespace kiv
