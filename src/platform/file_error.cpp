#include "platform/file_error.h"

#include "platform/file_system.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

std::u16string_view Describe(FileError::Step step) {
    switch (step) {
        case FileError::Step::Open:
            return u"を開けませんでした。";
        case FileError::Step::Read:
            return u"の読み込み中にエラーが発生しました。";
        case FileError::Step::Create:
            return u"を作成できませんでした。";
        case FileError::Step::Write:
            return u"の書き込み中にエラーが発生しました。";
        case FileError::Step::Finish:
            return u"の作成を完了できませんでした。";
        case FileError::Step::AlreadyExists:
            return u"は既に存在するため、書き込みませんでした。";
        case FileError::Step::TooLarge:
            return u"は大きすぎるため読み込めません。";
        case FileError::Step::SwapIncomplete:
            return u"を新しい内容に置き換える途中で失敗しました。";
    }
    return u"の操作に失敗しました。";
}

std::u16string Compose(const std::u16string& path, FileError::Step step,
                       const std::u16string& reason, const std::u16string& oldCopy,
                       const std::u16string& newCopy) {
    std::u16string text = u"ファイル「" + path + u"」";
    text += Describe(step);
    if (step == FileError::Step::SwapIncomplete) {
        // Where each version is now, so that nothing the user wrote is lost
        // for want of knowing where to look.
        if (!oldCopy.empty()) text += u"\n変更前の内容は「" + oldCopy + u"」にあります。";
        if (!newCopy.empty()) text += u"\n変更後の内容は「" + newCopy + u"」にあります。";
        text += u"\nどちらも削除していません。使う方のファイルの名前を「" +
                std::u16string(FileNameOf(path)) + u"」に変えてください。";
    }
    if (!reason.empty()) text += u"\n理由: " + reason;
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
