#pragma once

// The Japanese input method's reverse conversion (IFELanguage::GetPhonetic
// of "MSIME.Japan"), for the thread that makes it: that thread is a
// single-threaded apartment of its own for as long as the reader lives, so
// make it on a worker, never on the window's thread. Windows only.

#include <memory>

#include "platform/text_reader.h"

namespace kiv {

// Nothing where no Japanese input method answers (Wine has none).
std::unique_ptr<TextReader> MakeInputMethodReader();

}  // namespace kiv
