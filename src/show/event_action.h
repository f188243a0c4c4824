// What the six slideshow events can be bound to; the values are the settings'.
#pragma once

enum EventAction : int {
  kNormalAction = 0,  // input: handled as usual; show events: nothing
  kPrintAction = 1,
  kSaveGifAction = 2,  // 2..7: save as GIF, BMP, PCX, TGA, JPG, TIF
  kSaveTifAction = 7,
  kStopSlideshowAction = 8,
  kExitProgramAction = 9,
  kIgnoreAction = 10,  // input: swallowed; show events: nothing
};

// The save type (1 GIF .. 6 TIFF) of a save action.
constexpr int SaveTypeOfAction(int action) {
  return action - 1;
}

// The commands the slideshow posts to the main window.
inline constexpr unsigned kNextCommand = 110;
inline constexpr unsigned kRandomCommand = 111;
inline constexpr unsigned kPreviousCommand = 112;
inline constexpr unsigned kExitCommand = 142;
