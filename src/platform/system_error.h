#pragma once

#include <cstdint>
#include <string>

namespace kiv {

// The system's own words for an error code, in the user's language, with the
// code after them: "アクセスが拒否されました (エラー 5)". Windows only.
std::u16string SystemErrorText(std::uint32_t code);

}  // namespace kiv
