// The viewer's command line: options and file specifications, read left to
// right into what the shell must do, in order. Integer settings given by name
// and the settings of print and conversion runs change the TProfile on the spot,
// so later arguments see them.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "settings/profile.h"
#include "settings/run_mode.h"

// "-Directory=<path>" with a non-empty path, and the step before installing.
struct ChangeDirectoryAction {
  std::string path;
};

// A print or conversion run. Its settings are already in the profile (snapshot
// held, RunSlideshow on, delays and random order off, the display event set to
// `event_action`, exit when the list is done); the shell starts the slideshow
// when `slideshow_started`. When the slideshow was already on, the run stopped
// it instead and `slideshow_started` is false.
struct SlideshowRunAction {
  int event_action = 0;  // 1 print, 2..7 save as GIF, BMP, PCX, TGA, JPG, TIF
  bool slideshow_started = false;
};

// "-Install": the shell posts the install command (after changing to the system folder).
struct InstallAction {};

// A file specification for the file list. With siblings its whole directory
// joins the list and the named file becomes current.
struct AddFileSpecAction {
  std::string spec;
  int file_type_index = 0;
  bool with_siblings = false;
  bool search_subdirectories = false;
};

using StartupAction =
    std::variant<ChangeDirectoryAction, SlideshowRunAction, InstallAction, AddFileSpecAction>;

// Asks for the default printer without a dialog; false when there is none.
using DefaultPrinterQuery = std::function<bool()>;

// The viewer's arguments (program name excluded). Only "-" followed by a letter
// starts an option; everything else, "-5" and "/" included, is a file
// specification. Without a printer query, print options are ignored.
std::vector<StartupAction> InterpretCommandLine(TProfile& profile,
                                                const std::vector<std::string>& arguments,
                                                const DefaultPrinterQuery& default_printer);

// Whether the arguments ask for a print or conversion run, which needs no
// display.
bool HasRunOption(const std::vector<std::string>& arguments);

// What the start-up command adds for `mode`: the screen saver ignores its
// arguments and shows its FileSpec setting instead.
std::vector<StartupAction> InterpretStartup(TProfile& profile, RunMode mode,
                                            const std::vector<std::string>& arguments,
                                            const DefaultPrinterQuery& default_printer);
