// What the command handlers reach inside the main window beyond its public
// face: the dithering engine, the names and format of
// the picture shown, the loading flag, the page bitmap and the text windows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/main_window.h"

struct WindowInternals {
  // Enablers and ticks see the window as const.
  static const TProfile& Settings(const TZentropeWin& window) { return window.settings_; }
  static const TFilePkg& Files(const TZentropeWin& window) { return window.files_; }
  static TDither& Dither(TZentropeWin& window) { return window.dither_; }
  static std::string& Name(TZentropeWin& window, NameSlot slot) { return window.names_[slot]; }
  static void SetFormatName(TZentropeWin& window, std::string name) {
    window.format_name_ = std::move(name);
  }
  static void SetLoading(TZentropeWin& window, bool loading) { window.loading_ = loading; }
  static void SetLastImageTime(TZentropeWin& window, std::uint32_t ticks) {
    window.last_image_time_ = ticks;
  }
  static bool& HelpOpen(TZentropeWin& window) { return window.help_open_; }
  static void DropPageBitmap(TZentropeWin& window) { window.page_.reset(); }
  static void FillClient(TZentropeWin& window, ColorRef colour) { window.FillClient(colour); }
  static ColorRef BackgroundColour(const TZentropeWin& window) { return window.BackgroundColour(); }
  static void ToggleTextWindow(TZentropeWin& window, std::uint32_t command_id) {
    window.ToggleTextWindow(command_id);
  }
  static void ToggleFillWindow(TZentropeWin& window) { window.ToggleFillWindow(); }
  static void Navigate(TZentropeWin& window, int command_id) { window.Navigate(command_id); }
  static void ResetZoom(TZentropeWin& window) { window.ResetZoom(); }
  // Playback of the shown sound or movie, keeping the times the slideshow counts from.
  static void PlaySound(TZentropeWin& window) { window.PlaySound(); }
  static void PlayMovie(TZentropeWin& window) { window.PlayMovie(); }
  static void StopSound(TZentropeWin& window) { window.StopSound(); }
  static void StopMovie(TZentropeWin& window) { window.StopMovie(); }
  static bool CommentsEmpty(const TZentropeWin& window) { return window.CommentsEmpty(); }
  static bool CommentsShown(const TZentropeWin& window) { return window.CommentsShown(); }
  static void InvalidateComments(TZentropeWin& window) { window.InvalidateComments(); }
  static bool SheetOn(const TZentropeWin& window) { return ::SheetOn(window.Sheet()); }
  static std::unique_ptr<TPalette>& DisplayPaletteSlot(TZentropeWin& window) {
    return window.palette_;
  }
  static TSurface* Page(TZentropeWin& window) { return window.page_.get(); }
  static std::unique_ptr<TImage>& PictureSlot(TZentropeWin& window) { return window.image_; }
};
