// TZentropeWin: the one top-level window of the viewer and of the running
// screen saver. It owns the settings, the picture, the dithering engine, the
// file list, the display palette, the off-screen page and the text windows,
// lays the current picture out in its frame, paints it a few dozen lines at a
// time and turns mouse input into selection, zoom and panning.
//
// The members are implemented by concern: main_window.cpp (creation,
// settings, placement, closing), main_window_load.cpp, main_window_caption.cpp,
// main_window_paint.cpp, main_window_palette.cpp, main_window_input.cpp,
// main_window_commands.cpp and startup.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/progress_cursors.h"
#include "app/sheet_frames.h"
#include "files/file_pkg.h"
#include "image/dither.h"
#include "image/image.h"
#include "media/media_host.h"
#include "media/media_playback.h"
#include "platform/backend.h"
#include "platform/display_palette.h"
#include "platform/long_operation.h"
#include "platform/media_control.h"
#include "platform/media_engine.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "print/printer.h"
#include "settings/profile.h"
#include "show/batch_run.h"
#include "show/slideshow.h"
#include "show/slideshow_host.h"

// The six `names` slots: full paths, then short names.
enum NameSlot : int {
  kImagePath = 0,
  kSoundPath = 1,
  kMoviePath = 2,
  kImageName = 3,
  kSoundName = 4,
  kMovieName = 5,
};

// Lines drawn by one paint pass at most.
inline constexpr int kLinesPerPass = 33;
// A band smaller than this either way is a click.
inline constexpr int kClickBandSize = 16;

// What the start-up command works from.
struct StartupContext {
  std::vector<std::string> arguments;  // the command line after the program name
  std::function<bool()> default_printer;
};

class TZentropeTxt;
class TGifAnimation;

class TZentropeWin : public WindowHandler,
                     public ProgressDisplay,
                     public SlideshowHost,
                     public MediaHost {
 public:
  TZentropeWin(PlatformBackend& backend, std::string title, StartupContext startup = {});
  ~TZentropeWin() override;
  TZentropeWin(const TZentropeWin&) = delete;
  TZentropeWin& operator=(const TZentropeWin&) = delete;

  // Makes the platform window, shows it in `show` and runs the set-up, which
  // posts the start-up command.
  void Create(ShowState show);

  // WindowHandler.
  void OnMessage(TWindow& window, const Message& message) override;
  void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect, bool erase) override;
  // ProgressDisplay: asks the platform to set the cursor under the pointer.
  void RefreshCursor() override;

  // SlideshowHost and the operations other parts of the shell use.
  TProfile& Settings() override { return settings_; }
  const TProfile& Settings() const { return settings_; }
  const TFilePkg& Files() const { return files_; }
  TFilePkg& Files() override { return files_; }
  TImage& Picture() override { return *image_; }
  TWindow& MainWindow() override { return *window_; }
  // The platform the window lives on: its dialogs, clipboard and help viewer.
  PlatformBackend& Backend() const { return backend_; }
  void LoadCurrent() override;
  void RunCommand(std::uint32_t command_id);
  void PostCommand(ShowCommand command) override;
  bool PageFull() const override;
  bool PaintPending() const override { return UsesPageBitmap() && !dirty_.IsEmpty(); }
  void PaintPendingPortion() override;
  std::uint32_t LastImageTime() const override { return last_image_time_; }
  std::uint32_t LastSoundTime() const override { return last_sound_time_; }
  std::uint32_t LastMovieTime() const override { return last_movie_time_; }
  void SetClock(SlideshowClock clock, std::uint32_t ticks) override;
  int LastStep() const override { return last_navigation_; }
  bool Loading() const override { return loading_; }
  bool Printing() const override { return printing_; }
  bool SoundPlaying() const override { return media_->SoundPlaying(); }
  bool MoviePlaying() const override { return media_->MoviePlaying(); }
  bool PictureLoaded() const override { return picture_loaded_; }
  bool FirstLoopPlaying() const override;
  void ErasePage(bool refresh) override;
  void RefreshFrame(bool reset) override;
  void BuildDisplayPalette(bool repaint) override;
  void ResetZoom() override;
  bool AskSlideshowPassword() override;
  void DiscardInput() override;
  ShownSave SaveShown(int save_type) override;
  bool PrintShown() override;

  // main_window_print.cpp: the Print command (the dialog unless
  // `with_dialog` is off); false when nothing was printed. The printer is
  // made on first use.
  bool Print(bool with_dialog);
  TWinPrinter& Printer();

  // The slideshow engine and, during a print or conversion run, its record.
  TSlideshow& Slideshow() { return *slideshow_; }
  const TBatchRun* BatchRun() const { return batch_.get(); }

  // A null format builds the normal caption.
  void UpdateCaption(const char* format = nullptr, const std::string& argument = {});
  void Layout();
  bool SetFrameFromPoint(Point point, bool force) override;
  void PlaceNextFrame();
  void ApplySettings(const TProfile::IntValues& previous);
  void PlaceWindow(TWindow* window, int x, int y, int w, int h, int m);
  void CapturePlacement();
  // The close of the Exit command: the can-close step, then clean-up. False
  // when closing was refused for now (an operation is running).
  bool Close();
  bool IsClosed() const { return closed_; }

  // State for the input filter, the slideshow and tests.
  const std::array<std::string, 6>& Names() const { return names_; }
  const std::string& FormatName() const { return format_name_; }
  const Rect& FrameRect() const { return frame_rect_; }
  Rect OuterFrame() const;
  Rect InnerFrame() const;
  bool HasPageBitmap() const { return page_ != nullptr; }
  const TSurface* PageBitmap() const { return page_.get(); }
  const TPalette* DisplayPalette() const { return palette_.get(); }
  const TDither& Dither() const { return dither_; }
  TZentropeTxt* CommentsWindow() const { return comments_.get(); }
  TZentropeTxt* LogWindow() const { return log_.get(); }
  bool PageComplete() const { return page_complete_; }
  Rect DirtyRect() const { return dirty_; }
  int LastNavigation() const { return last_navigation_; }
  bool Selecting() const { return selecting_; }
  bool Panning() const { return panning_; }
  Rect Band() const { return band_; }

  // The slideshow's input filter; consumes nothing until a slideshow installs one.
  using InputFilter = std::function<bool(const Message&)>;
  void SetInputFilter(InputFilter filter) { input_filter_ = std::move(filter); }
  // Every queued message passes here before dispatch: the slideshow's filter,
  // then the accelerators. True when consumed.
  bool PreDispatch(const Message& message);
  // The idle action: the rest of the page, then the slideshow. True while
  // more remains to be done.
  bool Idle() { return IdleStep() != IdleResult::kDone; }
  IdleResult IdleStep();

 private:
  // The command handlers (app/commands/) reach the window's own state here.
  friend struct WindowInternals;
  friend class TWindowPrintHost;

  // main_window.cpp
  void SetUp();
  void ToggleFillWindow();
  bool CanClose();
  // The running saver with its password on ends only through the password.
  bool SaverLocked() const;
  void CleanUp();
  TDisplay& Display() const;
  ColorRef BackgroundColour() const;
  ColorRef ForegroundColour() const;
  SheetSettings Sheet() const { return SheetSettingsFrom(settings_); }

  // main_window_paint.cpp
  bool UsesPageBitmap() const;
  bool EnsurePageBitmap();
  void FillClient(ColorRef colour);
  void DrawDecorations(TDeviceContext& dc);
  void Paint(TDeviceContext& screen, const Rect& paint_rect);
  void PaintLines(TDeviceContext& screen, TDeviceContext* page, Rect& pending);
  void RevealPage(TDeviceContext& screen, const Rect& paint_rect);

  // main_window_input.cpp
  void OnLeftButton(const Message& message);
  void OnRightButton(const Message& message);
  void OnSetCursor(const Message& message);
  void OnSize(const Message& message);
  void OnSystemCommand(const Message& message);
  void OnDropFiles(const Message& message);
  void OnPaletteNotice(const Message& message);
  void DrawBand();
  Rect BandInFrame() const;
  void ZoomAtBand(int direction);

  // main_window_commands.cpp
  void OnCommand(std::uint32_t command_id);
  // Enables and ticks the items of the menu about to open.
  void OnInitMenu(std::uint32_t menu_id);
  void Navigate(int navigation);
  void ToggleTextWindow(std::uint32_t command_id);

  // startup.cpp
  void Startup();
  void RunStartupActions();

  // main_window_slideshow.cpp
  void InstallSlideshow();
  void BeginBatchRun();
  bool SlideshowRunRequested() const { return batch_run_requested_; }

  // main_window_animation.cpp: an animated GIF plays from the idle time
  // while AnimateGif is on and one picture fills the frame.
  void StartAnimation(const std::string& format);
  // True while the animation still has frames to show.
  bool AnimateStep();
  void PaintAnimationFrame();

  // main_window_text.cpp: the comments and log windows.
  void CreateTextWindows();
  void DestroyTextWindows();
  TZentropeTxt* TextWindowOf(std::uint32_t command_id) const;
  void ToggleTextWindowOnAtStart(std::uint32_t command_id);
  void CaptureTextWindowPlacements();
  void PlaceTextWindows();
  bool CommentsEmpty() const;
  bool CommentsShown() const;
  void InvalidateComments();
  void SetTextWindowCaptions(const std::string& image_name);

  // main_window_media.cpp: sounds and movies.
  void PlaySound();
  void PlayMovie();
  void StopSound();
  void StopMovie();
  // The engine (the null one in a headless run unless ZENTROPE_MEDIA names
  // one), the command interpreter over it and the playback.
  void CreateMedia();
  void OnMediaNotify(const Message& message);
  // Finds the sounds and movies that ended; true while one still plays.
  bool PollMedia();
  void TakeMediaTimes();

 public:
  // MediaHost.
  TMediaControl& MediaControl() override { return *media_control_; }
  WindowId NotifyWindow() const override;
  void RunWaitingMessages() override;
  TMediaPlayback& Media() { return *media_; }

 private:
  PlatformBackend& backend_;
  std::string title_;
  StartupContext startup_;
  std::unique_ptr<TWindow> window_;

  // The data model, in its order. The printer joins with printing.
  TProfile settings_;
  TDither dither_;
  std::unique_ptr<TImage> image_;
  std::unique_ptr<TGifAnimation> animation_;
  std::unique_ptr<TPalette> palette_;
  std::unique_ptr<TSurface> page_;
  TFilePkg files_;
  std::unique_ptr<TZentropeTxt> comments_;
  std::unique_ptr<TZentropeTxt> log_;
  Rect band_;
  Rect frame_rect_{0, 0, kFrameScale, kFrameScale};
  int display_depth_ = 0;
  bool help_open_ = false;
  Rect dirty_;
  bool printing_ = false;
  bool page_complete_ = false;
  bool palette_pending_ = false;
  int paint_nesting_ = 0;
  int system_command_nesting_ = 0;
  bool selecting_ = false;
  bool frame_selecting_ = false;
  bool panning_ = false;
  bool loading_ = false;
  bool picture_loaded_ = false;
  int last_navigation_ = 1;
  std::uint32_t last_image_time_ = 0;
  std::uint32_t last_sound_time_ = 0;
  std::uint32_t last_movie_time_ = 0;
  std::string format_name_;
  std::array<std::string, 6> names_;

  std::vector<std::uint8_t> line_;  // the one shared line buffer
  InputFilter input_filter_;
  std::unique_ptr<TSlideshow> slideshow_;
  // Playback, in the order it is torn down: the playback, its devices, the engine.
  std::unique_ptr<MediaEngine> media_engine_;
  std::unique_ptr<TMediaControl> media_control_;
  std::unique_ptr<TMediaPlayback> media_;
  std::unique_ptr<TBatchRun> batch_;
  std::unique_ptr<TWinPrinter> printer_;
  bool batch_run_requested_ = false;
  bool set_up_ = false;
  bool closed_ = false;
  // The enter-password dialog of the slideshow or the saver is up.
  bool password_prompt_open_ = false;
};
