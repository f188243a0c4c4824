// Which MIME types stand for a file extension on the desktop, and the types
// this program declares itself for the extensions the shared MIME database
// does not know (.mci, .mmm, .sli, .uu1, .01).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/xdg_places.h"

// The extension's MIME types, the main one first: the program's own table for
// the extensions it associates, else the globs of the MIME databases in
// `places` (user's first). Empty when none knows it. `extension` keeps its
// leading "."; case does not count.
std::vector<std::string> MimeTypesOf(std::string_view extension, const XdgPlaces& places);

// Every type of the program's own table, each once, in table order.
std::vector<std::string> HandledMimeTypes();

// The package declaring the program's own types, as shared-mime-info reads it.
std::string MimePackageText();
// <data home>/mime/packages/zentrope.xml
std::string MimePackagePath(const XdgPlaces& places);

// Writes (or removes) the package and runs update-mime-database over the
// user's database when that tool is there. Every failure is logged; false
// when the package could not be written or removed, or the tool failed.
bool InstallMimePackage(const XdgPlaces& places);
bool RemoveMimePackage(const XdgPlaces& places);
