// The macro file reader and the checker, on any bytes: both must agree on how
// many macros there are, and every macro must be one line's text.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "macro/macro_file_check.h"
#include "macro/macro_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    const std::string_view bytes = fuzz::AsBytes(data, size);
    const auto& dir = fuzz::ScratchDir();
    test::WriteBytes(dir.Path("macros.txt"), std::string(bytes));

    MacroList list;
    list.SetFileName(dir.File("macros.txt"));
    list.LoadData();
    std::size_t count = 0;
    for (const Macro& macro : list) {
        ++count;
        FUZZ_CHECK(macro.Message().find(u'\r') == std::u16string::npos);
        FUZZ_CHECK(macro.Title().find(u'\r') == std::u16string::npos);
    }
    FUZZ_CHECK(count == list.Count());

    for (const MacroFileFinding& finding : CheckMacroFile(bytes)) {
        FUZZ_CHECK(!Describe(finding).empty());
        FUZZ_CHECK(finding.line >= 1);
    }
    return 0;
}
