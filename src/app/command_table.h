// The main window's commands as data: the menu bar (texts with their "&"
// mnemonics, separators, submenus, ids) and the accelerator table. Both
// backends build their menus and keys from these; the registry decides what
// each id does, when it is enabled and whether it is ticked.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/accelerator_table.h"
#include "platform/menu.h"

// Ids of the submenus, carried by kInitMenuPopup; clear of every command id.
enum MenuId : std::uint32_t {
  kMenuFile = 10001,
  kMenuEdit,
  kMenuImage,
  kMenuSound,
  kMenuMovie,
  kMenuSlideshow,
  kMenuOptions,
  kMenuUtilities,
  kMenuHelp,
  kMenuCopy = 10101,
  kMenuMove,
  kMenuDelete,
  kMenuConvert,
  kMenuUuencode,
  kMenuZip,
  kMenuShow,
  kMenuKeystrokeEvent = 10201,
  kMenuMouseButtonEvent,
  kMenuMouseMovementEvent,
  kMenuImageDisplayEvent,
  kMenuScreenDoneEvent,
  kMenuSlideshowDoneEvent,
  kMenuThumbnails = 10301,
  kMenuDisplay,
  kMenuPrint,
  kMenuColors,
  kMenuGif,
  kMenuJpeg,
  kMenuTiff,
  kMenuInput,
  kMenuOutput,
  kMenuDithering,
  kMenuEffects,
  kMenuAuto,
  kMenuPassword,
};

// The whole menu bar; each item's shortcut text names its first accelerator.
TMenuBar MainMenuBar();

// Every key of the menus and the keyboard-only commands, with the Shift,
// Ctrl and Alt forms and the numeric keypad.
const std::vector<Accelerator>& MainAcceleratorEntries();
const TAcceleratorTable& MainAccelerators();
