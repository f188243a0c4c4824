// File-name patterns as the program's specifications write them: a name part
// and an extension part, each with "*" and "?", matched without regard to case.
#pragma once

#include <string_view>

// "*" matches any run of characters (also none), "?" exactly one.
bool MatchesWildcard(std::string_view pattern, std::string_view text);

bool HasWildcards(std::string_view text);

// Matches a directory entry's file name (no directory) against a pattern's
// name part and extension part (the latter with its "."). The entry is split
// as paths are split; an entry without an extension offers "." to the
// extension pattern, so "*" with ".*" matches every file.
bool MatchesFilePattern(std::string_view pattern_name, std::string_view pattern_extension,
                        std::string_view file_name);
