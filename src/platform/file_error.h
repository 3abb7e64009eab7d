#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

// A failed file operation, with what a person needs to act on it: the path,
// the step that failed and the system's own reason.
class FileError : public std::runtime_error {
  public:
    // SwapIncomplete: new contents were written beside a file, and putting
    // them in its place failed half-way; both versions are kept, under the
    // names OldCopy() and NewCopy() (either may be empty: not kept, or
    // still under the file's own name). NotText: read, and found to be no
    // text file; its reason says why.
    enum class Step {
        Open,
        Read,
        Create,
        Write,
        Finish,
        AlreadyExists,
        TooLarge,
        SwapIncomplete,
        NotText
    };

    FileError(std::u16string path, Step step, std::u16string reason);
    FileError(std::u16string path, std::u16string reason, std::u16string oldCopy,
              std::u16string newCopy);

    const std::u16string& Path() const { return path_; }
    Step FailedStep() const { return step_; }
    const std::u16string& Reason() const { return reason_; }
    const std::u16string& OldCopy() const { return oldCopy_; }
    const std::u16string& NewCopy() const { return newCopy_; }

    // The whole story in Japanese, for a message box.
    std::u16string UserMessage() const;

  private:
    std::u16string path_;
    Step step_;
    std::u16string reason_;
    std::u16string oldCopy_;
    std::u16string newCopy_;
};

}  // namespace kiv
