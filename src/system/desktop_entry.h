// Desktop entry files: the program's own entry that file associations name
// (zentrope.desktop) and the launchers that stand for program-manager items.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/xdg_places.h"

inline constexpr char kProgramDesktopId[] = "zentrope.desktop";

// One word of an Exec line, quoted and escaped as desktop entries require;
// nothing for a word holding control characters, which no Exec line can carry.
std::optional<std::string> ExecWord(std::string_view word);

// The program path of a registry command made with "%s %%1" or "%s -p %%1";
// nothing when `command` does not end in the form's suffix.
std::optional<std::string> ProgramOfOpenCommand(std::string_view command);
std::optional<std::string> ProgramOfPrintCommand(std::string_view command);

// The program's entry: opening with the open command's program, and, when the
// print command names one, a "print" action; its types are the program's own
// and `declared_types`. Nothing when no valid Exec line can be made.
std::optional<std::string> ProgramEntryText(std::string_view open_command,
                                            std::optional<std::string_view> print_command,
                                            const std::vector<std::string>& declared_types = {});
std::string ProgramEntryPath(const XdgPlaces& places);

// A launcher shown in the desktop's menus under `categories` ("Utility;").
std::optional<std::string> LauncherText(std::string_view name, std::string_view program,
                                        std::string_view categories);
