// The headless backend's window peer: shows nothing, but records what a real
// peer would have been told, and can report geometry later, as a window
// manager does.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window.h"

// What the peer of one window was told; kept after the window is gone.
struct HeadlessPeerRecord {
  int state_changes = 0;
  int presents = 0;
  Rect last_present;
  bool captured = false;
  bool enabled = true;
  int surface_recreations = 0;
  int menu_bar_changes = 0;
  std::vector<std::uint32_t> menu_item_changes;
  bool destroyed = false;
};

class THeadlessWindowPeer : public WindowPeer {
 public:
  // `geometry_requested` is called after every state change when the peer
  // reports geometry later; null makes the window compute it at once.
  THeadlessWindowPeer(HeadlessPeerRecord& record, std::function<void(TWindow&)> geometry_requested)
      : record_(record), geometry_requested_(std::move(geometry_requested)) {}
  ~THeadlessWindowPeer() override { record_.destroyed = true; }

  void StateChanged(TWindow& window) override;
  void Present(TWindow& window, const Rect& area) override;
  bool ReportsGeometry() const override { return static_cast<bool>(geometry_requested_); }
  void CaptureChanged(TWindow& window, bool captured) override;
  void EnableChanged(TWindow& window) override;
  void SurfaceRecreated(TWindow& window) override;
  void MenuBarChanged(TWindow& window) override;
  void MenuItemChanged(TWindow& window, std::uint32_t id) override;

 private:
  HeadlessPeerRecord& record_;
  std::function<void(TWindow&)> geometry_requested_;
};
