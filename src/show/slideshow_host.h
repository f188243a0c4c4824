// What the slideshow, the screen saver and the thumbnail sheets need from the
// main window. The window implements it; nothing here includes the shell.
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"

class TProfile;
class TFilePkg;
class TImage;
class TWindow;

// The three moments the slideshow's delays count from.
enum class SlideshowClock { kImage, kSound, kMovie };

// The commands the slideshow asks of the main window, which maps them to its
// own command ids.
enum class ShowCommand { kNext, kRandom, kPrevious, kExit };

// What became of a save without a dialog.
struct ShownSave {
  bool saved = false;
  std::string path;  // the file written or meant to be written
};

class SlideshowHost {
 public:
  virtual ~SlideshowHost() = default;
  virtual TProfile& Settings() = 0;
  virtual TFilePkg& Files() = 0;
  virtual TImage& Picture() = 0;
  virtual TWindow& MainWindow() = 0;
  // Shows the list's current file.
  virtual void LoadCurrent() = 0;
  // Queues a command for the main window; it runs after the current message.
  virtual void PostCommand(ShowCommand command) = 0;
  // The frame that takes the next picture is the last of its page.
  virtual bool PageFull() const = 0;
  // Part of the page still waits to be drawn.
  virtual bool PaintPending() const = 0;
  // Draws the next portion of the waiting page; the picture's display time
  // does not restart.
  virtual void PaintPendingPortion() = 0;
  // Millisecond ticks of the last picture painted, sound and movie playing.
  virtual std::uint32_t LastImageTime() const = 0;
  virtual std::uint32_t LastSoundTime() const = 0;
  virtual std::uint32_t LastMovieTime() const = 0;
  virtual void SetClock(SlideshowClock clock, std::uint32_t ticks) = 0;
  // How the list was last stepped: 1 Next, 2 Random, -1 Previous after Next,
  // -2 Previous after Random.
  virtual int LastStep() const = 0;
  // A picture is being read or written; a page is being printed.
  virtual bool Loading() const = 0;
  virtual bool Printing() const = 0;
  virtual bool SoundPlaying() const = 0;
  virtual bool MoviePlaying() const = 0;
  // The current picture came from its file (not the loader's placeholder).
  virtual bool PictureLoaded() const = 0;
  // The picture is an animation that has not played through once yet; its
  // display time starts after that.
  virtual bool FirstLoopPlaying() const { return false; }
  virtual void ErasePage(bool refresh) = 0;
  virtual void RefreshFrame(bool reset) = 0;
  virtual void BuildDisplayPalette(bool repaint) = 0;
  virtual bool SetFrameFromPoint(Point point, bool force) = 0;
  // The zoom back to the automatic fit for the current frame.
  virtual void ResetZoom() = 0;
  virtual void RefreshCursor() = 0;
  // The enter-password dialog; true only when it ends with OK.
  virtual bool AskSlideshowPassword() = 0;
  // Throws away the keyboard and mouse input waiting for the window.
  virtual void DiscardInput() = 0;
  // Saves the picture (or the sheet as shown) without a dialog, next to the
  // current file, with save type 1..6, and logs the result. A picture that
  // did not load is not saved: that would pass the placeholder off as it.
  virtual ShownSave SaveShown(int save_type) = 0;
  // Prints the picture (or the sheet as one page) without a dialog.
  virtual bool PrintShown() = 0;
};
