// The error texts of the media command interpreter, worded as the classic
// media control interface words them, each defined once.
#pragma once

#include <string>
#include <string_view>

enum class MciError {
  kNone,
  kUnrecognizedCommand,
  kDeviceNotOpen,
  kUnknownDeviceType,
  kAliasInUse,
  kMissingParameter,
  kBadKeyword,
  kOutOfRange,
  kAllNotAllowed,
  kFileNotFound,
  kCannotPlay,
  kMissingPlugin,
  kDeviceFailed,
  kEngineUnavailable,
};

// The text of an error; `detail` (a keyword, a decoder's message, the name of
// a missing plugin) follows it where the error has one.
std::string MciErrorText(MciError error, std::string_view detail = {});
