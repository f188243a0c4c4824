#include "platform/wx/wx_backend.h"

#include <X11/Xlib.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <wx/display.h>
#include <wx/event.h>
#include <wx/window.h>

#include <algorithm>

#include "platform/screen_saver_start.h"
#include "platform/tick_count.h"
#include "platform/wx/wx_backend_create.h"
#include "platform/wx/wx_start.h"

namespace {
constexpr int kDefaultDepth = 24;

::Display* XDisplayOrNull() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  return GDK_DISPLAY_XDISPLAY(display);
}

// The press that a double click follows: kLButtonDblClk -> kLButtonDown.
MessageId PressOf(MessageId double_click) {
  return static_cast<MessageId>(static_cast<int>(double_click) - 2);
}

bool IsDoubleClick(MessageId id) {
  return id == MessageId::kLButtonDblClk || id == MessageId::kRButtonDblClk ||
         id == MessageId::kMButtonDblClk;
}
}  // namespace

std::unique_ptr<PlatformBackend> CreateWxBackend(std::string* error) {
  return TWxBackend::Create(error);
}

std::unique_ptr<TWxBackend> TWxBackend::Create(std::string* error) {
  if (!StartWx(error)) return nullptr;
  return std::unique_ptr<TWxBackend>(new TWxBackend);
}

TWxBackend::TWxBackend()
    : loop_(this), dialogs_(loop_, display_, *this), screen_save_query_(loop_, *this) {
  wxTheApp->SetExitOnFrameDelete(false);
  if (GdkDisplay* display = gdk_display_get_default()) {
    if (GdkMonitor* monitor = gdk_display_get_primary_monitor(display)) {
      scale_ = std::max(1, gdk_monitor_get_scale_factor(monitor));
    } else if (GdkMonitor* first = gdk_display_get_monitor(display, 0)) {
      scale_ = std::max(1, gdk_monitor_get_scale_factor(first));
    }
  }
  const wxRect screen = wxDisplay(0u).GetGeometry();
  display_.SetScreenSize(Size{screen.width * scale_, screen.height * scale_});
  display_.SetLogPixels(kDefaultLogPixelsPerInch * scale_, kDefaultLogPixelsPerInch * scale_);
  display_.SetDepth(kDefaultDepth);
  display_.SetPaletteNoticeSink(
      [this](MessageId id, WindowId realizing) { Broadcast(id, realizing); });
  SetWxEventFilter([this](wxEvent& event) { return FilterEvent(event); });
}

TWxBackend::~TWxBackend() {
  SetWxEventFilter(nullptr);
  help_.Close();
  clipboard_.HandOver();
  // Frames deleted during the run still wait in the toolkit's queue.
  Drain();
}

std::unique_ptr<TWindow> TWxBackend::CreateWindow(const WindowParams& params,
                                                  WindowHandler* handler) {
  auto peer = std::make_unique<TWxWindowPeer>(*this);
  TWxWindowPeer* shown = peer.get();
  auto window = std::make_unique<TWindow>(loop_, display_, params, handler, std::move(peer));
  // Window ids are never reused; an entry whose window is gone is skipped.
  std::erase_if(peers_, [this](const auto& entry) { return !loop_.Find(entry.first); });
  peers_[window->Id()] = shown;
  shown->Attach(*window);
  return window;
}

TWxWindowPeer* TWxBackend::PeerOf(WindowId window) const {
  const auto found = peers_.find(window);
  if (found == peers_.end()) return nullptr;
  // A window that is gone is no longer registered with the loop.
  return loop_.Find(window) ? found->second : nullptr;
}

wxFrame* TWxBackend::FrameOf(WindowId window) const {
  const TWxWindowPeer* peer = PeerOf(window);
  return peer ? peer->Frame() : nullptr;
}

bool TWxBackend::SetDisplayDepth(int bits) {
  if (!display_.SetDepth(bits)) return false;
  for (TWindow* window : loop_.Windows()) window->RecreateSurface();
  return true;
}

void TWxBackend::RefreshCursor() {
  const wxPoint pointer = wxGetMousePosition();
  for (TWindow* window : loop_.Windows()) {
    TWxWindowPeer* peer = PeerOf(window->Id());
    if (!peer || !peer->Canvas() || !peer->Frame()->IsShown()) continue;
    wxWindow* canvas = reinterpret_cast<wxWindow*>(peer->Canvas());
    const wxPoint local = canvas->ScreenToClient(pointer);
    if (!wxRect(canvas->GetClientSize()).Contains(local)) continue;
    Message message;
    message.id = MessageId::kSetCursor;
    message.window = window->Id();
    message.position = Point{local.x * scale_, local.y * scale_};
    message.hit_test = HitTest::kClient;
    loop_.Send(message);
    return;
  }
}

void TWxBackend::DefaultSystemCommand(TWindow& window, std::uint32_t code) {
  switch (code & kScCodeMask) {
    case kScClose: {
      Message close;
      close.id = MessageId::kClose;
      close.window = window.Id();
      loop_.Send(close);
      break;
    }
    case kScScreenSave:
      if (screen_save_query_.Asking()) {
        screen_save_query_.PassedOn();
      } else if (StartInstalledScreenSaver()) {
        break;
      } else if (::Display* x_display = XDisplayOrNull()) {
        XActivateScreenSaver(x_display);
        XFlush(x_display);
      }
      break;
    default:
      break;
  }
}

void TWxBackend::SetScreenSaverInhibited(bool inhibited) {
  // Asked every 20 seconds, far inside any saver's time-out: resetting the
  // idle timer while the program swallows the request keeps the saver off.
  if (!inhibited) return;
  if (::Display* x_display = XDisplayOrNull()) {
    XResetScreenSaver(x_display);
    XFlush(x_display);
  }
}

void TWxBackend::Broadcast(MessageId id, WindowId realizing_window) {
  Message message;
  message.id = id;
  message.param = realizing_window;
  if (id == MessageId::kPaletteChanged) {
    // Every pixel on a palette display shows the new system colours.
    for (const auto& [window, peer] : peers_) {
      if (loop_.Find(window)) peer->RefreshAll();
    }
  }
  const std::vector<TWindow*> windows = loop_.Windows();
  for (TWindow* window : windows) {
    if (window->Owner() != kNoWindow) continue;
    message.window = window->Id();
    loop_.Send(message);
  }
}

void TWxBackend::QueueInput(const Message& message) {
  if (discarding_ && (IsMouseMessage(message.id) || IsKeyboardMessage(message.id))) return;
  const TWindow* window = loop_.Find(message.window);
  if (!window || !window->IsEnabled()) return;
  // The toolkit reports a double click as press, release, press, double
  // click; the program expects the second press to be the double click.
  if (IsDoubleClick(message.id) && !input_.empty() && input_.back().window == message.window &&
      input_.back().id == PressOf(message.id)) {
    input_.back() = message;
    return;
  }
  input_.push_back(message);
}

void TWxBackend::GeometryDue(WindowId window) {
  if (std::find(geometry_due_.begin(), geometry_due_.end(), window) == geometry_due_.end()) {
    geometry_due_.push_back(window);
  }
}

void TWxBackend::FocusChanged(WindowId window, bool active) {
  Later([this, window, active] {
    if (!loop_.Find(window)) return;
    Message message;
    message.window = window;
    if (active) {
      message.id = MessageId::kQueryNewPalette;
      loop_.Send(message);
      message.id = MessageId::kSetFocus;
    } else {
      message.id = MessageId::kKillFocus;
      dead_keys_.Reset();
    }
    loop_.Send(message);
  });
}

void TWxBackend::Later(std::function<void()> action) {
  later_.push_back(std::move(action));
}

void TWxBackend::Drain() {
  wxGUIEventLoop& loop = WxLoop();
  while (loop.Pending()) loop.Dispatch();
  if (wxTheApp) wxTheApp->ProcessPendingEvents();
}

bool TWxBackend::Flush() {
  bool any = !input_.empty() || !geometry_due_.empty() || !later_.empty();
  const std::vector<WindowId> due = std::move(geometry_due_);
  geometry_due_.clear();
  for (const WindowId id : due) {
    TWindow* window = loop_.Find(id);
    TWxWindowPeer* peer = PeerOf(id);
    if (window && peer) window->ReportGeometry(peer->CurrentGeometry());
  }
  while (!later_.empty()) {
    std::function<void()> action = std::move(later_.front());
    later_.pop_front();
    action();
  }
  std::vector<Message> input = std::move(input_);
  input_.clear();
  for (const Message& message : input) loop_.Post(message);
  return any;
}

bool TWxBackend::CollectEvents(int timeout_ms) {
  Drain();
  screen_save_query_.Poll(GetTickCount());
  if (Flush() || timeout_ms == 0) return true;
  wxGUIEventLoop& loop = WxLoop();
  if (timeout_ms == kWaitForever) {
    // The toolkit's own idle work (deferred sizing, deleting) before sleeping.
    if (wxTheApp) wxTheApp->ProcessIdle();
    // Woken at least every second, so that the screen-save question is asked.
    loop.DispatchTimeout(1000);
  } else {
    loop.DispatchTimeout(static_cast<unsigned long>(timeout_ms));
  }
  Drain();
  Flush();
  return true;
}

void TWxBackend::DiscardInput() {
  // Everything the X server has for us arrives now, then goes nowhere.
  if (GdkDisplay* display = gdk_display_get_default()) gdk_display_sync(display);
  discarding_ = true;
  Drain();
  discarding_ = false;
  dead_keys_.Reset();
  std::erase_if(input_, [](const Message& message) {
    return IsMouseMessage(message.id) || IsKeyboardMessage(message.id);
  });
}

TWxWindowPeer* TWxBackend::PeerOfEvent(const wxEvent& event) const {
  auto* object = wxDynamicCast(event.GetEventObject(), wxWindow);
  if (!object) return nullptr;
  wxWindow* top = wxGetTopLevelParent(object);
  for (const auto& [id, peer] : peers_) {
    if (loop_.Find(id) && peer->Frame() == top) return peer;
  }
  return nullptr;
}

int TWxBackend::FilterEvent(wxEvent& event) {
  const wxEventType type = event.GetEventType();
  if (type != wxEVT_CHAR_HOOK && type != wxEVT_KEY_DOWN && type != wxEVT_KEY_UP &&
      type != wxEVT_CHAR) {
    return wxEventFilter::Event_Skip;
  }
  TWxWindowPeer* peer = PeerOfEvent(event);
  if (!peer) return wxEventFilter::Event_Skip;
  return FilterKey(static_cast<wxKeyEvent&>(event), *peer);
}

int TWxBackend::FilterKey(wxKeyEvent& event, TWxWindowPeer& peer) {
  const wxEventType type = event.GetEventType();
  // Key-downs arrive as the hook, ahead of any toolkit shortcut; what
  // follows from them (the toolkit's own key-down and character) is ours
  // already, unless the key is a menu mnemonic: the toolkit opens the menu
  // only when the key-down goes unhandled.
  if (type == wxEVT_KEY_DOWN || type == wxEVT_CHAR) {
    return passing_mnemonic_ ? wxEventFilter::Event_Skip : wxEventFilter::Event_Processed;
  }
  passing_mnemonic_ = false;
  const int virtual_key = VirtualKeyFromWxKey(event.GetKeyCode());
  const auto keyval = static_cast<std::uint32_t>(event.GetRawKeyCode());
  Message message;
  message.window = peer.Window()->Id();
  message.key = virtual_key;
  message.modifiers = Modifiers{event.ShiftDown(), event.ControlDown(), event.AltDown()};
  const bool alt = message.modifiers.alt;
  if (type == wxEVT_KEY_UP) {
    if (virtual_key == 0) return wxEventFilter::Event_Processed;
    message.id = alt ? MessageId::kSysKeyUp : MessageId::kKeyUp;
    QueueInput(message);
    return wxEventFilter::Event_Processed;
  }
  const int typed = CharacterFromKeyval(keyval);
  // Alt with a menu's mnemonic opens that menu, as the desktop does.
  if (alt && !message.modifiers.control && peer.IsMenuMnemonic(typed)) {
    passing_mnemonic_ = true;
    return wxEventFilter::Event_Skip;
  }
  const int character = dead_keys_.Feed(keyval, typed);
  if (virtual_key == 0 && character == 0) return wxEventFilter::Event_Processed;
  message.id = alt ? MessageId::kSysKeyDown : MessageId::kKeyDown;
  message.character = character;
  QueueInput(message);
  return wxEventFilter::Event_Processed;
}
