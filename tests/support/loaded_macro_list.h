#pragma once

#include <filesystem>

#include "macro/macro_list.h"

namespace kiv::test {

// The list the tool shows for `file`, loaded as at start (a missing file gets
// the default macros) or as on a reload (it fails).
inline MacroList LoadedMacroList(
    const std::filesystem::path& file,
    MacroList::MissingFile missing = MacroList::MissingFile::WriteDefaults) {
    MacroList list;
    list.SetFileName(file.u16string());
    list.LoadData(missing);
    return list;
}

}  // namespace kiv::test
