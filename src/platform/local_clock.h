#pragma once

#include <string>

namespace kiv {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local wall-clock time of day, read now.
TimeOfDay LocalTimeOfDay();

// Today's local date as a day number: days since 1970-01-01, as
// std::chrono::sys_days counts them.
int LocalDayNumber();

// "YYYY/MM/DD", the date a day number stands for.
std::u16string DateText(int day);

}  // namespace kiv
