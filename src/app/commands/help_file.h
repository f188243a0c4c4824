// Where the program's help sits: next to the executable, named after it. The
// build writes it there as an HTML file; an installed copy of the program
// finds the copy of its help that the install made under ".hlp".
#pragma once

#include <string>

inline constexpr const char* kHelpFileExtension = ".html";
inline constexpr const char* kInstalledHelpFileExtension = ".hlp";
// Beside the program's folder, where `cmake --install` puts the help.
inline constexpr const char* kPackagedHelpFolder = "share/zentrope";

// The help beside `program`: "<base>.html" when there, else "<base>.hlp" when
// there, else "../share/zentrope/<base>.html" when there, else "<base>.html"
// (so that the viewer names the file it missed).
std::string HelpFileBeside(const std::string& program);
std::string HelpFilePath();
