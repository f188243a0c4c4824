#include "platform/wx/wx_start.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdlib>

namespace {
WxEventFilter event_filter;

class TWxApp : public wxApp {
 public:
  bool OnInit() override { return true; }
  int FilterEvent(wxEvent& event) override {
    return event_filter ? event_filter(event) : static_cast<int>(Event_Skip);
  }
};

struct WxState {
  bool tried = false;
  bool started = false;
  std::string error;
  wxGUIEventLoop* loop = nullptr;
};

WxState& State() {
  static WxState state;
  return state;
}
}  // namespace

bool StartWx(std::string* error) {
  WxState& state = State();
  if (!state.tried) {
    state.tried = true;
    // Drawing frame by frame while a command runs needs X11's synchronous
    // repaint; the toolkit must be told before it starts.
    setenv("GDK_BACKEND", "x11", 0);
    const char* x_display = std::getenv("DISPLAY");
    wxApp::SetInstance(new TWxApp);
    static int argc = 1;
    static char program[] = "zentrope";
    static char* argv[] = {program, nullptr};
    if (!x_display || !*x_display) {
      // Without X there is nothing to start, and a failed start leaks.
      state.error = "DISPLAY is not set";
    } else if (!wxEntryStart(argc, argv)) {
      state.error = "cannot open the display";
    } else if (!wxTheApp->CallOnInit()) {
      state.error = "the toolkit did not start";
    } else {
      wxInitAllImageHandlers();
      // The toolkit's own complaints go to standard error, never into a
      // message box of their own, and its debugging chatter not at all.
      delete wxLog::SetActiveTarget(new wxLogStderr);
      wxLog::SetLogLevel(wxLOG_Warning);
      state.loop = new wxGUIEventLoop;
      wxEventLoopBase::SetActive(state.loop);
      state.started = true;
    }
  }
  if (!state.started && error) *error = state.error;
  return state.started;
}

wxGUIEventLoop& WxLoop() {
  return *State().loop;
}

void SetWxEventFilter(WxEventFilter filter) {
  event_filter = std::move(filter);
}
