// The messages of the event loop. They are numbered in ranges, so that "mouse
// messages" and "keyboard messages" are plain comparisons.
//
// Keyboard input, in every backend:
// - A key press is kKeyDown (kSysKeyDown while Alt is held) with the virtual
//   key in `key`, the keys held in `modifiers`, and in `character` the
//   character the press types (0 for keys that type none). The loop makes the
//   character message from it only when the pre-dispatch filter did not
//   consume the key-down, so a key that an accelerator takes never also
//   arrives as a character.
// - A character message (kChar, or kSysChar while Alt is held) carries the
//   character as typed with Shift and AltGr applied, as a Unicode code point,
//   never a control code: Ctrl+'+' arrives as '+' with `modifiers.control`,
//   Alt+'*' as kSysChar '*' with `modifiers.alt`, Ctrl+C as 'c' with Ctrl.
//   `modifiers.shift` is reported too, but the character already includes it.
// - Keypad keys with Num Lock on give their own virtual keys (kVkNumpad0..9,
//   kVkMultiply, kVkAdd, kVkSubtract, kVkDecimal, kVkDivide) and the character
//   they type; with Num Lock off the digit keys give the navigation keys
//   (kVkHome, kVkLeft, ...) and no character. Keypad Enter is kVkReturn.
// - A dead key gives its key-down and key-up with no character; the composed
//   character comes as the `character` of the next key's key-down ('^' then
//   'e' types 'ê'; '^' then Space types '^'). kDeadChar and kSysDeadChar are
//   never sent.
//
// Every position and size in a message is in device pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/geometry.h"

using WindowId = std::uint32_t;
inline constexpr WindowId kNoWindow = 0;

enum class MessageId : std::uint16_t {
  kNone = 0x0000,
  kSize = 0x0005,
  kSetFocus = 0x0007,
  kKillFocus = 0x0008,
  kPaint = 0x000F,  // the current message while a window paints; never queued
  kClose = 0x0010,
  kQuit = 0x0012,
  kSetCursor = 0x0020,  // sent: the window sets the cursor for `hit_test`
  kQueryNewPalette = 0x030F,
  kPaletteIsChanging = 0x0310,
  kPaletteChanged = 0x0311,  // `param` holds the realizing window
  kNcMouseMove = 0x00A0,
  kNcLButtonDown = 0x00A1,
  kNcLButtonUp = 0x00A2,
  kNcLButtonDblClk = 0x00A3,
  kNcRButtonDown = 0x00A4,
  kNcRButtonUp = 0x00A5,
  kNcRButtonDblClk = 0x00A6,
  kNcMButtonDown = 0x00A7,
  kNcMButtonUp = 0x00A8,
  kNcMButtonDblClk = 0x00A9,
  kKeyDown = 0x0100,
  kKeyUp = 0x0101,
  kChar = 0x0102,
  kDeadChar = 0x0103,
  kSysKeyDown = 0x0104,
  kSysKeyUp = 0x0105,
  kSysChar = 0x0106,
  kSysDeadChar = 0x0107,
  kCommand = 0x0111,     // `command` holds the command id
  kSysCommand = 0x0112,  // `command` holds the system command code
  // Sent just before a menu opens, so that the program ticks and enables its
  // items then; `command` holds the menu's id.
  kInitMenuPopup = 0x0117,
  kHScroll = 0x0114,  // `command` holds the ScrollAction, `param` the thumb position
  kVScroll = 0x0115,
  kMouseMove = 0x0200,
  kLButtonDown = 0x0201,
  kLButtonUp = 0x0202,
  kLButtonDblClk = 0x0203,
  kRButtonDown = 0x0204,
  kRButtonUp = 0x0205,
  kRButtonDblClk = 0x0206,
  kMButtonDown = 0x0207,
  kMButtonUp = 0x0208,
  kMButtonDblClk = 0x0209,
  // Sent when the window lost the mouse capture to another window or to the
  // desktop; never for the window's own ReleaseCapture.
  kCaptureChanged = 0x0215,
  kDropFiles = 0x0233,  // `files` holds the dropped paths in drop order
  kUser = 0x0400,       // first message number free for the program's own use
};

// System command codes; the low four bits of a code are the platform's own.
inline constexpr std::uint32_t kScClose = 0xF060;
inline constexpr std::uint32_t kScScreenSave = 0xF140;
inline constexpr std::uint32_t kScCodeMask = 0xFFF0;

// What the user did to a scroll bar (kHScroll, kVScroll).
enum class ScrollAction : std::uint32_t {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
};

// Hit-test codes of kSetCursor.
enum class HitTest : int { kNowhere = 0, kClient = 1, kCaption = 2 };

struct Modifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
  friend bool operator==(const Modifiers&, const Modifiers&) = default;
};

struct Message {
  MessageId id = MessageId::kNone;
  WindowId window = kNoWindow;  // kNoWindow: the thread (quit)
  std::uint32_t command = 0;    // kCommand, kSysCommand
  int key = 0;                  // virtual key (key messages) or character code (char messages)
  int character = 0;            // key-down: the character the press types, 0 for none
  Modifiers modifiers;          // keys held when the message was made
  Point position;  // mouse: client pixels (non-client forms: screen); size: client width, height
  std::uint32_t param =
      0;  // size: the ShowState; palette notices: the realizing window; quit: code
  HitTest hit_test = HitTest::kNowhere;
  std::shared_ptr<const std::vector<std::string>> files;  // kDropFiles

  static Message Command(WindowId window, std::uint32_t command_id);
  static Message SysCommand(WindowId window, std::uint32_t code);
  static Message Quit(int exit_code);
};

// WM_MOUSEMOVE through WM_MBUTTONDBLCLK: the client mouse messages.
bool IsMouseMessage(MessageId id);
// WM_KEYDOWN through WM_SYSDEADCHAR.
bool IsKeyboardMessage(MessageId id);
// Button presses and double clicks of any button, client or non-client; never a release.
bool IsButtonPress(MessageId id);
// WM_MOUSEMOVE or WM_NCMOUSEMOVE.
bool IsMouseMove(MessageId id);
// The position packed into 16 bits each, as the window's mouse handling reads
// it: low and high halves, unsigned.
int PositionX16(const Message& message);
int PositionY16(const Message& message);
