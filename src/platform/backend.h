// A platform backend: everything the program expects of the desktop, behind
// one object. `headless` keeps it all in memory; the desktop backend shows it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/event_loop.h"
#include "platform/help_viewer.h"
#include "platform/modeless_dialog.h"
#include "platform/window.h"

class PlatformBackend {
 public:
  virtual ~PlatformBackend() = default;
  virtual std::string_view Name() const = 0;
  virtual TDisplay& Display() = 0;
  virtual TEventLoop& EventLoop() = 0;
  virtual DialogService& Dialogs() = 0;
  virtual Clipboard& GetClipboard() = 0;
  virtual HelpViewer& Help() = 0;
  // A new window; shown when `params.visible`.
  virtual std::unique_ptr<TWindow> CreateWindow(const WindowParams& params,
                                                WindowHandler* handler) = 0;
  // A described dialog shown over `owner` while the program works on; null
  // when it cannot be shown. By default a window of the window model.
  virtual std::unique_ptr<ModelessDialog> OpenModelessDialog(const DialogTemplate& dialog,
                                                             WindowId owner);
  // Changes the display depth (24, 8, 4 or 1) and remakes every window's
  // screen surface; false for other depths.
  virtual bool SetDisplayDepth(int bits) = 0;
  // Sends kSetCursor to the window under the pointer, which sets its cursor.
  virtual void RefreshCursor() = 0;
  // What the platform does with a system command the window passes on: close
  // sends kClose to the window; a screen-save request starts the desktop's
  // screen saver.
  virtual void DefaultSystemCommand(TWindow& window, std::uint32_t code) = 0;
};

enum class BackendKind { kHeadless, kDesktop };

// "-headless" (or "--headless") among the arguments, or ZENTROPE_BACKEND=headless,
// asks for the headless backend; ZENTROPE_BACKEND=desktop asks for the desktop
// one. Otherwise the desktop when DISPLAY or WAYLAND_DISPLAY is set. Also
// notes the display depth asked for (see RequestedDisplayDepth).
// `environment` looks a variable up (null when unset).
BackendKind ChooseBackend(const std::vector<std::string>& arguments,
                          const char* (*environment)(const char*));

// The display depth asked for: "-depth=N" among the arguments, else
// ZENTROPE_DEPTH=N, with N one of 24, 8, 4 or 1 (8, 4 and 1 emulate a palette
// display on any screen). Nothing when neither names a valid depth.
std::optional<int> ChooseDisplayDepth(const std::vector<std::string>& arguments,
                                      const char* (*environment)(const char*));
// What the last ChooseBackend call found with ChooseDisplayDepth; the backend
// that CreatePlatformBackend makes starts at that depth.
std::optional<int> RequestedDisplayDepth();

// Makes the backend of that kind; the desktop one falls back to headless
// while it is not built in. Defined in the zentrope_backend library, which
// links every backend; the platform core itself does not.
std::unique_ptr<PlatformBackend> CreatePlatformBackend(BackendKind kind);

// Whether the argument is the option that selects the headless backend, so
// that the command line can skip it.
bool IsBackendOption(std::string_view argument);
