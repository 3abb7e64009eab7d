#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

// A failed file operation, with what a person needs to act on it: the path,
// the step that failed and the system's own reason.
class FileError : public std::runtime_error {
  public:
    enum class Step { Open, Read, Create, Write, Finish, AlreadyExists, TooLarge };

    FileError(std::u16string path, Step step, std::u16string reason);

    const std::u16string& Path() const { return path_; }
    Step FailedStep() const { return step_; }
    const std::u16string& Reason() const { return reason_; }

    // The whole story in Japanese, for a message box.
    std::u16string UserMessage() const;

  private:
    std::u16string path_;
    Step step_;
    std::u16string reason_;
};

}  // namespace kiv
