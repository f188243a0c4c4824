// Starting wxWidgets once per process, with an application object whose
// event filter hands every event to the backend first.
#pragma once

#include <wx/app.h>
#include <wx/evtloop.h>

#include <functional>
#include <string>

// Returns wxEventFilter::Event_Skip, Event_Ignore or Event_Processed.
using WxEventFilter = std::function<int(wxEvent&)>;

// Starts the toolkit on the X display (GDK_BACKEND=x11 unless already set)
// and makes an event loop active for it. Later calls only report whether the
// first succeeded. False with a one-line `error` when no display can be opened.
bool StartWx(std::string* error);
// The active loop made by StartWx.
wxGUIEventLoop& WxLoop();
// The filter that sees every event before any handler; null removes it.
void SetWxEventFilter(WxEventFilter filter);
