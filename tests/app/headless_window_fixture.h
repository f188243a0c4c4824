// The main window on the headless backend with the virtual clock: each
// fixture gives the settings its tests start from.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "formats/register_formats.h"
#include "platform/headless/headless_backend.h"
#include "show/transitions.h"
#include "support/temp_dir.h"

class HeadlessWindowTest : public ::testing::Test {
 protected:
  HeadlessWindowTest() { options_.virtual_clock = true; }
  void SetUp() override { RegisterPictureFormats(); }
  void TearDown() override {
    window_.reset();
    backend_.reset();
  }

  // Makes the window over these arguments, `settings` applied before it is
  // created, and runs until nothing is left to do.
  void StartWindow(std::vector<std::string> arguments,
                   const std::function<void(TProfile&)>& settings) {
    backend_ = std::make_unique<THeadlessBackend>(options_);
    StartupContext startup;
    startup.arguments = std::move(arguments);
    window_ = std::make_unique<TZentropeWin>(*backend_, "Zentrope", std::move(startup));
    settings(window_->Settings());
    window_->Create(ShowState::kNormal);
    Run();
  }

  // What every fixture starts from: the window at the origin, pictures shown
  // without a transition, and nothing carried over from an earlier run.
  static void SteadySettings(TProfile& settings) {
    settings.Set(IntKey::XImage, 0);
    settings.Set(IntKey::YImage, 0);
    settings.Set(IntKey::Effect, kDirectEffect);
    settings.Set(IntKey::RememberOptions, 0);
    settings.Set(IntKey::AutoResume, 0);
    settings.Set(IntKey::AutoComments, 0);
  }

  void Run() { backend_->EventLoop().RunUntilIdle(run_steps_); }
  WindowId Id() { return window_->MainWindow().Id(); }
  TProfile& Settings() { return window_->Settings(); }
  const TSurface& Screen() { return window_->MainWindow().ScreenSurface(); }

  // Set before StartWindow.
  HeadlessOptions options_;
  // A running slideshow or a playing sound never lets the loop idle: fixtures
  // that start them bound the steps Run takes.
  int run_steps_ = 1'000'000;

  TempDir dir_;
  std::unique_ptr<THeadlessBackend> backend_;
  std::unique_ptr<TZentropeWin> window_;
};
