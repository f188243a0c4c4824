// The user's default applications by MIME type: the [Default Applications]
// group of $XDG_CONFIG_HOME/mimeapps.list, which xdg-mime and gio read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "system/xdg_places.h"

// The desktop entry the list names first for `mime_type`, if any.
std::optional<std::string> DefaultApplication(const XdgPlaces& places,
                                              const std::string& mime_type);

// Makes `desktop_id` the default of every type, in one atomic rewrite that
// keeps every other line. False when the list could not be written.
bool SetDefaultApplication(const XdgPlaces& places, const std::vector<std::string>& mime_types,
                           const std::string& desktop_id);

// Removes the default of each type whose default is `desktop_id`; others stay.
bool RemoveDefaultApplication(const XdgPlaces& places, const std::vector<std::string>& mime_types,
                              const std::string& desktop_id);
