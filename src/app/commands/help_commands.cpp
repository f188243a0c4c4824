// The Help menu: the help file through the platform's help viewer, and the
// about box.
#include "app/commands/help_file.h"

#include <sys/stat.h>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_texts.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "platform/dialog_template.h"
#include "platform/path.h"
#include "settings/run_mode.h"

namespace {
constexpr int kAboutResource = 1106;
constexpr Size kAboutSize{180, 96};
constexpr int kAboutNameId = 101;
constexpr int kAboutVersionId = 102;
constexpr int kAboutLicenceId = 103;
constexpr const char* kAboutName = "Zentrope: pictures, slideshows, uudecoding and unzipping";
constexpr const char* kAboutVersion = "Version " ZENTROPE_VERSION;
constexpr const char* kAboutLicence =
    "Free software: you may use, copy and change it under the licence it came with.";

void ShowHelp(TZentropeWin& win, HelpCommand command) {
  WindowInternals::HelpOpen(win) =
      win.Backend().Help().ShowHelp(win.MainWindow().Id(), HelpFilePath(), command);
}

DialogTemplate AboutBox() {
  DialogTemplate about;
  about.resource = kAboutResource;
  about.caption = kAboutCaption;
  about.size = kAboutSize;
  about.controls = {
      DialogControl::Make(kAboutNameId, ControlKind::kStatic, kAboutName),
      DialogControl::Make(kAboutVersionId, ControlKind::kStatic, kAboutVersion),
      DialogControl::Make(kAboutLicenceId, ControlKind::kStatic, kAboutLicence),
      DialogControl::Make(kIdOk, ControlKind::kButton, "OK"),
  };
  about.controls.back().default_button = true;
  return about;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string HelpFileBeside(const std::string& program) {
  PathParts parts = SplitPath(program);
  parts.extension = kHelpFileExtension;
  const std::string built = JoinPath(parts);
  if (IsRegularFile(built)) return built;
  parts.extension = kInstalledHelpFileExtension;
  const std::string installed = JoinPath(parts);
  if (IsRegularFile(installed)) return installed;
  // A packaged program: bin/zentrope with share/zentrope/zentrope.html.
  parts.directory += std::string("../") + kPackagedHelpFolder + "/";
  parts.extension = kHelpFileExtension;
  const std::string packaged = JoinPath(parts);
  return IsRegularFile(packaged) ? packaged : built;
}

std::string HelpFilePath() {
  return HelpFileBeside(ProgramPath());
}

void RegisterHelpCommands(TCommandRegistry& registry) {
  registry.Add(CM_HELP_CONTENTS,
               {.run = [](TZentropeWin& win) { ShowHelp(win, HelpCommand::kContents); }});
  registry.Add(CM_HELP_USING,
               {.run = [](TZentropeWin& win) { ShowHelp(win, HelpCommand::kHelpOnHelp); }});
  registry.Add(CM_ABOUT, {.run = [](TZentropeWin& win) {
                 win.Backend().Dialogs().RunDialog(AboutBox(), win.MainWindow().Id());
               }});
}
