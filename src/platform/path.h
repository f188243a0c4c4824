// File names as the program sees them: drive, directory, name and extension.
// On Linux the drive is always empty and "/" separates directories; names and
// extensions still compare without regard to case where the program compares them.
#pragma once

#include <string>
#include <string_view>

struct PathParts {
  std::string drive;      // always empty on Linux
  std::string directory;  // keeps its trailing "/", empty when the path has none
  std::string name;       // without the extension
  std::string extension;  // with its leading ".", empty when there is none
};

// Splits at the last "/" and at the last "." of the final component; a name that
// starts with "." and has no other dot ("..", ".profile") has no extension.
PathParts SplitPath(std::string_view path);
std::string JoinPath(const PathParts& parts);

// ASCII case folding, as file names and keywords are compared.
char ToLowerAscii(char c);
std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// "~" and a leading "~/" mean the home folder ($HOME, else the password entry).
std::string ExpandHome(std::string_view path);

// The user's home folder without a trailing "/".
std::string HomeDirectory();
