#pragma once

// A text's reading in kana, as a Japanese input method's reverse conversion
// gives it (自分で回復 → じぶんでかいふく), so that kanji can be found by
// typing how they sound. Portable: the reader is an interface; Windows gives
// one through its input method (text_reader_win32.h), where one is installed.

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

class TextReader {
  public:
    virtual ~TextReader() = default;
    // Nothing when the text could not be read.
    virtual std::optional<std::u16string> ReadingOf(std::u16string_view text) = 0;
};

// Whether a reading could find `text` by more than its kana: it has a kanji
// (or 々 or 〆, which read as the kanji before them or as しめ).
bool MayHaveReading(std::u16string_view text);

}  // namespace kiv
