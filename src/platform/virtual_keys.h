// Virtual key codes of key messages and accelerators. Letters and digits use
// their upper-case ASCII codes ('A', '0').
#pragma once

enum VirtualKey : int {
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkMenu = 0x12,  // Alt
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkPrior = 0x21,  // Page Up
  kVkNext = 0x22,   // Page Down
  kVkEnd = 0x23,
  kVkHome = 0x24,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkInsert = 0x2D,
  kVkDelete = 0x2E,
  kVkNumpad0 = 0x60,  // keypad digits with Num Lock on, through kVkNumpad0 + 9
  kVkNumpad9 = 0x69,
  kVkMultiply = 0x6A,  // keypad
  kVkAdd = 0x6B,
  kVkSubtract = 0x6D,
  kVkDecimal = 0x6E,
  kVkDivide = 0x6F,
  kVkF1 = 0x70,
  kVkF2 = 0x71,
  kVkF3 = 0x72,
  kVkF4 = 0x73,
  kVkF5 = 0x74,
  kVkF6 = 0x75,
  kVkF7 = 0x76,
  kVkF8 = 0x77,
  kVkF9 = 0x78,
  kVkF10 = 0x79,
  kVkF11 = 0x7A,
  kVkF12 = 0x7B,
};
