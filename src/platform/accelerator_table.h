// Keyboard accelerators: key combinations that become commands before the
// message is dispatched. They work whether the menu is shown or not.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/message.h"

struct Accelerator {
  enum class Kind { kVirtualKey, kCharacter };
  Kind kind = Kind::kVirtualKey;
  int key = 0;  // virtual key, or the character for kCharacter
  Modifiers modifiers;
  std::uint32_t command = 0;
};

class TAcceleratorTable {
 public:
  TAcceleratorTable() = default;
  explicit TAcceleratorTable(std::vector<Accelerator> entries) : entries_(std::move(entries)) {}

  void Add(const Accelerator& entry) { entries_.push_back(entry); }

  // The command of the first entry that matches the message, or 0. Virtual-key
  // entries match key-down messages with exactly their modifiers; character
  // entries match character messages with their Ctrl and Alt state (Shift is
  // part of the character).
  std::uint32_t Translate(const Message& message) const;

 private:
  std::vector<Accelerator> entries_;
};
