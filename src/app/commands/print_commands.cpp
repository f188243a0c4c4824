// File menu: Print, Print setup and Print margins.
#include <utility>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "print/print_dialogs.h"

void RegisterPrintCommands(TCommandRegistry& registry) {
  CommandBinding print;
  // While a slideshow runs the page goes to the current printer at once.
  print.run = [](TZentropeWin& win) { win.Print(win.Settings().Get(IntKey::RunSlideshow) == 0); };
  print.enabled = ImageShown;
  registry.Add(CM_PRINT, std::move(print));

  CommandBinding setup;
  setup.run = [](TZentropeWin& win) {
    win.Printer().Setup(win.Backend().Dialogs(), win.MainWindow().Id());
  };
  registry.Add(CM_PRINT_SETUP, std::move(setup));

  CommandBinding margins;
  margins.run = [](TZentropeWin& win) {
    TGetMarginsDlg dialog(win.Settings());
    dialog.Execute(win.Backend().Dialogs(), win.MainWindow().Id());
  };
  registry.Add(CM_PRINT_MARGINS, std::move(margins));
}
