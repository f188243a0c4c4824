// The hints shown once, on the program's first start for this user.
#pragma once

#include <string>
#include <vector>

#include "settings/run_mode.h"

inline constexpr const char* kHintCaption = "Hint";

// The hint texts in the order they are shown (each in its own message box
// without icon): none outside the viewer.
std::vector<std::string> FirstStartHints(RunMode mode, int display_bits_per_pixel,
                                         int platform_major_version);
