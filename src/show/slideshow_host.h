// What the slideshow, the screen saver and the thumbnail sheets need from the
// main window. The window implements it; nothing here includes the shell.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

class TProfile;
class TFilePkg;
class TImage;
class TWindow;

class SlideshowHost {
 public:
  virtual ~SlideshowHost() = default;
  virtual TProfile& Settings() = 0;
  virtual TFilePkg& Files() = 0;
  virtual TImage& Picture() = 0;
  virtual TWindow& MainWindow() = 0;
  // Shows the list's current file.
  virtual void LoadCurrent() = 0;
  // Runs a command of the main window as if the user had chosen it.
  virtual void RunCommand(std::uint32_t command_id) = 0;
  // The frame that takes the next picture is the last of its page.
  virtual bool PageFull() const = 0;
  // Part of the page still waits to be drawn.
  virtual bool PaintPending() const = 0;
  // Millisecond ticks of the last picture painted, sound and movie started.
  virtual std::uint32_t LastImageTime() const = 0;
  virtual std::uint32_t LastSoundTime() const = 0;
  virtual std::uint32_t LastMovieTime() const = 0;
  virtual void ErasePage(bool refresh) = 0;
  virtual void RefreshFrame(bool reset) = 0;
  virtual void BuildDisplayPalette(bool repaint) = 0;
};
