// Where the program's help sits: next to the executable, named after it, as
// an HTML file the build writes there.
#pragma once

#include <string>

inline constexpr const char* kHelpFileExtension = ".html";

std::string HelpFilePath();
