#include "platform/local_clock.h"

#include <ctime>

namespace kiv {

TimeOfDay LocalTimeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace kiv
