// The palette's key to its first paint, over 100,000 macros in four tabs,
// 200 of them counted and 20 pinned: what the player waits for before typing.
// Measured from the call the window's WM_HOTKEY makes (MacroPalette::Open)
// to the end of the palette's first WM_PAINT. Under Wine with a display:
//   tests/wine/with-display.sh build/mingw-x64/bin/palette_bench.exe

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/palette/macro_palette_win32.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"

namespace {

constexpr int kTabs = 4;
constexpr int kMacrosPerTab = 25'000;
constexpr int kRounds = 15;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain() {
    kiv::test::TempDir dir;
    std::vector<kiv::MacroList> tabs(kTabs);
    for (int tab = 0; tab < kTabs; ++tab) {
        std::u16string text;
        for (int i = 0; i < kMacrosPerTab; ++i) {
            const std::string number = std::to_string(tab * kMacrosPerTab + i);
            const std::u16string digits(number.begin(), number.end());
            text += u"回復お願いします ";
            text += digits;
            text += u"\\nありがとう\t見出し ";
            text += digits;
            text += u"\r\n";
        }
        const std::string name = "tab" + std::to_string(tab) + ".txt";
        kiv::test::WriteBytes(dir.Path(name), kiv::ToAnsi(text));
        tabs[tab].SetFileName(dir.File(name));
        tabs[tab].LoadData();
    }
    HWND game = CreateWindowExW(0, L"STATIC", L"game", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    kiv::MacroPalette palette;
    palette.Attach({.instance = GetModuleHandleW(nullptr),
                    .window = nullptr,
                    .timer = 1,
                    .holds = [] { return kiv::Holds{}; },
                    .tabCount = [&] { return tabs.size(); },
                    .listOf = [&](std::size_t tab) -> const kiv::MacroList& { return tabs[tab]; },
                    .tabName = [](std::size_t) { return std::u16string(u"タブ"); },
                    .cameFrom = [](HWND) { return std::optional<kiv::PixelRect>(); },
                    .say = [](kiv::PaletteMacro) { return std::optional<kiv::DeliveryOutcome>(); },
                    .save = [] {},
                    .showTool = {},
                    .keySet = [] { return true; },
                    .readings = {}});
    for (int i = 0; i < 200; ++i) {
        const kiv::MacroList& list = tabs[static_cast<std::size_t>(i % kTabs)];
        const auto position = static_cast<std::size_t>(1 + i * 97 % kMacrosPerTab);
        for (int times = 0; times <= i % 5; ++times) palette.Said(list.FileName(), position);
        if (i % 10 == 0) palette.ToggleFavourite(list, position);
    }
    std::vector<double> firstPaint;
    for (int round = 0; round < kRounds; ++round) {
        SetForegroundWindow(game);
        const auto start = std::chrono::steady_clock::now();
        palette.Open();
        bool painted = false;
        MSG message{};
        while (!painted && palette.IsOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
            const bool paint =
                message.message == WM_PAINT &&
                (message.hwnd == palette.Window() || IsChild(palette.Window(), message.hwnd));
            TranslateMessage(&message);
            DispatchMessageW(&message);
            painted = paint;
        }
        firstPaint.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        palette.Close();
    }
    DestroyWindow(game);
    std::printf(
        "palette key to first paint over %d macros in %d tabs: median %.1f ms, worst %.1f ms\n",
        kTabs * kMacrosPerTab, kTabs, Median(firstPaint),
        *std::max_element(firstPaint.begin(), firstPaint.end()));
    return 0;
}
