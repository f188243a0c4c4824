#include "platform/mci_command.h"

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
}  // namespace

bool SplitMciWords(std::string_view command, std::vector<MciWord>* words) {
  words->clear();
  std::size_t at = 0;
  while (at < command.size()) {
    if (IsBlank(command[at])) {
      ++at;
      continue;
    }
    if (command[at] == '"') {
      const std::size_t close = command.find('"', at + 1);
      if (close == std::string_view::npos) return false;
      words->push_back({std::string(command.substr(at + 1, close - at - 1)), true});
      at = close + 1;
      continue;
    }
    const std::size_t start = at;
    while (at < command.size() && !IsBlank(command[at])) ++at;
    words->push_back({std::string(command.substr(start, at - start)), false});
  }
  return true;
}
