// Names of keys and key combinations as people write them ("Space", "PgUp",
// "Ctrl+Shift+Insert", "Num +"): the shortcut text of menu items, and keys
// named in a script of input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/accelerator_table.h"
#include "platform/message.h"

// The key's name; letters and digits are themselves ("O", "7"); "" for a key
// without a name.
std::string VirtualKeyName(int virtual_key);
// The key with that name, ignoring case; nothing when unknown.
std::optional<int> VirtualKeyFromName(std::string_view name);

struct KeyCombination {
  int virtual_key = 0;
  Modifiers modifiers;
  friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

// "Ctrl+Shift+Insert", "Alt+F2", "Space": modifiers (Ctrl, Alt, Shift, in
// any order and case) joined by "+" before one key name. Nothing when a part
// is unknown, a modifier repeats or the key is missing.
std::optional<KeyCombination> ParseKeyCombination(std::string_view text);

// The shortcut text of an accelerator: modifiers as "Ctrl+", "Alt+",
// "Shift+" in that order, then the key's name or the character itself.
std::string AcceleratorText(const Accelerator& accelerator);
