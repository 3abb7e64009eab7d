#pragma once

// kernel32's profile-section functions alone, whatever the file's encoding:
// for the tests that hold the portable ones to them. Windows only.

#include "platform/profile_sections.h"

namespace kiv {

ProfileSections& Kernel32Profile();

}  // namespace kiv
