#pragma once

#include <functional>
#include <string>

namespace kiv {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Injected wherever "<now>" is expanded, so tests can fix the time.
using Clock = std::function<TimeOfDay()>;

// "HH:MM:SS", 24-hour clock, two digits each.
std::u16string FormatTimeOfDay(TimeOfDay time);

}  // namespace kiv
