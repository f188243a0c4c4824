// The program manager's execute strings ("[CreateGroup(Accessories)]",
// "[AddItem(zentrp32.exe,Zentrope Tarvex)]", ...) carried out on the
// desktop: groups are menu categories, items are launchers named
// $XDG_DATA_HOME/applications/zentrope-<item>.desktop.
#pragma once

#include <string>
#include <string_view>

#include "system/xdg_places.h"

class TProgramManager {
 public:
  // Relative program names of items are found in `program_folder`.
  TProgramManager(XdgPlaces places, std::string program_folder, std::string group = {})
      : places_(std::move(places)),
        program_folder_(std::move(program_folder)),
        group_(std::move(group)) {}

  // The group chosen last.
  const std::string& Group() const { return group_; }

  // Carries out every bracketed command of `commands` in order, stopping at
  // the first that fails: CreateGroup and ShowGroup choose the group that
  // later items join, AddItem makes a launcher, ReplaceItem and DeleteItem
  // remove one (a missing item counts as removed). True when all succeeded.
  bool Execute(std::string_view commands);

  // The launcher file of an item.
  std::string LauncherPath(std::string_view item_name) const;

 private:
  bool AddItem(std::string_view command_line, std::string_view name);

  XdgPlaces places_;
  std::string program_folder_;
  std::string group_;
};

// One conversation with the program manager: logs the command as sent and
// carries it out on the desktop of the current environment (launchers in
// its applications folder, programs in the system folder). True when done.
bool SendProgmanCommand(std::string_view command);
