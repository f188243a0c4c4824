#include "app/commands/number_prompt.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "platform/text_prompt.h"

std::optional<int> ParsePromptNumber(std::string_view text, NumberRange range) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) {
    return std::nullopt;
  }
  // Digits past any range only push the value further out; stop counting there.
  constexpr std::int64_t kBeyondAnyRange = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = std::min(kBeyondAnyRange, value * 10 + (text[at] - '0'));
  }
  if (negative) value = -value;
  return static_cast<int>(
      std::clamp<std::int64_t>(value, range.lowest, std::max(range.lowest, range.highest)));
}

bool PromptNumber(DialogService& dialogs, WindowId owner, const char* prompt, TProfile& settings,
                  IntKey key, NumberRange range) {
  const std::optional<std::string> answer =
      PromptText(dialogs, owner, prompt, std::to_string(settings.Get(key)), kNumberPromptLimit);
  if (!answer) return false;
  const std::optional<int> value = ParsePromptNumber(*answer, range);
  if (!value) return false;
  settings.Set(key, *value);
  return true;
}
