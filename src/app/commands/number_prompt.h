// The number prompt: the one-line "Input" dialog filled with the current
// value, its answer read as a whole number and kept within a range.
#pragma once

#include <optional>
#include <string_view>

#include "platform/dialogs.h"
#include "settings/profile.h"

// The field takes at most six characters: enough for every range asked.
inline constexpr int kNumberPromptLimit = 7;

struct NumberRange {
  int lowest = 0;
  int highest = 0;
};

// The leading whole number of `text` (after blanks, with an optional sign),
// clamped to the range; nothing when the text does not start with a number.
std::optional<int> ParsePromptNumber(std::string_view text, NumberRange range);

// Asks `prompt` for `key`; true when confirmed with a number, which is then
// stored clamped. Cancel or a text that is not a number changes nothing.
bool PromptNumber(DialogService& dialogs, WindowId owner, const char* prompt, TProfile& settings,
                  IntKey key, NumberRange range);
