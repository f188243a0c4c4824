#include "platform/headless/headless_window_peer.h"

void THeadlessWindowPeer::StateChanged(TWindow& window) {
  ++record_.state_changes;
  if (geometry_requested_) geometry_requested_(window);
}

void THeadlessWindowPeer::Present(TWindow& window, const Rect& area) {
  (void)window;
  ++record_.presents;
  record_.last_present = area;
}

void THeadlessWindowPeer::CaptureChanged(TWindow& window, bool captured) {
  (void)window;
  record_.captured = captured;
}

void THeadlessWindowPeer::EnableChanged(TWindow& window) {
  record_.enabled = window.IsEnabled();
}

void THeadlessWindowPeer::SurfaceRecreated(TWindow& window) {
  (void)window;
  ++record_.surface_recreations;
}

void THeadlessWindowPeer::MenuBarChanged(TWindow& window) {
  (void)window;
  ++record_.menu_bar_changes;
}

void THeadlessWindowPeer::MenuItemChanged(TWindow& window, std::uint32_t id) {
  (void)window;
  record_.menu_item_changes.push_back(id);
}
