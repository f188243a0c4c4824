// The Utilities menu's install commands: Install and Remove Zentrope, and
// Install and Remove extension. Each shows the log first, where every step
// it takes is reported.
#include <optional>
#include <string>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "platform/path.h"
#include "platform/text_prompt.h"
#include "system/associations.h"
#include "system/install.h"

namespace {
constexpr char kExtensionPrompt[] = "Enter three-character file extension:";
// The extension prompt takes at most this many characters.
constexpr int kExtensionMaxChars = 3;

void ShowLog(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::ShowLog) == 0) {
    WindowInternals::ToggleTextWindow(win, CM_SHOW_LOG);
  }
}

// The classes root of this user's desktop.
struct DesktopClasses {
  TRegistryStore store;
  TClassesRoot classes{store, XdgPlaces::FromEnvironment()};
};

void Install(TZentropeWin& win) {
  ShowLog(win);
  DesktopClasses desktop;
  InstallZentrope(win.Backend().Dialogs(), win.MainWindow().Id(), CurrentInstallPlaces(),
                  desktop.classes);
}

void Remove(TZentropeWin& win) {
  ShowLog(win);
  DesktopClasses desktop;
  RemoveZentrope(win.Backend().Dialogs(), win.MainWindow().Id(), CurrentInstallPlaces(),
                 desktop.classes);
}

// ".", then the answer in capital letters; nothing when cancelled.
std::optional<std::string> AskExtension(TZentropeWin& win) {
  const std::optional<std::string> answer = PromptText(
      win.Backend().Dialogs(), win.MainWindow().Id(), kExtensionPrompt, "", kExtensionMaxChars + 1);
  if (!answer) return std::nullopt;
  return "." + ToUpper(answer->substr(0, kExtensionMaxChars));
}

void InstallExtension(TZentropeWin& win) {
  const std::optional<std::string> extension = AskExtension(win);
  if (!extension) return;
  ShowLog(win);
  DesktopClasses desktop;
  AssociateExtension(desktop.classes, *extension);
}

void RemoveExtension(TZentropeWin& win) {
  const std::optional<std::string> extension = AskExtension(win);
  if (!extension) return;
  ShowLog(win);
  DesktopClasses desktop;
  DisassociateExtension(desktop.classes, *extension);
}

}  // namespace

void RegisterUtilityCommands(TCommandRegistry& registry) {
  registry.Add(CM_INSTALL, {.run = Install});
  registry.Add(CM_REMOVE, {.run = Remove});
  registry.Add(CM_INSTALL_EXTENSION, {.run = InstallExtension});
  registry.Add(CM_REMOVE_EXTENSION, {.run = RemoveExtension});
}
