// The headless backend: the whole platform in memory. Windows paint into
// surfaces that tests read pixel by pixel or save as pictures, input is
// injected, dialogs are answered from a script, the clipboard and help viewer
// only record, and time can run on a virtual clock that tests advance.
// Batch runs on a machine without a display use it with the real clock.
#pragma once

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_clipboard.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_help.h"
#include "platform/headless/headless_window_peer.h"
#include "platform/headless/virtual_clock.h"
#include "platform/screen_saver_inhibit.h"

struct HeadlessOptions {
  Size screen{1024, 768};
  int depth = 24;
  // Installs the virtual clock as the process tick source while the backend lives.
  bool virtual_clock = false;
  // Virtual milliseconds that pass each time the loop looks for input, so a
  // run whose idle handler waits for a delay gets there. 0: time stands still.
  // With the real clock, a bounded wait for input sleeps instead.
  std::uint32_t milliseconds_per_step = 0;
  // As a real window manager: a window's new geometry is reported the next
  // time the loop collects input, not when the program asks for it.
  bool report_geometry_later = false;
  // As a real desktop: a dialog takes the focus from the focused window while
  // it is up, and gives it back (with the palette query) when it closes.
  bool focus_around_dialogs = false;
  // Asks the program every kScreenSaveQueryMilliseconds (on the backend's
  // clock) whether the desktop's saver may start.
  bool ask_screen_save = false;
};

enum class MouseButton { kLeft, kRight, kMiddle };

class THeadlessBackend : public PlatformBackend, public EventSource, private ScreenSaverInhibitor {
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
  // The screen-save requests that reached the platform outside a query:
  // the desktop's saver started.
  int ScreenSaverStarts() const { return screen_saver_starts_; }

  // Asks the program now whether the desktop's saver may start; returns
  // whether the request was swallowed (the saver is then inhibited).
  bool AskScreenSave() { return screen_save_query_.Ask(); }
  bool ScreenSaverInhibited() const { return screen_saver_inhibited_; }
  int ScreenSaveQueries() const { return screen_save_queries_; }

  // EventSource: delivers geometry that waits to be reported and asks about
  // the screen saver when due; time moves on if asked to.
  bool CollectEvents(int timeout_ms) override;

  // What the peer of a window was told (also after the window is gone); null
  // for a window this backend did not make.
  const HeadlessPeerRecord* PeerRecord(WindowId window) const;

  // The menu the user opens: the window gets kInitMenuPopup with the menu's
  // id. False when the window shows no menu bar or has no such submenu.
  bool OpenMenu(WindowId window, std::uint32_t menu_id);
  // The user opens the menus down to the item (each gets kInitMenuPopup) and
  // chooses it: kCommand is posted when the item is then enabled. False when
  // there is no such command item, the menu bar is hidden, the window takes
  // no input or the item is disabled.
  bool ChooseMenuItem(WindowId window, std::uint32_t id);

  // The user moves or sizes the window (outer rectangle, screen pixels) or
  // minimizes, maximizes or restores it through its frame: the window hears
  // of it as from a window manager.
  void UserPlaceWindow(WindowId window, const Rect& outer);
  void UserShowWindow(WindowId window, ShowState state);
  // The desktop takes the mouse capture away (another program's grab).
  void TakeCaptureAway();

  THeadlessDialogs& ScriptedDialogs() { return dialogs_; }
  THeadlessClipboard& MemoryClipboard() { return clipboard_; }
  THeadlessHelp& RecordingHelp() { return help_; }
  TVirtualClock& Clock() { return clock_; }

  // Input as the user would give it; posted to the queue in order. Keys with
  // Alt become system keys. A `character` rides on the key-down, so the loop
  // makes the character message unless the key-down is consumed.
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
  void SetScreenSaverInhibited(bool inhibited) override;
  void DialogOpening();
  void DialogClosed();
  // Reports the fixed-frame geometry of the windows that asked for it.
  bool DeliverGeometry();

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
  WindowId focus_before_dialog_ = kNoWindow;
  int screen_saver_starts_ = 0;
  TScreenSaveQuery screen_save_query_;
  bool screen_saver_inhibited_ = false;
  int screen_save_queries_ = 0;
  std::map<WindowId, std::unique_ptr<HeadlessPeerRecord>> peer_records_;
  std::vector<WindowId> geometry_due_;
};
