// The File menu's copy, move and delete commands and Go to slide, without
// their dialogs: the shell asks the questions and passes the answers in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile.h"

class TFilePkg;

// Which of the window's shown files a command acts on.
enum class FileKind { kImage, kSound, kMovie };
enum class TransferAction { kCopy, kMove };

// Limits of the one-line text dialog for each question.
inline constexpr std::size_t kDestinationAnswerMaxChars = 260;
inline constexpr std::size_t kGoToSlideAnswerMaxChars = 12;

// The setting that remembers the last destination of a copy or move.
StringKey RememberedDestinationKey(FileKind kind, TransferAction action);

// The remembered path's directory (the source's when it has none) with the
// source's file name.
std::string SuggestDestination(std::string_view source, std::string_view remembered);
std::string SuggestDestination(const TProfile& profile, FileKind kind, TransferAction action,
                               std::string_view source);

// "Copy %s to:" or "Move %s to:" with the source.
std::string TransferPrompt(TransferAction action, std::string_view source);

// A picture inside an archive is no file of its own: the text that refuses to
// copy, move or delete it, already logged; empty for any other path, which the
// commands go on with.
std::string RefuseArchiveMember(const std::string& path);

// Copies or moves `source` to the user's answer and remembers the answer,
// whatever the outcome. A moved file stays in the file list under its old
// name. True when the copy (and the move's deletion) succeeded; false, with
// nothing touched, for a picture inside an archive.
bool TransferShownFile(TProfile& profile, FileKind kind, TransferAction action,
                       const std::string& source, const std::string& answer);

// "Are you sure you want to delete %s?" for one path, or with "these files".
std::string DeleteQuestion(const std::vector<std::string>& paths);

// Delete image, sound or movie after a Yes: deletes the file and drops it from
// the list. A file that cannot be deleted stays listed and the failure is
// logged. True when the file was deleted; false, with nothing touched, for a
// picture inside an archive.
bool DeleteShownFile(TFilePkg& list, const std::string& path);

// Delete files after a Yes: each deleted file leaves the list and is logged;
// each failure is logged and keeps its entry. Returns the deleted paths.
std::vector<std::string> DeleteFiles(TFilePkg& list, const std::vector<std::string>& paths);

// True when `path` is among `paths`, case ignored (was the shown file deleted?).
bool ContainsPath(const std::vector<std::string>& paths, std::string_view path);

// Go to slide with the user's answer, cut to the dialog's limit. False when
// the answer is empty and nothing was asked of the list.
bool GoToSlide(TFilePkg& list, std::string_view answer);
