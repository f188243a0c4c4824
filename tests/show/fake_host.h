// A main window stand-in for the slideshow: settings, a list of names, the
// clocks and playback states as plain fields, and a record of what the
// slideshow asked of it. Runs on the headless backend's virtual clock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/file_pkg.h"
#include "image/image.h"
#include "platform/headless/headless_backend.h"
#include "settings/profile.h"
#include "show/slideshow_host.h"

class TFakeHost : public SlideshowHost, public WindowHandler {
 public:
  TFakeHost();
  ~TFakeHost() override;

  // Names only: the list never opens them.
  void SetFiles(const std::vector<std::string>& names);
  // Milliseconds on the virtual clock.
  void Advance(std::uint32_t milliseconds) { backend_->Clock().Advance(milliseconds); }
  std::uint32_t Now() { return backend_->Clock().Now(); }
  // Takes the commands posted so far.
  std::vector<ShowCommand> TakePosted();

  // SlideshowHost.
  TProfile& Settings() override { return settings_; }
  TFilePkg& Files() override { return files_; }
  TImage& Picture() override { return image_; }
  TWindow& MainWindow() override { return *window_; }
  void LoadCurrent() override { ++loads; }
  void PostCommand(ShowCommand command) override { posted_.push_back(command); }
  bool PageFull() const override { return page_full; }
  bool PaintPending() const override { return paint_pending > 0; }
  void PaintPendingPortion() override { --paint_pending; }
  std::uint32_t LastImageTime() const override { return image_time; }
  std::uint32_t LastSoundTime() const override { return sound_time; }
  std::uint32_t LastMovieTime() const override { return movie_time; }
  void SetClock(SlideshowClock clock, std::uint32_t ticks) override;
  int LastStep() const override { return last_step; }
  bool Loading() const override { return loading; }
  bool Printing() const override { return printing; }
  bool SoundPlaying() const override { return sound_playing; }
  bool MoviePlaying() const override { return movie_playing; }
  bool PictureLoaded() const override { return picture_loaded; }
  bool FirstLoopPlaying() const override { return first_loop_playing; }
  void ErasePage(bool refresh) override { erased.push_back(refresh); }
  void RefreshFrame(bool) override { ++frame_refreshes; }
  void BuildDisplayPalette(bool) override { ++palette_builds; }
  bool SetFrameFromPoint(Point point, bool) override {
    frame_points.push_back(point);
    return true;
  }
  void ResetZoom() override { ++zoom_resets; }
  void RefreshCursor() override { ++cursor_refreshes; }
  bool AskSlideshowPassword() override;
  void DiscardInput() override { ++discards; }
  ShownSave SaveShown(int save_type) override;
  bool PrintShown() override {
    ++prints;
    return print_result;
  }

  // WindowHandler of the stand-in window.
  void OnMessage(TWindow&, const Message&) override {}
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}

  // Plain state the tests set and read.
  std::uint32_t image_time = 0;
  std::uint32_t sound_time = 0;
  std::uint32_t movie_time = 0;
  int last_step = 1;
  bool loading = false;
  bool printing = false;
  bool sound_playing = false;
  bool movie_playing = false;
  bool picture_loaded = true;
  bool first_loop_playing = false;
  bool page_full = false;
  int paint_pending = 0;
  int loads = 0;
  int frame_refreshes = 0;
  int palette_builds = 0;
  int zoom_resets = 0;
  int cursor_refreshes = 0;
  int discards = 0;
  int prints = 0;
  bool print_result = true;
  std::vector<bool> erased;
  std::vector<Point> frame_points;
  // Save types asked for, and whether each save succeeds.
  std::vector<int> saves;
  std::vector<bool> save_results;
  // Answers of the password prompt, in order; a prompt with none left cancels.
  std::vector<bool> password_answers;
  int password_prompts = 0;
  // Called while the password prompt is open (its modal loop).
  std::function<void()> during_prompt;

 private:
  std::unique_ptr<THeadlessBackend> backend_;
  std::unique_ptr<TWindow> window_;
  TProfile settings_;
  TFilePkg files_;
  TImage image_;
  std::vector<ShowCommand> posted_;
};
