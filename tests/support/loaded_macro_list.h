#pragma once

#include <filesystem>

#include "macro/macro_list.h"

namespace kiv::test {

// The list the tool shows for `file`, loaded as at start (a missing file gets the default macros).
inline MacroList LoadedMacroList(const std::filesystem::path& file) {
    MacroList list;
    list.SetFileName(file.u16string());
    list.LoadData();
    return list;
}

}  // namespace kiv::test
