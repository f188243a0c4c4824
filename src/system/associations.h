// File associations: an extension's class becomes "Zentrope", the class it
// had is kept under "Zentrope\save\<ext>" and given back on removal.
#pragma once

#include <array>
#include <string_view>

#include "system/classes_root.h"

// In the order install and remove go through them. ".zip" is not among them.
inline constexpr std::array<const char*, 21> kAssociatedExtensions = {
    ".gif", ".bmp", ".dib", ".rle", ".pcx", ".tga", ".jpg", ".tif", ".mid", ".wav", ".mci",
    ".avi", ".mpg", ".mmm", ".mov", ".fli", ".flc", ".sli", ".uue", ".uu1", ".01"};

// An extension the classes root can hold as a key of its own: "." then at
// least one character, none of them a separator, bracket, blank or control.
bool IsAssociableExtension(std::string_view extension);

// Saves a previous class other than Zentrope, then makes the extension's
// class Zentrope, logging each step. The extension keeps its class when the
// previous one could not be saved. True when associated.
bool AssociateExtension(TClassesRoot& classes, std::string_view extension);

// Gives back a saved class, then removes the extension's class if it is still
// Zentrope (another program's class stays), logging each step. True when the
// extension no longer names Zentrope and a saved class went back.
bool DisassociateExtension(TClassesRoot& classes, std::string_view extension);
