#pragma once

#include "macro/time_of_day.h"

namespace kiv {

// The local wall-clock time of day, read now.
TimeOfDay LocalTimeOfDay();

}  // namespace kiv
