#include "platform/local_clock.h"

#include <chrono>
#include <ctime>

namespace kiv {
namespace {

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

}  // namespace

TimeOfDay LocalTimeOfDay() {
    const std::tm local = LocalNow();
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

int LocalDayNumber() {
    const std::tm local = LocalNow();
    const std::chrono::year_month_day date{
        std::chrono::year(local.tm_year + 1900),
        std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
        std::chrono::day(static_cast<unsigned>(local.tm_mday))};
    return static_cast<int>(std::chrono::sys_days(date).time_since_epoch().count());
}

}  // namespace kiv
