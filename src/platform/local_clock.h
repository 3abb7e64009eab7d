#pragma once

namespace kiv {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local wall-clock time of day, read now.
TimeOfDay LocalTimeOfDay();

}  // namespace kiv
