// The program's filter lists as the desktop's file chooser needs them. GTK
// compares patterns case-sensitively, while the program's extensions are
// case-blind, so every letter becomes a bracket of both cases.
#pragma once

#include <string>
#include <string_view>

// "*.gif" -> "*.[gG][iI][fF]"; "*.*" and "*" stay as they are.
std::string CaseInsensitivePattern(std::string_view pattern);

// "Desc|*.a;*.b|..." -> the same list with case-blind patterns, a
// description kept as it is. A pattern list that runs a pattern into the
// next without ";" ("*.tif*.zip") is split where a new "*." starts.
std::string WxFilterList(std::string_view filters);
