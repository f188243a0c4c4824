// Sectioned key=value settings files with the semantics of the private
// profile functions the program was designed around: section and key names
// compare without case, the first of duplicate sections or keys is the one that
// counts, a missing file or key gives the default, and every line that is not
// touched (comments, blank lines, unknown keys) is kept as it was.
#pragma once

#include <string>
#include <string_view>

// The value of `key` in `section` of `file`, trimmed of surrounding blanks and of
// one pair of matching quotes; `default_value` when the file, section or key is
// missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& file);

// Sets `key` in `section` of `file`, creating the file and the section as needed.
// A null or empty value deletes the key; a null key deletes the whole section.
// The file is replaced atomically (temporary file and rename), so a crash never
// leaves a truncated settings file. Returns false when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& file);
