// kivmacro-check.exe as a user runs it with its output redirected: the report
// on the crafted files beside expected.out, in the ANSI code page (CP932).
// (check-fixtures.sh compares the native checker's report, and tests the exit
// statuses, which are the same code on both systems.)

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "platform/win32_handle.h"
#include "standin_process.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// Runs the checker in the fixtures' folder, so that it names them as given;
// gives its standard output and error, as redirected bytes.
std::string RunChecker(const std::wstring& arguments) {
    std::wstring command = L"\"" + (standin::ProgramDirectory() / L"kivmacro-check.exe").wstring() +
                           L"\" " + arguments;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    std::string output;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return output;
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    const std::wstring folder = std::filesystem::path(KIVMACRO_CHECKER_FIXTURES).wstring();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &info)) {
        return output;
    }
    UniqueHandle process(info.hProcess);
    CloseHandle(info.hThread);
    writer.Reset();  // the pipe ends when the checker's copy closes
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        output.append(buffer, got);
    }
    WaitForSingleObject(process.Get(), 30000);
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
        L"cp932-kana.txt lf-only.txt carriage-returns.txt");
    // What CP932 cannot show arrives as "?" here too.
    const std::string expected =
        test::ReadBytes(std::filesystem::path(KIVMACRO_CHECKER_FIXTURES) / "expected.out");
    EXPECT_EQ(AsExpected(output), AsExpected(ToAnsi(FromUtf8(expected))));
}

}  // namespace
}  // namespace kiv
