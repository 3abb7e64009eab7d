#pragma once

// The 88 macros written to a macro file that does not exist yet: for each of
// the 44 labels, "$N-1" titled "$N:<label>(自分)", then the same 44 again as
// "$N-2" titled "$N:<label>(手前)".

#include <string>
#include <vector>

#include "macro/macro.h"

namespace kiv {

std::vector<Macro> DefaultMacros();

// The macro file holding DefaultMacros(): CP932, message TAB title CR LF.
std::string DefaultMacroFileContents();

}  // namespace kiv
