// kivmacro-check FILE...: tells, line by line, what in macro files would not
// reach the game as written. Exit status 0 when every file is clean, 1 when
// something was found, 2 when a file could not be read or no file was named.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_file_check.h"
#include "macro/macro_file_format.h"
#include "macro/macro_texts.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/ansi_text.h"
#endif

namespace {

enum ExitStatus { kClean = 0, kFindings = 1, kUnreadable = 2 };

// A console shows UTF-16 as it is; redirected output goes out in the code page
// the rest of the system expects (CP932 on Windows, UTF-8 elsewhere).
void Write(std::FILE* stream, std::u16string_view text) {
#ifdef _WIN32
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = kiv::ToAnsi(text);
#else
    const std::string bytes = kiv::ToUtf8(text);
#endif
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

std::u16string Number(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

ExitStatus CheckFile(const std::u16string& path) {
    std::string bytes;
    try {
        // The tool refuses folders, and on Windows hidden and system files: so
        // does the check. A missing file gets the system's own reason.
        if (!kiv::IsOrdinaryFile(path) && kiv::StampOf(path)) {
            throw kiv::FileError(path, kiv::FileError::Step::Open,
                                 std::u16string(kiv::texts::kNotAnOrdinaryFile));
        }
        bytes = kiv::ReadFileBytes(path);
    } catch (const kiv::FileError& error) {
        std::fflush(stdout);
        Write(stderr, error.UserMessage() + u"\n");
        return kUnreadable;
    }
    std::vector<kiv::MacroFileFinding> findings;
    try {
        findings = kiv::CheckMacroFile(bytes);
    } catch (const kiv::NotMacroFileText&) {
        // The tool refuses it with the same words.
        std::fflush(stdout);
        Write(stderr, kiv::NotMacroFileTextError(path).UserMessage() + u"\n");
        return kUnreadable;
    }
    std::u16string report;
    for (const kiv::MacroFileFinding& finding : findings) {
        report += path;
        if (finding.line != 0) report += u":" + Number(finding.line);
        report += u": " + kiv::Describe(finding) + u"\n";
    }
    if (findings.empty()) report = kiv::Fill(kiv::texts::kNoProblemFound, {path});
    Write(stdout, report);
    return findings.empty() ? kClean : kFindings;
}

int Run(const std::vector<std::u16string>& paths) {
    if (paths.empty()) {
        Write(stderr, std::u16string(kiv::texts::kCheckerUsage));
        return kUnreadable;
    }
    int status = kClean;
    for (const std::u16string& path : paths) {
        const int result = CheckFile(path);
        if (result > status) status = result;
    }
    std::fflush(stdout);
    return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::u16string> paths;
    for (int i = 1; i < argc; ++i) {
        paths.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    }
    return Run(paths);
}
#else
int main(int argc, char** argv) {
    std::vector<std::u16string> paths;
    for (int i = 1; i < argc; ++i) paths.push_back(kiv::FromUtf8(argv[i]));
    return Run(paths);
}
#endif
