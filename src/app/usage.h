// The Linux conventions on top of the program's own command line.
#pragma once

#include <string>

inline constexpr const char* kProgramVersion = "0.1.0";

// What "--help" prints: the options, the integer settings that can be given by
// name, and the file-type classes.
std::string UsageText(const std::string& program_name);
// What "--version" prints.
std::string VersionText();
