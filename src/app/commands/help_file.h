// Where the program's help sits: next to the executable, named after it. The
// build writes it there as an HTML file; an installed copy of the program
// finds the copy of its help that the install made under ".hlp".
#pragma once

#include <string>

inline constexpr const char* kHelpFileExtension = ".html";
inline constexpr const char* kInstalledHelpFileExtension = ".hlp";

// The help beside `program`: "<base>.html" when there, else "<base>.hlp" when
// there, else "<base>.html" (so that the viewer names the file it missed).
std::string HelpFileBeside(const std::string& program);
std::string HelpFilePath();
