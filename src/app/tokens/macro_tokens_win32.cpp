#include "app/tokens/macro_tokens_win32.h"

#include "platform/local_clock.h"

namespace kiv {

FillContext MacroTokens::PreviewOf(const MacroPlace&) const {
    return FillContext{LocalTimeOfDay};
}

FillContext MacroTokens::SayingOf(const MacroPlace&) {
    return FillContext{LocalTimeOfDay};
}

}  // namespace kiv
