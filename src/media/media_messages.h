// The log lines and texts of sound and movie playback, each spelled once.
#pragma once

inline constexpr const char* kMciCommandLog = "MCI: %s";
inline constexpr const char* kMciErrorLog = "err: %s";
inline constexpr const char* kCommandTooLong = "The command is longer than 251 characters.";
inline constexpr const char* kScriptLineTooLong = "The script line is longer than 150 characters.";
inline constexpr const char* kScriptUnreadable = "The script cannot be read.";
inline constexpr const char* kPlayWait = "wait";
inline constexpr const char* kPlayNotify = "notify";
