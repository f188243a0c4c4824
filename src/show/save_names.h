// The name a sheet is saved under, and the log line of a failed save.
#pragma once

#include <functional>
#include <string>
#include <string_view>

inline constexpr const char* kSaveFailedLog = "Error occurred while saving %s as %s";
// Sheets are saved as thumb001 .. thumb998.
inline constexpr int kLastThumbnailNumber = 998;

// "thumb%3.3d" plus the extension in the folder of `proposed`, with the first
// number from 1 for which `exists` says no; 998 when all exist.
std::string ThumbnailSaveName(std::string_view proposed,
                              const std::function<bool(const std::string&)>& exists);
