// The main window's command ids. Menus and accelerators send these; the
// program also posts some to itself.
#pragma once

#include <cstdint>

enum CommandId : std::uint32_t {
  CM_STARTUP = 101,
  CM_OPEN = 102,
  CM_CLOSE = 103,
  CM_NEXT = 110,
  CM_RANDOM = 111,
  CM_PREVIOUS = 112,
  CM_SHOW_COMMENTS = 140,
  CM_SHOW_LOG = 141,
  CM_EXIT = 142,
  CM_ZOOM_IN = 301,
  CM_CROP = 302,
  CM_ZOOM_OUT = 303,
  CM_ROTATE = 304,
  CM_RELOAD = 313,
  CM_FILL_WINDOW = 713,
  CM_INSTALL = 801,
  CM_HELP_CONTENTS = 901,
};

// Last navigation: how the list was last stepped.
inline constexpr int kNavigatedNext = 1;
inline constexpr int kNavigatedRandom = 2;
