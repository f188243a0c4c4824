// The desktop backend: wxWidgets 3.2 on GTK 3. The program's TEventLoop stays
// the one loop; the toolkit is its event source. Collecting runs the
// toolkit's pending/dispatch steps, whose handlers only queue messages here;
// the queue then goes to the loop in order.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/screen_saver_inhibit.h"
#include "platform/wx/wx_clipboard.h"
#include "platform/wx/wx_dialogs.h"
#include "platform/wx/wx_help.h"
#include "platform/wx/wx_keys.h"
#include "platform/wx/wx_window.h"

class wxEvent;
class wxKeyEvent;

class TWxBackend final : public PlatformBackend,
                         public EventSource,
                         public WxWindowHost,
                         private ScreenSaverInhibitor {
 public:
  // Null when the toolkit cannot start (see CreateWxBackend).
  static std::unique_ptr<TWxBackend> Create(std::string* error);
  ~TWxBackend() override;

  std::string_view Name() const override { return "desktop"; }
  TDisplay& Display() override { return display_; }
  TEventLoop& EventLoop() override { return loop_; }
  DialogService& Dialogs() override { return dialogs_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  HelpViewer& Help() override { return help_; }
  std::unique_ptr<TWindow> CreateWindow(const WindowParams& params,
                                        WindowHandler* handler) override;
  std::unique_ptr<ModelessDialog> OpenModelessDialog(const DialogTemplate& dialog,
                                                     WindowId owner) override;
  bool SetDisplayDepth(int bits) override;
  void RefreshCursor() override;
  void DefaultSystemCommand(TWindow& window, std::uint32_t code) override;

  bool CollectEvents(int timeout_ms) override;
  void DiscardInput() override;

  void QueueInput(const Message& message) override;
  void GeometryDue(WindowId window) override;
  void FocusChanged(WindowId window, bool active) override;
  void Later(std::function<void()> action) override;
  TEventLoop& Loop() override { return loop_; }
  int Scale() const override { return scale_; }
  wxFrame* FrameOf(WindowId window) const override;

  // The peer showing a window, or null.
  TWxWindowPeer* PeerOf(WindowId window) const;

 private:
  TWxBackend();
  int FilterEvent(wxEvent& event);
  int FilterKey(wxKeyEvent& event, TWxWindowPeer& peer);
  TWxWindowPeer* PeerOfEvent(const wxEvent& event) const;
  // Runs what the toolkit has without waiting.
  void Drain();
  // Hands queued messages, geometry and deferred actions to the loop; true
  // when anything went.
  bool Flush();
  void SetScreenSaverInhibited(bool inhibited) override;
  void Broadcast(MessageId id, WindowId realizing_window);

  TDisplay display_;
  TEventLoop loop_;
  TWxDialogs dialogs_;
  TWxClipboard clipboard_;
  TWxHelp help_;
  int scale_ = 1;
  std::map<WindowId, TWxWindowPeer*> peers_;
  std::vector<Message> input_;
  std::vector<WindowId> geometry_due_;
  std::deque<std::function<void()>> later_;
  TDeadKeyComposer dead_keys_;
  bool discarding_ = false;
  // An Alt+mnemonic key goes on to the toolkit, which opens the menu.
  bool passing_mnemonic_ = false;
  TScreenSaveQuery screen_save_query_;
};
