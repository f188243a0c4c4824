// The Utilities menu's screen-saver commands: Install and Remove screen
// saver (each shows the log first, where every step is reported), Configure
// screen saver and Test screen saver.
#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "app/saver_mode.h"
#include "system/screen_saver_install.h"

namespace {
void ShowLog(TZentropeWin& win) {
  if (win.Settings().Get(IntKey::ShowLog) == 0) {
    WindowInternals::ToggleTextWindow(win, CM_SHOW_LOG);
  }
}

void InstallSaver(TZentropeWin& win) {
  ShowLog(win);
  TDesktopIdleSession session;
  InstallScreenSaver(win.Backend().Dialogs(), win.MainWindow().Id(), CurrentSaverPlaces(), session);
}

void RemoveSaver(TZentropeWin& win) {
  ShowLog(win);
  TDesktopIdleSession session;
  RemoveScreenSaver(CurrentSaverPlaces(), session);
}

void ConfigureSaver(TZentropeWin& win) {
  ConfigureScreenSaver(win.Backend(), win.MainWindow().Id());
}

// The window answers the request like any other: a running slideshow
// swallows it, otherwise the platform starts the installed saver.
void TestSaver(TZentropeWin& win) {
  win.Backend().EventLoop().Post(Message::SysCommand(win.MainWindow().Id(), kScScreenSave));
}

}  // namespace

void RegisterSaverCommands(TCommandRegistry& registry) {
  registry.Add(CM_INSTALL_SAVER, {.run = InstallSaver});
  registry.Add(CM_REMOVE_SAVER, {.run = RemoveSaver});
  registry.Add(CM_CONFIGURE_SAVER, {.run = ConfigureSaver});
  registry.Add(CM_TEST_SAVER, {.run = TestSaver, .defer_if_busy = false});
}
