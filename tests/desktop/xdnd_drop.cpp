#include "xdnd_drop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>

namespace {
constexpr long kXdndVersion = 5;
constexpr auto kStepTimeout = std::chrono::seconds(5);

class XdndSource {
 public:
  explicit XdndSource(Display* display) : display_(display) {
    auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    aware_ = atom("XdndAware");
    enter_ = atom("XdndEnter");
    position_ = atom("XdndPosition");
    status_ = atom("XdndStatus");
    drop_ = atom("XdndDrop");
    finished_ = atom("XdndFinished");
    selection_ = atom("XdndSelection");
    copy_ = atom("XdndActionCopy");
    uri_list_ = atom("text/uri-list");
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  }
  ~XdndSource() { XDestroyWindow(display_, window_); }

  bool Drop(Window target, int x, int y, const std::string& uri_list, std::string* error) {
    uri_list_text_ = uri_list;
    if (!IsAware(target)) return Fail(error, "the window takes no drops");
    XSetSelectionOwner(display_, selection_, window_, CurrentTime);
    Send(target, enter_,
         {static_cast<long>(window_), kXdndVersion << 24, static_cast<long>(uri_list_), 0, 0});
    Send(target, position_,
         {static_cast<long>(window_), 0, (static_cast<long>(x) << 16) | y, CurrentTime,
          static_cast<long>(copy_)});
    bool accepted = false;
    if (!WaitFor(status_, [&accepted](const XClientMessageEvent& status) {
          accepted = (status.data.l[1] & 1) != 0;
        })) {
      return Fail(error, "no status for the position");
    }
    if (!accepted) return Fail(error, "the window refused the files");
    Send(target, drop_, {static_cast<long>(window_), 0, CurrentTime, 0, 0});
    if (!WaitFor(finished_, [](const XClientMessageEvent&) {})) {
      return Fail(error, "the drop never finished");
    }
    return true;
  }

 private:
  static bool Fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
  }

  bool IsAware(Window target) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display_, target, aware_, 0, 1, False, XA_ATOM, &type,
                                          &format, &count, &after, &data);
    if (data) XFree(data);
    return status == Success && type == XA_ATOM && count == 1;
  }

  void Send(Window target, Atom message, const std::array<long, 5>& data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = message;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[static_cast<std::size_t>(i)];
    XSendEvent(display_, target, False, NoEventMask, &event);
    XFlush(display_);
  }

  // Answers the target's request for the file list.
  void Answer(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    if (request.target == uri_list_) {
      const Atom property = request.property != None ? request.property : request.target;
      XChangeProperty(display_, request.requestor, property, uri_list_, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(uri_list_text_.data()),
                      static_cast<int>(uri_list_text_.size()));
      reply.xselection.property = property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
  }

  bool WaitFor(Atom message, const std::function<void(const XClientMessageEvent&)>& take) {
    const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (XPending(display_) == 0) {
        usleep(5000);
        continue;
      }
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == SelectionRequest) Answer(event.xselectionrequest);
      if (event.type == ClientMessage && event.xclient.message_type == message) {
        take(event.xclient);
        return true;
      }
    }
    return false;
  }

  Display* display_;
  Window window_ = None;
  Atom aware_, enter_, position_, status_, drop_, finished_, selection_, copy_, uri_list_;
  std::string uri_list_text_;
};

// file:// URIs with every byte outside the unreserved set and "/" escaped.
std::string UriList(const std::vector<std::string>& paths) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string list;
  for (const std::string& path : paths) {
    list += "file://";
    for (const unsigned char c : path) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                         c == '/';
      if (plain) {
        list += static_cast<char>(c);
      } else {
        list += '%';
        list += kHex[c >> 4];
        list += kHex[c & 0xF];
      }
    }
    list += "\r\n";
  }
  return list;
}
}  // namespace

bool DropFilesOnWindow(unsigned long target, int x, int y, const std::vector<std::string>& paths,
                       std::string* error) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    if (error) *error = "no display";
    return false;
  }
  bool dropped = false;
  {
    XdndSource source(display);
    dropped = source.Drop(static_cast<Window>(target), x, y, UriList(paths), error);
  }
  XCloseDisplay(display);
  return dropped;
}
