#include "platform/wx/saver_embedding.h"

#include <X11/Xlib.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/log_sink.h"
#include "platform/saver_target.h"

namespace {
constexpr int kFollowIntervalMs = 500;
constexpr const char* kNoTargetLog =
    "Saver: \"%s\" is not a window on this display; running full screen";

struct TargetSize {
  int width = 0;
  int height = 0;
  bool operator==(const TargetSize&) const = default;
};

// The window's size, or nothing when it does not exist (any X error is
// trapped, so a stale id never ends the program).
std::optional<TargetSize> SizeOf(GdkDisplay* display, Window window) {
  XWindowAttributes attributes{};
  gdk_x11_display_error_trap_push(display);
  const Status found = XGetWindowAttributes(GDK_DISPLAY_XDISPLAY(display), window, &attributes);
  if (gdk_x11_display_error_trap_pop(display) != 0 || found == 0) return std::nullopt;
  if (attributes.width <= 0 || attributes.height <= 0) return std::nullopt;
  return TargetSize{attributes.width, attributes.height};
}

void Report(const std::string& id) {
  LogLine(kNoTargetLog, id);
  std::fprintf(stderr, "%s\n", FormatLogText(kNoTargetLog, id).c_str());
}

// Keeps the frame at the target's size; ends with the frame.
class TTargetFollower : public wxTimer {
 public:
  TTargetFollower(wxFrame& frame, Window frame_window, Window target, TargetSize size, int scale)
      : frame_(frame), frame_window_(frame_window), target_(target), size_(size), scale_(scale) {
    Apply();
    Start(kFollowIntervalMs);
  }

  void Notify() override {
    GdkDisplay* display = gdk_display_get_default();
    const std::optional<TargetSize> now = SizeOf(display, target_);
    if (!now) {
      // The desktop's saver ends its hacks itself once its window is gone.
      Stop();
      return;
    }
    if (*now == size_) return;
    size_ = *now;
    Apply();
  }

 private:
  void Apply() {
    frame_.SetSize(0, 0, size_.width / scale_, size_.height / scale_);
    GdkDisplay* display = gdk_display_get_default();
    gdk_x11_display_error_trap_push(display);
    XMoveResizeWindow(GDK_DISPLAY_XDISPLAY(display), frame_window_, 0, 0,
                      static_cast<unsigned>(size_.width), static_cast<unsigned>(size_.height));
    XFlush(GDK_DISPLAY_XDISPLAY(display));
    gdk_x11_display_error_trap_pop_ignored(display);
  }

  wxFrame& frame_;
  Window frame_window_;
  Window target_;
  TargetSize size_;
  int scale_;
};

bool claimed = false;
}  // namespace

bool ClaimSaverTarget() {
  if (claimed || !RequestedSaverTarget()) return false;
  claimed = true;
  return true;
}

bool EmbedInSaverTarget(wxFrame& frame, int scale) {
  const std::optional<SaverTarget>& target = RequestedSaverTarget();
  if (!target) return false;
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) {
    Report(target->window_id.empty() ? "-root" : target->window_id);
    return false;
  }
  ::Display* x_display = GDK_DISPLAY_XDISPLAY(display);
  Window target_window = DefaultRootWindow(x_display);
  if (!target->window_id.empty()) {
    const std::optional<std::uint32_t> id = ParseXWindowId(target->window_id);
    if (!id) {
      Report(target->window_id);
      return false;
    }
    target_window = *id;
  }
  const std::optional<TargetSize> size = SizeOf(display, target_window);
  if (!size) {
    Report(target->window_id.empty() ? "-root" : target->window_id);
    return false;
  }
  GtkWidget* widget = frame.GetHandle();
  gtk_widget_realize(widget);
  GdkWindow* own = gtk_widget_get_window(widget);
  if (!own) return false;
  // No window manager may frame or move a window that lives inside another.
  gdk_window_set_override_redirect(own, TRUE);
  const Window own_window = gdk_x11_window_get_xid(own);
  gdk_x11_display_error_trap_push(display);
  XReparentWindow(x_display, own_window, target_window, 0, 0);
  XSync(x_display, False);
  if (gdk_x11_display_error_trap_pop(display) != 0) {
    Report(target->window_id);
    return false;
  }
  auto* follower =
      new TTargetFollower(frame, own_window, target_window, *size, scale < 1 ? 1 : scale);
  frame.Bind(wxEVT_DESTROY, [&frame, follower](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == &frame) delete follower;
  });
  return true;
}
