// The texts of the file commands: log lines, prompts and box titles, spelled
// once here.
#pragma once

#include <string_view>

inline constexpr std::string_view kCopyingLine = "Copying %s to %s";
inline constexpr std::string_view kCopiedLine = "Copied %s to %s";
inline constexpr std::string_view kDeletedLine = "Deleted %s";
inline constexpr std::string_view kCopyErrorLine = "Error occurred while copying %s to %s";
inline constexpr std::string_view kDeleteErrorLine = "Error occurred while deleting %s";

inline constexpr std::string_view kCopyPrompt = "Copy %s to:";
inline constexpr std::string_view kMovePrompt = "Move %s to:";
inline constexpr std::string_view kDeleteQuestion = "Are you sure you want to delete %s?";
inline constexpr std::string_view kSeveralFilesWords = "these files";
inline constexpr std::string_view kConfirmTitle = "Confirm";
inline constexpr std::string_view kDeleteDialogTitle = "Delete";
inline constexpr std::string_view kGoToSlidePrompt = "Go to slide (file name):";
inline constexpr std::string_view kArchiveMemberRefused =
    "%s is inside an archive. Copy, move and delete work only on whole files; "
    "copy, move or delete the archive instead.";
