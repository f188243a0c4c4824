// Names that come from inside a file (zip members, begin lines) before they
// become file names or log text.
#pragma once

#include <string>
#include <string_view>

// `name` with every byte a terminal would act on replaced by "_": C0 controls,
// DEL, C1 controls written in UTF-8, and stray bytes 0x80..0x9F that an 8-bit
// terminal takes as C1 controls. Other UTF-8 text is kept.
std::string ReplaceControlBytes(std::string_view name);

// A name reduced to its last component ("/" and "\" both separate), with its
// control bytes replaced. Empty when nothing safe is left: an empty name, "."
// or "..".
std::string ReduceToSafeFileName(std::string_view name);
