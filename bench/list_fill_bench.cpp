// Filling the list with 100,000 titles: the tool's way, from the macro list,
// against the least a list box needs (ready-made strings added with drawing
// off), in the same run and the same window; and the steps a keystroke in the
// find box fills a list of as many rows in, each of which has to be done
// within a frame (16 ms). Under Wine
// with a display:
//   tests/wine/with-display.sh build/mingw-x64/bin/list_fill_bench.exe

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/finding/title_list_win32.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"

namespace {

constexpr int kTitles = 100000;
constexpr int kRounds = 7;

// The time to fill and paint once, as a user waits for it.
template <typename Fill>
double Measure(HWND list, Fill fill) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    UpdateWindow(list);
    const auto start = std::chrono::steady_clock::now();
    fill();
    UpdateWindow(list);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain() {
    kiv::test::TempDir dir;
    std::u16string text;
    std::vector<std::wstring> titles;
    for (int i = 0; i < kTitles; ++i) {
        const std::wstring title = L"見出し " + std::to_wstring(i);
        titles.push_back(title);
        text += u"発言\t" + std::u16string(title.begin(), title.end()) + u"\r\n";
    }
    kiv::test::WriteBytes(dir.Path("macros.txt"), kiv::ToAnsi(text));
    kiv::MacroList macros;
    macros.SetFileName(dir.File("macros.txt"));
    macros.LoadData();

    HWND window = CreateWindowExW(0, L"#32770", L"fill", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 600, nullptr, nullptr, nullptr, nullptr);
    HWND list =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                        0, 380, 560, window, nullptr, nullptr, nullptr);
    kiv::VisibleRows all;
    all.ShowAll(macros.Count());
    std::vector<double> tool, bare;
    for (int round = 0; round < kRounds; ++round) {
        tool.push_back(Measure(list, [&] { kiv::FillTitleList(list, macros, all); }));
        bare.push_back(Measure(list, [&] {
            SendMessageW(list, WM_SETREDRAW, FALSE, 0);
            for (const std::wstring& title : titles) {
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
            }
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        }));
    }
    const double toolMs = Median(tool), bareMs = Median(bare);
    std::printf("%d titles, median of %d: tool %.0f ms, bare list box %.0f ms, ratio %.2f\n",
                kTitles, kRounds, toolMs, bareMs, toolMs / bareMs);

    kiv::VisibleRows rows;  // every other macro found: 50,000 rows
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < kTitles; i += 2) found.push_back(i);
    rows.ShowOnly(found, kTitles);
    constexpr std::size_t step = kiv::TitleList::kRowsAStep;
    std::vector<double> first, later;
    for (int round = 0; round < kRounds; ++round) {
        // From a list of every title, as when the first letter is typed.
        kiv::FillTitleList(list, macros, all);
        UpdateWindow(list);
        const auto start = std::chrono::steady_clock::now();
        kiv::FillTitleList(list, macros, rows, step);
        UpdateWindow(list);
        first.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        double slowest = 0;
        for (std::size_t from = step; from < rows.Count(); from += step) {
            const auto start = std::chrono::steady_clock::now();
            kiv::AddTitles(list, macros, rows, from, std::min(from + step, rows.Count()));
            UpdateWindow(list);
            slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        }
        later.push_back(slowest);
    }
    std::printf(
        "a keystroke finding %zu rows, median of %d: first step %.1f ms, slowest later "
        "step %.1f ms (each within 16 ms)\n",
        rows.Count(), kRounds, Median(first), Median(later));
    DestroyWindow(window);
    return 0;
}
