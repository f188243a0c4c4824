// Reading integers the way "%d" scanning reads them: leading blanks skipped, an
// optional sign, then digits up to the first other character.
#pragma once

#include <optional>
#include <string_view>

// Nullopt when no digit follows; values beyond the int range saturate.
std::optional<int> ParseDecimalInt(std::string_view text);
