#pragma once

namespace kiv {

// What starting the tool again as administrator came to.
enum class Relaunch { Started, Declined, Failed };

}  // namespace kiv
