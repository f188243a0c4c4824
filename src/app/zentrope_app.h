// TZentropeApp: the application object. Its name follows the run mode; it
// makes the main window and runs the message loop until the window closes.
#pragma once

#include <memory>
#include <string>

#include "app/main_window.h"
#include "platform/backend.h"

inline constexpr int kExitBatchFailed = 1;

class TZentropeApp {
 public:
  // Names itself by the run mode and seeds the process-wide generator.
  TZentropeApp();
  const std::string& Name() const { return name_; }

  // Makes the main window, shown as its saved placement says unless
  // `start_minimized`.
  TZentropeWin& CreateMainWindow(PlatformBackend& backend, StartupContext startup,
                                 bool start_minimized = false);
  TZentropeWin* MainWindow() const { return main_window_.get(); }

  // Runs the loop until the main window has closed. When input runs out
  // (a headless run whose queue went idle) the window is closed as by Exit.
  // Returns the exit code: 0, or kExitBatchFailed when a print or conversion
  // run could not handle a file.
  int Run(PlatformBackend& backend);

 private:
  std::string name_;
  std::unique_ptr<TZentropeWin> main_window_;
};
