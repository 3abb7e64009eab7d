#pragma once

#include <functional>
#include <string>

#include "platform/local_clock.h"

namespace kiv {

// Injected wherever "<now>" is expanded, so tests can fix the time.
using Clock = std::function<TimeOfDay()>;

// "HH:MM:SS", 24-hour clock, two digits each.
std::u16string FormatTimeOfDay(TimeOfDay time);

}  // namespace kiv
