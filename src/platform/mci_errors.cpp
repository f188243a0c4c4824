#include "platform/mci_errors.h"

namespace {

const char* BaseText(MciError error) {
  switch (error) {
    case MciError::kNone:
      return "The specified command was carried out.";
    case MciError::kUnrecognizedCommand:
      return "The specified command was not recognized.";
    case MciError::kDeviceNotOpen:
      return "The specified device is not open or is not recognized.";
    case MciError::kUnknownDeviceType:
      return "The specified device type is not recognized. A driver for it may not be installed.";
    case MciError::kAliasInUse:
      return "The specified alias is already being used in this application. Use a unique alias.";
    case MciError::kMissingParameter:
      return "A parameter is missing from the specified command.";
    case MciError::kBadKeyword:
      return "The specified keyword is not recognized:";
    case MciError::kOutOfRange:
      return "The specified parameter is out of range for the specified command.";
    case MciError::kAllNotAllowed:
      return "The specified command cannot be used with the \"all\" device name.";
    case MciError::kFileNotFound:
      return "The specified file cannot be found. Make sure the path and filename are correct.";
    case MciError::kCannotPlay:
      return "The file cannot be played on the specified device. The file may be corrupt, or not "
             "in the correct format.";
    case MciError::kMissingPlugin:
      return "A driver needed to play this file is not installed:";
    case MciError::kDeviceFailed:
      return "The device reported a failure while playing:";
    case MciError::kEngineUnavailable:
      return "The media devices cannot be started:";
  }
  return "Unknown error.";
}

}  // namespace

std::string MciErrorText(MciError error, std::string_view detail) {
  std::string text = BaseText(error);
  if (!detail.empty()) {
    text += ' ';
    text += detail;
  }
  return text;
}
