// The headless backend: the whole platform in memory. Windows paint into
// surfaces that tests read pixel by pixel or save as pictures, input is
// injected, dialogs are answered from a script, the clipboard and help viewer
// only record, and time can run on a virtual clock that tests advance.
// Batch runs on a machine without a display use it with the real clock.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_clipboard.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_help.h"
#include "platform/headless/virtual_clock.h"

struct HeadlessOptions {
  Size screen{1024, 768};
  int depth = 24;
  // Installs the virtual clock as the process tick source while the backend lives.
  bool virtual_clock = false;
  // Virtual milliseconds that pass each time the loop looks for input, so a
  // run whose idle handler waits for a delay gets there. 0: time stands still.
  std::uint32_t milliseconds_per_step = 0;
};

enum class MouseButton { kLeft, kRight, kMiddle };

class THeadlessBackend : public PlatformBackend, public EventSource {
 public:
  explicit THeadlessBackend(const HeadlessOptions& options);
  ~THeadlessBackend() override;

  std::string_view Name() const override { return "headless"; }
  TDisplay& Display() override { return display_; }
  TEventLoop& EventLoop() override { return loop_; }
  DialogService& Dialogs() override { return dialogs_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  HelpViewer& Help() override { return help_; }
  std::unique_ptr<TWindow> CreateWindow(const WindowParams& params,
                                        WindowHandler* handler) override;
  bool SetDisplayDepth(int bits) override;
  void RefreshCursor() override;
  void DefaultSystemCommand(TWindow& window, std::uint32_t code) override;
  // The screen-save requests that reached the platform.
  int ScreenSaverStarts() const { return screen_saver_starts_; }

  // EventSource: nothing arrives by itself; time moves on if asked to.
  bool CollectEvents(bool wait) override;

  THeadlessDialogs& ScriptedDialogs() { return dialogs_; }
  THeadlessClipboard& MemoryClipboard() { return clipboard_; }
  THeadlessHelp& RecordingHelp() { return help_; }
  TVirtualClock& Clock() { return clock_; }

  // Input as the user would give it; posted to the queue in order. Keys with
  // Alt become system keys. A `character` also posts the character message.
  void PressKey(WindowId window, int virtual_key, Modifiers modifiers = {}, int character = 0);
  void TypeCharacter(WindowId window, int character, Modifiers modifiers = {});
  // Mouse input goes to the window holding the capture, if any. Input for a
  // disabled window is dropped.
  void MoveMouse(WindowId window, Point position, Modifiers modifiers = {});
  void PressButton(WindowId window, MouseButton button, Point position, Modifiers modifiers = {});
  void ReleaseButton(WindowId window, MouseButton button, Point position, Modifiers modifiers = {});
  void DoubleClick(WindowId window, MouseButton button, Point position, Modifiers modifiers = {});
  // A non-client mouse message (caption, frame) at a screen position.
  void NonClientMouse(WindowId window, MessageId id, Point screen_position);
  void DropFiles(WindowId window, std::vector<std::string> paths);
  void PostSystemCommand(WindowId window, std::uint32_t code);
  // A scroll bar action on the window (position for the thumb).
  void Scroll(WindowId window, bool vertical, ScrollAction action, int position = 0);
  // The window becomes the active one: it is asked whether it realizes a new
  // palette, then gets the focus (the previous one loses it).
  void Activate(WindowId window);
  // Another program realizes `colours` in the foreground, as a palette display
  // sees it: the notices reach every window naming no window of ours.
  int RealizeForeignPalette(std::span<const PaletteColour> colours);

 private:
  void PostMouse(WindowId window, MessageId id, Point position, Modifiers modifiers);
  bool AcceptsInput(WindowId window) const;
  void Broadcast(MessageId id, WindowId realizing_window);

  TDisplay display_;
  TEventLoop loop_;
  THeadlessDialogs dialogs_;
  THeadlessClipboard clipboard_;
  THeadlessHelp help_;
  TVirtualClock clock_;
  HeadlessOptions options_;
  WindowId pointer_window_ = kNoWindow;
  Point pointer_;
  WindowId focus_ = kNoWindow;
  int screen_saver_starts_ = 0;
};
