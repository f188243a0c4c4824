#include "app/startup_hints.h"

namespace {
constexpr int kPaletteDisplayBits = 8;
constexpr int kLastOldPlatform = 3;

constexpr const char* kColorsHintOldPlatform =
    "You can significantly improve the image quality by configuring Windows to use 256 (or "
    "more) colors.  You can probably do this by opening the <Main|Setup> window from the "
    "Program Manager and choosing <Options|Change System Settings...>";
constexpr const char* kColorsHint =
    "You can significantly improve the image quality by configuring Windows to use 256 (or "
    "more) colors.  You can probably do this by clicking on the desktop with the right mouse "
    "buton and using Settings.";
constexpr const char* kVirtualMemoryHint =
    "If you have less than 8 MBytes of memory you might consider configuring your system with "
    "at least 4 MBytes of Virtual Memory. You can set up Virtual Memory by opening the "
    "<Main|Control Panel> window from the Program Manager and choosing <386 Enhanced> followed "
    "by <Virtual Memory>.";
constexpr const char* kInstallHint =
    "You can install and remove Zentrope and its Screen Saver by using commands in the "
    "Utilities menu.  Make sure you use the Remove command before deleting Zentrope.";
constexpr const char* kHelpHint = "You can get help at any time by pressing F1.";
}  // namespace

std::vector<std::string> FirstStartHints(RunMode mode, int display_bits_per_pixel,
                                         int platform_major_version) {
  if (mode != RunMode::Viewer) return {};
  const bool old_platform = platform_major_version <= kLastOldPlatform;
  std::vector<std::string> hints;
  if (display_bits_per_pixel < kPaletteDisplayBits) {
    hints.emplace_back(old_platform ? kColorsHintOldPlatform : kColorsHint);
  }
  if (old_platform) hints.emplace_back(kVirtualMemoryHint);
  hints.emplace_back(kInstallHint);
  hints.emplace_back(kHelpHint);
  return hints;
}
