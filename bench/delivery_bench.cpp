// What delivery costs beyond its fixed 50 ms pause per line: real messages to
// the stand-in client, timed from outside. Run under Wine with a display:
//   tests/wine/with-display.sh build/mingw-x64/bin/delivery_bench.exe

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "macro/delivery.h"
#include "macro/macro.h"
#include "platform/local_clock.h"
#include "platform/window_system_win32.h"
#include "standin_process.h"

int main() {
    const auto record =
        std::filesystem::temp_directory_path() /
        ("kivmacro-delivery-bench-" + std::to_string(GetCurrentProcessId()) + ".txt");
    double perLineMicros = 0;
    long long typingMicros = 0;
    constexpr int kRounds = 20;
    constexpr int kLines = 3;
    {
        kiv::standin::StandinClient client(record);
        if (!client.Started()) {
            std::puts("stand-in client did not start");
            return 1;
        }
        kiv::Win32WindowSystem windows;
        kiv::ClientTarget automatic;
        const kiv::Macro macro(u"回復お願いします\\n<now>\\nよろしく", u"bench");
        kiv::FillContext context{kiv::LocalTimeOfDay};
        kiv::Deliver(macro, windows, context, automatic);  // warm-up
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRounds; ++i) kiv::Deliver(macro, windows, context, automatic);
        const auto took = std::chrono::steady_clock::now() - start;
        const double micros = std::chrono::duration<double, std::micro>(took).count();
        perLineMicros = micros / (kRounds * kLines) - 50'000;

        // From the client's side: first text to last Enter of a line.
        const auto events = client.WaitForEvents(std::size_t{3} * kLines * (kRounds + 1));
        for (std::size_t i = 0; i + 2 < events.size(); i += 3) {
            typingMicros += events[i + 2].micros - events[i].micros;
        }
        typingMicros /= static_cast<long long>(events.size() / 3 == 0 ? 1 : events.size() / 3);
    }
    std::filesystem::remove(record);
    std::printf("delivery overhead beyond the 50 ms pause: %.0f us per line\n", perLineMicros);
    std::printf("client side, text to Enter released: %lld us per line\n", typingMicros);
    return 0;
}
