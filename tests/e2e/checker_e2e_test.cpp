// kivmacro-check.exe with its output redirected: its report in CP932 is expected.out's (the
// exit statuses, the same code on both systems, are check-fixtures.sh's to test).

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "standin_process.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// Runs the checker in the fixtures' folder, so that it names them as given;
// gives its standard output and error, as redirected bytes.
std::string RunChecker(const std::wstring& arguments) {
    const std::wstring command =
        L"cd /d \"" + std::filesystem::path(KIVMACRO_CHECKER_FIXTURES).wstring() + L"\" && \"" +
        (standin::ProgramDirectory() / L"kivmacro-check.exe").wstring() + L"\" " + arguments +
        L" 2>&1";
    std::string output;
    FILE* checker = _wpopen(command.c_str(), L"rb");
    if (checker == nullptr) return output;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, checker)) > 0;) {
        output.append(buffer, got);
    }
    _pclose(checker);
    return output;
}

// The report as expected.out spells it: UTF-8, lines ended by LF.
std::string AsExpected(const std::string& ansi) {
    std::string text = ToUtf8(FromAnsi(ansi));
    std::erase(text, '\r');
    return text;
}

TEST(Checker, ReportsOnTheCraftedFilesInCp932) {
    const std::string output = RunChecker(
        L"clean.txt findings.txt utf8-bom.txt utf8.txt utf16le.txt utf16be.txt emoji.txt "
        L"cp932-kana.txt lf-only.txt carriage-returns.txt tokens.txt program.txt");
    // What CP932 cannot show arrives as "?" here too.
    const std::string expected =
        test::ReadBytes(std::filesystem::path(KIVMACRO_CHECKER_FIXTURES) / "expected.out");
    EXPECT_EQ(AsExpected(output), AsExpected(ToAnsi(FromUtf8(expected))));
}

}  // namespace
}  // namespace kiv
