// The open dialog as the utility commands use it (Delete files, Decode,
// Encode, Unzip, Zip info): the program's fourteen file-type filters, several
// files at once, and the chosen filter kept in a setting.
#pragma once

#include <string>
#include <vector>

#include "settings/profile.h"

class TZentropeWin;

// Shows the dialog titled `caption`, starting at the filter stored under
// `filter_key` and storing the chosen one back. The full paths chosen; none
// when cancelled.
std::vector<std::string> ChooseFiles(TZentropeWin& win, const std::string& caption,
                                     IntKey filter_key);
