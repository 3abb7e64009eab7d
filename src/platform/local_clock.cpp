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

std::u16string Padded(long long value, std::size_t width) {
    const std::string digits = std::to_string(value);
    std::u16string text(width > digits.size() ? width - digits.size() : 0, u'0');
    text.append(digits.begin(), digits.end());
    return text;
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

std::u16string DateText(int day) {
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{day}}};
    return Padded(static_cast<int>(date.year()), 4) + u"/" +
           Padded(static_cast<unsigned>(date.month()), 2) + u"/" +
           Padded(static_cast<unsigned>(date.day()), 2);
}

}  // namespace kiv
