#include "platform/wx/wx_keys.h"

#include <gdk/gdk.h>
#include <glib.h>
#include <wx/defs.h>

#include <iterator>

#include "platform/virtual_keys.h"

namespace {
struct KeyPair {
  int wx_key;
  int virtual_key;
};

constexpr KeyPair kKeys[] = {
    {WXK_BACK, kVkBack},
    {WXK_TAB, kVkTab},
    {WXK_RETURN, kVkReturn},
    {WXK_NUMPAD_ENTER, kVkReturn},
    {WXK_SHIFT, kVkShift},
    {WXK_CONTROL, kVkControl},
    {WXK_RAW_CONTROL, kVkControl},
    {WXK_ALT, kVkMenu},
    {WXK_ESCAPE, kVkEscape},
    {WXK_SPACE, kVkSpace},
    {WXK_NUMPAD_SPACE, kVkSpace},
    {WXK_PAGEUP, kVkPrior},
    {WXK_NUMPAD_PAGEUP, kVkPrior},
    {WXK_PAGEDOWN, kVkNext},
    {WXK_NUMPAD_PAGEDOWN, kVkNext},
    {WXK_END, kVkEnd},
    {WXK_NUMPAD_END, kVkEnd},
    {WXK_HOME, kVkHome},
    {WXK_NUMPAD_HOME, kVkHome},
    {WXK_LEFT, kVkLeft},
    {WXK_NUMPAD_LEFT, kVkLeft},
    {WXK_UP, kVkUp},
    {WXK_NUMPAD_UP, kVkUp},
    {WXK_RIGHT, kVkRight},
    {WXK_NUMPAD_RIGHT, kVkRight},
    {WXK_DOWN, kVkDown},
    {WXK_NUMPAD_DOWN, kVkDown},
    {WXK_INSERT, kVkInsert},
    {WXK_NUMPAD_INSERT, kVkInsert},
    {WXK_DELETE, kVkDelete},
    {WXK_NUMPAD_DELETE, kVkDelete},
    {WXK_NUMPAD_BEGIN, 0x0C},  // keypad 5 with Num Lock off
    {WXK_NUMPAD_MULTIPLY, kVkMultiply},
    {WXK_MULTIPLY, kVkMultiply},
    {WXK_NUMPAD_ADD, kVkAdd},
    {WXK_ADD, kVkAdd},
    {WXK_NUMPAD_SUBTRACT, kVkSubtract},
    {WXK_SUBTRACT, kVkSubtract},
    {WXK_NUMPAD_DECIMAL, kVkDecimal},
    {WXK_DECIMAL, kVkDecimal},
    {WXK_NUMPAD_DIVIDE, kVkDivide},
    {WXK_DIVIDE, kVkDivide},
};

// Punctuation keys of a US layout, by the unshifted character on them.
constexpr KeyPair kPunctuation[] = {
    {';', 0xBA}, {'=', 0xBB}, {',', 0xBC},  {'-', 0xBD}, {'.', 0xBE},  {'/', 0xBF},
    {'`', 0xC0}, {'[', 0xDB}, {'\\', 0xDC}, {']', 0xDD}, {'\'', 0xDE},
};

struct DeadAccent {
  std::uint32_t keyval;
  gunichar combining;  // the combining mark it adds to a letter
  gunichar spacing;    // what it types before Space
};

constexpr DeadAccent kDeadAccents[] = {
    {GDK_KEY_dead_grave, 0x0300, '`'},        {GDK_KEY_dead_acute, 0x0301, 0x00B4},
    {GDK_KEY_dead_circumflex, 0x0302, '^'},   {GDK_KEY_dead_tilde, 0x0303, '~'},
    {GDK_KEY_dead_macron, 0x0304, 0x00AF},    {GDK_KEY_dead_breve, 0x0306, 0x02D8},
    {GDK_KEY_dead_abovedot, 0x0307, 0x02D9},  {GDK_KEY_dead_diaeresis, 0x0308, 0x00A8},
    {GDK_KEY_dead_abovering, 0x030A, 0x02DA}, {GDK_KEY_dead_doubleacute, 0x030B, 0x02DD},
    {GDK_KEY_dead_caron, 0x030C, 0x02C7},     {GDK_KEY_dead_cedilla, 0x0327, 0x00B8},
    {GDK_KEY_dead_ogonek, 0x0328, 0x02DB},
};

const DeadAccent* FindDeadAccent(std::uint32_t keyval) {
  for (const DeadAccent& accent : kDeadAccents) {
    if (accent.keyval == keyval) return &accent;
  }
  return nullptr;
}

bool IsModifierKeyval(std::uint32_t keyval) {
  return (keyval >= GDK_KEY_Shift_L && keyval <= GDK_KEY_Hyper_R) ||
         keyval == GDK_KEY_ISO_Level3_Shift || keyval == GDK_KEY_ISO_Level5_Shift ||
         keyval == GDK_KEY_Mode_switch || keyval == GDK_KEY_Num_Lock;
}
}  // namespace

int VirtualKeyFromWxKey(int wx_key_code) {
  if ((wx_key_code >= 'A' && wx_key_code <= 'Z') || (wx_key_code >= '0' && wx_key_code <= '9')) {
    return wx_key_code;
  }
  if (wx_key_code >= 'a' && wx_key_code <= 'z') return wx_key_code - 'a' + 'A';
  if (wx_key_code >= WXK_NUMPAD0 && wx_key_code <= WXK_NUMPAD9) {
    return kVkNumpad0 + (wx_key_code - WXK_NUMPAD0);
  }
  if (wx_key_code >= WXK_F1 && wx_key_code <= WXK_F12) return kVkF1 + (wx_key_code - WXK_F1);
  for (const KeyPair& pair : kKeys) {
    if (pair.wx_key == wx_key_code) return pair.virtual_key;
  }
  for (const KeyPair& pair : kPunctuation) {
    if (pair.wx_key == wx_key_code) return pair.virtual_key;
  }
  return 0;
}

bool IsDeadKeyval(std::uint32_t keyval) {
  return keyval >= GDK_KEY_dead_grave && keyval <= GDK_KEY_dead_greek;
}

int CharacterFromKeyval(std::uint32_t keyval) {
  if (IsDeadKeyval(keyval)) return 0;
  const gunichar character = gdk_keyval_to_unicode(keyval);
  // Control codes are keys, not characters: Enter, Tab, Backspace, Esc, Delete.
  if (character < 0x20 || character == 0x7F || (character >= 0x80 && character < 0xA0)) return 0;
  return static_cast<int>(character);
}

int TDeadKeyComposer::Feed(std::uint32_t keyval, int character) {
  if (IsDeadKeyval(keyval)) {
    pending_ = FindDeadAccent(keyval) ? keyval : 0;
    return 0;
  }
  if (IsModifierKeyval(keyval)) return character;
  const DeadAccent* accent = FindDeadAccent(pending_);
  pending_ = 0;
  if (!accent || character == 0) return character;
  if (character == ' ') return static_cast<int>(accent->spacing);
  gunichar composed = 0;
  if (g_unichar_compose(static_cast<gunichar>(character), accent->combining, &composed)) {
    return static_cast<int>(composed);
  }
  return character;
}
