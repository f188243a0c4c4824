// Copy, move and delete of the picture, sound or movie shown, Delete files,
// and Go to slide. The questions are asked here; the work is the file
// engine's. Each makes way for a running operation first.
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/choose_files.h"
#include "app/commands/command_rules.h"
#include "app/commands/command_texts.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "files/file_messages.h"
#include "files/file_operations.h"
#include "files/file_pkg.h"
#include "platform/dialogs.h"
#include "platform/path.h"
#include "platform/text_prompt.h"

namespace {
NameSlot PathSlot(FileKind kind) {
  return static_cast<NameSlot>(kImagePath + static_cast<int>(kind));
}

bool KindShown(const TZentropeWin& win, FileKind kind) {
  switch (kind) {
    case FileKind::kSound:
      return SoundShown(win);
    case FileKind::kMovie:
      return MovieShown(win);
    case FileKind::kImage:
      break;
  }
  return ImageShown(win);
}

// A picture inside an archive is refused before anything is asked.
bool RefusedAsArchiveMember(TZentropeWin& win, const std::string& path) {
  const std::string refusal = RefuseArchiveMember(path);
  if (refusal.empty()) return false;
  MessageBox(win.Backend().Dialogs(), win.MainWindow().Id(), refusal, kErrorCaption,
             MessageBoxIcon::kExclamation);
  return true;
}

// The text dialog's limit counts a terminating zero.
int PromptLimit(std::size_t characters) {
  return static_cast<int>(characters) + 1;
}

void Transfer(TZentropeWin& win, FileKind kind, TransferAction action) {
  const std::string source = win.Names()[PathSlot(kind)];
  if (RefusedAsArchiveMember(win, source)) return;
  TProfile& settings = win.Settings();
  const std::optional<std::string> answer = PromptText(
      win.Backend().Dialogs(), win.MainWindow().Id(), TransferPrompt(action, source),
      SuggestDestination(settings, kind, action, source), PromptLimit(kDestinationAnswerMaxChars));
  if (!answer) return;
  TransferShownFile(settings, kind, action, source, *answer);
}

bool Confirmed(TZentropeWin& win, const std::vector<std::string>& paths) {
  return MessageBox(win.Backend().Dialogs(), win.MainWindow().Id(), DeleteQuestion(paths),
                    std::string(kConfirmTitle), MessageBoxIcon::kQuestion,
                    MessageBoxButtons::kYesNo) == DialogAnswer::kYes;
}

void DeleteShown(TZentropeWin& win, FileKind kind) {
  const std::string path = win.Names()[PathSlot(kind)];
  if (RefusedAsArchiveMember(win, path) || !Confirmed(win, {path})) return;
  DeleteShownFile(win.Files(), path);
  win.LoadCurrent();
}

void DeleteChosenFiles(TZentropeWin& win) {
  const std::vector<std::string> chosen =
      ChooseFiles(win, std::string(kDeleteDialogTitle), IntKey::DeleteIndex);
  if (chosen.empty() || !Confirmed(win, chosen)) return;
  const std::vector<std::string> deleted = DeleteFiles(win.Files(), chosen);
  if (ContainsPath(deleted, win.Names()[kImagePath]) ||
      ContainsPath(deleted, win.Names()[kSoundPath])) {
    win.LoadCurrent();
  }
}

void GoToNamedSlide(TZentropeWin& win) {
  const std::optional<std::string> answer =
      PromptText(win.Backend().Dialogs(), win.MainWindow().Id(), std::string(kGoToSlidePrompt), "",
                 PromptLimit(kGoToSlideAnswerMaxChars));
  if (!answer || !GoToSlide(win.Files(), *answer)) return;
  win.LoadCurrent();
}

CommandBinding ForKind(FileKind kind, std::function<void(TZentropeWin&)> run) {
  return CommandBinding{std::move(run),
                        [kind](const TZentropeWin& win) { return KindShown(win, kind); }, nullptr,
                        true};
}
}  // namespace

void RegisterFileOperationCommands(TCommandRegistry& registry) {
  constexpr FileKind kKinds[] = {FileKind::kImage, FileKind::kSound, FileKind::kMovie};
  for (int i = 0; i < 3; ++i) {
    const FileKind kind = kKinds[i];
    const auto offset = static_cast<std::uint32_t>(i);
    registry.Add(CM_COPY_IMAGE_TO + offset, ForKind(kind, [kind](TZentropeWin& win) {
                   Transfer(win, kind, TransferAction::kCopy);
                 }));
    registry.Add(CM_MOVE_IMAGE_TO + offset, ForKind(kind, [kind](TZentropeWin& win) {
                   Transfer(win, kind, TransferAction::kMove);
                 }));
    registry.Add(CM_DELETE_IMAGE + offset,
                 ForKind(kind, [kind](TZentropeWin& win) { DeleteShown(win, kind); }));
  }
  registry.Add(CM_DELETE_FILES, CommandBinding{DeleteChosenFiles, nullptr, nullptr, true});
  registry.Add(CM_GO_TO_SLIDE, CommandBinding{GoToNamedSlide, ListHasCurrent, nullptr, true});
}
