// One textual media command split into words: the verb, then words that are
// either plain or written between double quotes (a name with spaces).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct MciWord {
  std::string text;
  bool quoted = false;
};

// Splits at spaces and tabs; a double quote starts a word that runs to the
// next double quote. False when a quote is never closed.
bool SplitMciWords(std::string_view command, std::vector<MciWord>* words);
