#include "app/saver_mode.h"

#include "app/commands/command_texts.h"
#include "app/commands/help_file.h"
#include "app/passwords.h"
#include "settings/profile.h"
#include "settings/run_mode.h"

namespace {
// Holds a run mode for its lifetime and gives the previous one back.
class TRunModeScope {
 public:
  explicit TRunModeScope(RunMode mode) : previous_(CurrentRunMode()) { SetRunMode(mode); }
  ~TRunModeScope() { SetRunMode(previous_); }
  TRunModeScope(const TRunModeScope&) = delete;
  TRunModeScope& operator=(const TRunModeScope&) = delete;

 private:
  RunMode previous_;
};
}  // namespace

SaverSetupServices ShellSaverServices(PlatformBackend& backend) {
  SaverSetupServices services;
  services.open_filters = kOpenFilters;
  services.change_password = [](DialogService& dialogs, WindowId owner) {
    ChangePassword(dialogs, owner);
  };
  services.help = &backend.Help();
  services.help_file = HelpFilePath();
  return services;
}

int RunSaverSetup(PlatformBackend& backend, WindowId owner, TProfile& profile) {
  TZentsaverDlg dialog(profile, ShellSaverServices(backend));
  const int result = dialog.Execute(backend.Dialogs(), owner);
  if (result == kIdOk) profile.Save();
  return result;
}

int ConfigureScreenSaver(PlatformBackend& backend, WindowId owner) {
  const TRunModeScope saver_options(RunMode::SaverOptions);
  TProfile profile;
  return RunSaverSetup(backend, owner, profile);
}
