#include "platform/key_names.h"

#include <array>
#include <cctype>

#include "platform/virtual_keys.h"

namespace {
struct NamedKey {
  int key;
  const char* name;
};

constexpr std::array kNamedKeys{
    NamedKey{kVkBack, "Backspace"}, NamedKey{kVkTab, "Tab"},       NamedKey{kVkReturn, "Enter"},
    NamedKey{kVkEscape, "Esc"},     NamedKey{kVkSpace, "Space"},   NamedKey{kVkPrior, "PgUp"},
    NamedKey{kVkNext, "PgDn"},      NamedKey{kVkEnd, "End"},       NamedKey{kVkHome, "Home"},
    NamedKey{kVkLeft, "Left"},      NamedKey{kVkUp, "Up"},         NamedKey{kVkRight, "Right"},
    NamedKey{kVkDown, "Down"},      NamedKey{kVkInsert, "Insert"}, NamedKey{kVkDelete, "Delete"},
    NamedKey{kVkMultiply, "Num *"}, NamedKey{kVkAdd, "Num +"},     NamedKey{kVkSubtract, "Num -"},
    NamedKey{kVkDecimal, "Num ."},  NamedKey{kVkDivide, "Num /"},
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}
}  // namespace

std::string VirtualKeyName(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    return std::string(1, static_cast<char>(key));
  }
  if (key >= kVkNumpad0 && key <= kVkNumpad9) {
    return "Num " + std::string(1, static_cast<char>('0' + key - kVkNumpad0));
  }
  if (key >= kVkF1 && key <= kVkF12) return "F" + std::to_string(key - kVkF1 + 1);
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) return named.name;
  }
  return {};
}

std::optional<int> VirtualKeyFromName(std::string_view name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return std::toupper(static_cast<unsigned char>(name[0]));
  }
  for (int key = kVkNumpad0; key <= kVkNumpad9; ++key) {
    if (EqualIgnoringCase(name, VirtualKeyName(key))) return key;
  }
  for (int key = kVkF1; key <= kVkF12; ++key) {
    if (EqualIgnoringCase(name, VirtualKeyName(key))) return key;
  }
  for (const NamedKey& named : kNamedKeys) {
    if (EqualIgnoringCase(name, named.name)) return named.key;
  }
  return std::nullopt;
}

std::optional<KeyCombination> ParseKeyCombination(std::string_view text) {
  KeyCombination combination;
  while (true) {
    // "Num +" names a key that ends in "+": only a "+" with text after it
    // separates.
    const std::size_t plus = text.find('+', 1);
    if (plus == std::string_view::npos || plus + 1 >= text.size()) break;
    const std::string_view part = text.substr(0, plus);
    bool* flag = nullptr;
    if (EqualIgnoringCase(part, "Ctrl")) flag = &combination.modifiers.control;
    if (EqualIgnoringCase(part, "Alt")) flag = &combination.modifiers.alt;
    if (EqualIgnoringCase(part, "Shift")) flag = &combination.modifiers.shift;
    if (!flag || *flag) return std::nullopt;
    *flag = true;
    text.remove_prefix(plus + 1);
  }
  const std::optional<int> key = VirtualKeyFromName(text);
  if (!key) return std::nullopt;
  combination.virtual_key = *key;
  return combination;
}

std::string AcceleratorText(const Accelerator& accelerator) {
  std::string text;
  if (accelerator.modifiers.control) text += "Ctrl+";
  if (accelerator.modifiers.alt) text += "Alt+";
  if (accelerator.kind == Accelerator::Kind::kCharacter) {
    // Shift is part of the character.
    if (accelerator.key > 0 && accelerator.key < 0x80)
      text.push_back(static_cast<char>(accelerator.key));
    return text;
  }
  if (accelerator.modifiers.shift) text += "Shift+";
  return text + VirtualKeyName(accelerator.key);
}
