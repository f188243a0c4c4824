// Decode, Encode, Unzip and Zip info: each picks files in the open dialog,
// shows the log (where the archive engine reports every file it reads and
// writes) and runs the engine over the selection. A run that could not write
// what it was asked to also says so in a message box, so a failure is never
// only a line the user may not be looking at.
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/choose_files.h"
#include "app/commands/command_texts.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "archive/decode.h"
#include "archive/encode.h"
#include "archive/zip_commands.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "platform/text_prompt.h"

namespace {
constexpr char kDecodeTitle[] = "Decode";
constexpr char kEncodeTitle[] = "Encode";
constexpr char kUnzipTitle[] = "Unzip";
constexpr char kZipInfoTitle[] = "Zip Info";
constexpr char kDestinationPrompt[] = "Directory to create files in:";
// The destination prompt takes at most this many characters.
constexpr int kDestinationMaxChars = 260;

constexpr char kDecodeFailed[] = "Not every file could be decoded; the log tells which and why.";
constexpr char kEncodeFailed[] = "Not every file could be encoded; the log tells which and why.";
constexpr char kUnzipFailed[] = "Not every file could be extracted; the log tells which and why.";
constexpr char kEncodeOwnSection[] =
    "%s was not encoded: one of its own uuencoded sections would take its name and destroy it.";

void ShowLog(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::ShowLog) == 0) {
    WindowInternals::ToggleTextWindow(win, CM_SHOW_LOG);
  }
}

void ReportFailure(TZentropeWin& win, const std::string& text) {
  MessageBox(win.Backend().Dialogs(), win.MainWindow().Id(), text, kErrorCaption,
             MessageBoxIcon::kExclamation);
}

void Decode(TZentropeWin& win) {
  const std::vector<std::string> paths = ChooseFiles(win, kDecodeTitle, IntKey::DecodeIndex);
  if (paths.empty()) return;
  ShowLog(win);
  if (!RunDecode(paths)) ReportFailure(win, kDecodeFailed);
}

// True when encoding `path` would write a section file over `path` itself.
bool IsOwnSection(const std::string& path, int lines_per_section) {
  struct stat info {};
  const std::uint64_t size =
      stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  const EncodeLayout layout = PlanEncodeSections(size, lines_per_section);
  for (int section = 1; section <= layout.sections; ++section) {
    if (EncodeSectionName(path, section) == path) return true;
  }
  return false;
}

void Encode(TZentropeWin& win) {
  const std::vector<std::string> paths = ChooseFiles(win, kEncodeTitle, IntKey::EncodeIndex);
  if (paths.empty()) return;
  ShowLog(win);
  const int lines = win.Settings().Get(IntKey::EncodeLines);
  std::vector<std::string> encodable;
  for (const std::string& path : paths) {
    if (IsOwnSection(path, lines)) {
      ReportFailure(win, FormatLogText(kEncodeOwnSection, path));
    } else {
      encodable.push_back(path);
    }
  }
  if (!encodable.empty() && !RunEncode(encodable, lines)) ReportFailure(win, kEncodeFailed);
}

std::optional<std::string> AskDestination(const std::string& initial, void* context) {
  auto& win = *static_cast<TZentropeWin*>(context);
  return PromptText(win.Backend().Dialogs(), win.MainWindow().Id(), kDestinationPrompt, initial,
                    kDestinationMaxChars + 1);
}

void Unzip(TZentropeWin& win) {
  const std::vector<std::string> paths = ChooseFiles(win, kUnzipTitle, IntKey::UnzipIndex);
  if (paths.empty()) return;
  ShowLog(win);
  if (IsUtilityRunning()) return;
  if (!RunUnzip(paths, AskDestination, &win)) ReportFailure(win, kUnzipFailed);
}

void ZipInfo(TZentropeWin& win) {
  const std::vector<std::string> paths = ChooseFiles(win, kZipInfoTitle, IntKey::ZipInfoIndex);
  if (paths.empty()) return;
  ShowLog(win);
  if (IsUtilityRunning()) return;
  RunZipInfo(paths);
}
}  // namespace

void RegisterArchiveCommands(TCommandRegistry& registry) {
  registry.Add(CM_DECODE, CommandBinding{Decode, nullptr, nullptr, true});
  registry.Add(CM_ENCODE, CommandBinding{Encode, nullptr, nullptr, true});
  registry.Add(CM_UNZIP, CommandBinding{Unzip, nullptr, nullptr, true});
  registry.Add(CM_ZIP_INFO, CommandBinding{ZipInfo, nullptr, nullptr, true});
}
