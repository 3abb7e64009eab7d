#include "platform/file_error.h"

#include "platform/file_system.h"
#include "platform/platform_texts.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

std::u16string_view Describe(FileError::Step step) {
    switch (step) {
        case FileError::Step::Open:
            return texts::kFileOpenFailed;
        case FileError::Step::Read:
            return texts::kFileReadFailed;
        case FileError::Step::Create:
            return texts::kFileCreateFailed;
        case FileError::Step::Write:
            return texts::kFileWriteFailed;
        case FileError::Step::Finish:
            return texts::kFileFinishFailed;
        case FileError::Step::AlreadyExists:
            return texts::kFileAlreadyExists;
        case FileError::Step::TooLarge:
            return texts::kFileTooLarge;
        case FileError::Step::SwapIncomplete:
            return texts::kFileSwapIncomplete;
        case FileError::Step::NotText:
            return texts::kFileNotText;
    }
    return texts::kFileStepFailed;
}

std::u16string Compose(const std::u16string& path, FileError::Step step,
                       const std::u16string& reason, const std::u16string& oldCopy,
                       const std::u16string& newCopy) {
    std::u16string text = Fill(texts::kFileFailed, {path, Describe(step)});
    if (step == FileError::Step::SwapIncomplete) {
        // Where each version is now, so that nothing the user wrote is lost
        // for want of knowing where to look.
        if (!oldCopy.empty()) text += Fill(texts::kOldContentsAt, {oldCopy});
        if (!newCopy.empty()) text += Fill(texts::kNewContentsAt, {newCopy});
        text += Fill(texts::kRenameTheOneToUse, {FileNameOf(path)});
    }
    if (!reason.empty()) text += Fill(texts::kReason, {reason});
    return text;
}

}  // namespace

FileError::FileError(std::u16string path, Step step, std::u16string reason)
    : std::runtime_error(ToUtf8(Compose(path, step, reason, {}, {}))),
      path_(std::move(path)),
      step_(step),
      reason_(std::move(reason)) {}

FileError::FileError(std::u16string path, std::u16string reason, std::u16string oldCopy,
                     std::u16string newCopy)
    : std::runtime_error(ToUtf8(Compose(path, Step::SwapIncomplete, reason, oldCopy, newCopy))),
      path_(std::move(path)),
      step_(Step::SwapIncomplete),
      reason_(std::move(reason)),
      oldCopy_(std::move(oldCopy)),
      newCopy_(std::move(newCopy)) {}

std::u16string FileError::UserMessage() const {
    return Compose(path_, step_, reason_, oldCopy_, newCopy_);
}

}  // namespace kiv
