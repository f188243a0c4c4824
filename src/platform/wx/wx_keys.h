// Keyboard input from the desktop as the program's key messages: wx key codes
// to virtual keys, GDK key values to the characters they type, and dead keys
// composed with the next key.
#pragma once

#include <cstdint>

// The virtual key for a wx key code (WXK_... or an upper-case ASCII letter or
// digit); 0 for keys the program has no name for.
int VirtualKeyFromWxKey(int wx_key_code);

// The character a GDK key value types, as a Unicode code point; 0 for keys
// that type none (dead keys, control keys, navigation and function keys).
int CharacterFromKeyval(std::uint32_t keyval);

// Whether the key value is a dead key (a combining accent typed before its letter).
bool IsDeadKeyval(std::uint32_t keyval);

// Composes a dead key with the character that follows it.
class TDeadKeyComposer {
 public:
  // Feeds one key press: `keyval` pressed, typing `character` (0 for none).
  // Returns the character the press types after composition: 0 for the dead
  // key itself; the composed letter ('^' then 'e' gives 'ê'); the accent
  // alone when followed by Space; the plain character when the pair has no
  // composed form. Modifier keys leave a pending dead key waiting.
  int Feed(std::uint32_t keyval, int character);
  bool HasPending() const { return pending_ != 0; }
  void Reset() { pending_ = 0; }

 private:
  std::uint32_t pending_ = 0;
};
