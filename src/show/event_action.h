// What the six slideshow events can be bound to; the values are the settings'.
#pragma once

enum EventAction : int {
  kNormalAction = 0,  // input: handled as usual; show events: nothing
  kPrintAction = 1,
  kSaveGifAction = 2,
  kSaveBmpAction = 3,
  kSavePcxAction = 4,
  kSaveTgaAction = 5,
  kSaveJpgAction = 6,
  kSaveTifAction = 7,
  kStopSlideshowAction = 8,
  kExitProgramAction = 9,
  kIgnoreAction = 10,  // input: swallowed; show events: nothing
};

// The save type (1 GIF .. 6 TIFF) of a save action, and back.
constexpr int SaveTypeOfAction(int action) {
  return action - 1;
}
constexpr int SaveActionOfType(int save_type) {
  return save_type + 1;
}
