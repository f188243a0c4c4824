// Names in the file list take their spelling from the file system, so that a
// list typed or written in another case still names the files that exist.
#pragma once

#include <string>
#include <string_view>

// The path with its last component spelled as the directory entry spells it:
// the exact name when it exists; otherwise the one entry of that directory
// that equals it without regard to case. The directory part is kept as given.
// With no such entry, or more than one, the path is returned unchanged.
std::string SpellingFromFileSystem(std::string_view path);

// How the file list stores a name: the file system's spelling on platforms of
// major version 4 and above, all small letters on older ones.
std::string NormaliseListName(std::string_view path);

// The same for a name just read from its directory, which needs no look-up.
std::string NormaliseScannedName(std::string_view path);
