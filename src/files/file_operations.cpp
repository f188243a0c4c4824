#include "files/file_operations.h"

#include <unistd.h>

#include "files/archive_folder.h"
#include "files/copy_with_log.h"
#include "files/file_messages.h"
#include "files/file_pkg.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {

constexpr int kDeleteProgressPercent = 50;

bool DeleteWithLog(TFilePkg& list, const std::string& path, bool log_success) {
  if (unlink(path.c_str()) != 0) {
    LogLine(kDeleteErrorLine, path);
    return false;
  }
  list.RemoveName(path);
  if (log_success) LogLine(kDeletedLine, path);
  return true;
}

}  // namespace

StringKey RememberedDestinationKey(FileKind kind, TransferAction action) {
  const bool move = action == TransferAction::kMove;
  switch (kind) {
    case FileKind::kSound:
      return move ? StringKey::MoveSoundTo : StringKey::CopySoundTo;
    case FileKind::kMovie:
      return move ? StringKey::MoveMovieTo : StringKey::CopyMovieTo;
    case FileKind::kImage:
      break;
  }
  return move ? StringKey::MoveImageTo : StringKey::CopyImageTo;
}

std::string SuggestDestination(std::string_view source, std::string_view remembered) {
  const PathParts from = SplitPath(source);
  const PathParts last = SplitPath(remembered);
  PathParts suggestion = from;
  if (!last.drive.empty()) suggestion.drive = last.drive;
  if (!last.directory.empty()) suggestion.directory = last.directory;
  return JoinPath(suggestion);
}

std::string SuggestDestination(const TProfile& profile, FileKind kind, TransferAction action,
                               std::string_view source) {
  return SuggestDestination(source, profile.Get(RememberedDestinationKey(kind, action)));
}

std::string RefuseArchiveMember(const std::string& path) {
  if (!IsArchiveMember(path)) return {};
  LogLine(kArchiveMemberRefused, path);
  return FormatLogText(kArchiveMemberRefused, path);
}

std::string TransferPrompt(TransferAction action, std::string_view source) {
  return FormatLogText(action == TransferAction::kMove ? kMovePrompt : kCopyPrompt, source);
}

bool TransferShownFile(TProfile& profile, FileKind kind, TransferAction action,
                       const std::string& source, const std::string& answer) {
  if (!RefuseArchiveMember(source).empty()) return false;
  const bool done = CopyWithLog(source, answer, action == TransferAction::kMove);
  profile.Set(RememberedDestinationKey(kind, action), answer);
  return done;
}

std::string DeleteQuestion(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return FormatLogText(kDeleteQuestion, paths.front());
  return FormatLogText(kDeleteQuestion, kSeveralFilesWords);
}

bool DeleteShownFile(TFilePkg& list, const std::string& path) {
  if (!RefuseArchiveMember(path).empty()) return false;
  return DeleteWithLog(list, path, false);
}

std::vector<std::string> DeleteFiles(TFilePkg& list, const std::vector<std::string>& paths) {
  ShowProgress(kDeleteProgressPercent);
  std::vector<std::string> deleted;
  for (const std::string& path : paths) {
    if (DeleteWithLog(list, path, true)) deleted.push_back(path);
  }
  EndProgress();
  return deleted;
}

bool ContainsPath(const std::vector<std::string>& paths, std::string_view path) {
  for (const std::string& candidate : paths) {
    if (EqualsNoCase(candidate, path)) return true;
  }
  return false;
}

bool GoToSlide(TFilePkg& list, std::string_view answer) {
  answer = answer.substr(0, kGoToSlideAnswerMaxChars);
  if (answer.empty()) return false;
  list.GoTo(answer);
  return true;
}
