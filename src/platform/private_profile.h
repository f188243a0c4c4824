// Sectioned key=value settings files with the semantics of the classic private
// profile functions: section and key names compare without case, the first of
// duplicate sections or keys is the one that counts, a missing file or key gives
// the default, and every line that is not touched (comments, blank lines,
// unknown keys) is kept as it was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The value of `key` in `section` of `file`, trimmed of surrounding blanks and of
// one pair of matching quotes; `default_value` without its trailing blanks when
// the file, section or key is missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& file);

// The values of `keys` in `section` of `file`, found in one pass over the file:
// each as GetPrivateProfileString gives it, or none where the key is missing.
// Only the values asked for are kept, however large the file.
std::vector<std::optional<std::string>> GetPrivateProfileStrings(
    std::string_view section, std::span<const std::string_view> keys, const std::string& file);

// Sets `key` in `section` of `file`, creating the file and the section as needed.
// A null or empty value deletes the key; a null key deletes the whole section.
// The file is replaced atomically (temporary file and rename), so a crash never
// leaves a truncated settings file. Returns false when the file cannot be written
// or when a name or value would break the file's line structure (a line break in
// any of them, '=' in a key, ']' in a section).
bool WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& file);

// One key to set, or to delete when it has no value or an empty one.
struct ProfileEntry {
  std::string key;
  std::optional<std::string> value;
};

// Applies the entries as that many WritePrivateProfileString calls would, with
// one read and at most one atomic write (none when nothing changes); of several
// entries for one key the last counts. Entries whose names or values are refused
// are skipped and make it return false.
bool WritePrivateProfileEntries(std::string_view section, const std::vector<ProfileEntry>& entries,
                                const std::string& file);
