// Which MIME types stand for a file extension on the desktop, and the types
// this program declares itself for the extensions the shared MIME database
// does not know (.mci, .mmm, .sli, .uu1, .01).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/xdg_places.h"

// The extension's MIME types, the main one first: the program's own table for
// the extensions it associates, else the globs of the MIME databases in
// `places` (user's first), else the type the program declares for it (see
// DeclaredMimeTypeOf). Empty when none fits. `extension` keeps its leading
// "."; case does not count.
std::vector<std::string> MimeTypesOf(std::string_view extension, const XdgPlaces& places);

// For an extension no MIME database knows, such as one given to Install
// extension: "application/x-zentrope-extension-<name in small letters>";
// nothing when the name holds a character other than a letter, digit, "-",
// "_" or "+", which no type name or glob could carry.
std::optional<std::string> DeclaredMimeTypeOf(std::string_view extension);

// Every type of the program's own table, each once, in table order.
std::vector<std::string> HandledMimeTypes();

// The package declaring the program's own types (when `own_types`) and one
// type for each extension of `declared_extensions`, as shared-mime-info reads it.
std::string MimePackageText(bool own_types, const std::vector<std::string>& declared_extensions);
// <data home>/mime/packages/zentrope.xml
std::string MimePackagePath(const XdgPlaces& places);

// Writes the package (or removes it when `text` is empty) and runs
// update-mime-database over the user's database when that tool is there.
// Every failure is logged; false when the package could not be written or
// removed, or the tool failed.
bool UpdateMimePackage(const XdgPlaces& places, const std::string& text);
