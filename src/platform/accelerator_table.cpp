#include "platform/accelerator_table.h"

namespace {
bool MatchesVirtualKey(const Accelerator& entry, const Message& message) {
  const bool key_down = message.id == MessageId::kKeyDown || message.id == MessageId::kSysKeyDown;
  return key_down && entry.key == message.key && entry.modifiers == message.modifiers;
}

bool MatchesCharacter(const Accelerator& entry, const Message& message) {
  const bool character = message.id == MessageId::kChar || message.id == MessageId::kSysChar;
  return character && entry.key == message.key &&
         entry.modifiers.control == message.modifiers.control &&
         entry.modifiers.alt == message.modifiers.alt;
}
}  // namespace

std::uint32_t TAcceleratorTable::Translate(const Message& message) const {
  for (const Accelerator& entry : entries_) {
    const bool match = entry.kind == Accelerator::Kind::kVirtualKey
                           ? MatchesVirtualKey(entry, message)
                           : MatchesCharacter(entry, message);
    if (match) return entry.command;
  }
  return 0;
}
