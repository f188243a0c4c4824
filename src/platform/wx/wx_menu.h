// A window's menu bar model shown as a wx menu bar. Items get wx ids of their
// own (command ids could collide with the toolkit's stock ids, which bring
// stock pictures and labels); the map leads back to the program's ids.
#pragma once

#include <wx/menu.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/menu.h"

// The label wx shows: the text with its "&" mnemonic, and the shortcut text
// after a tab.
std::string WxMenuLabel(const MenuItem& item);

class TWxMenuBar {
 public:
  // Builds a new wx menu bar for `model`; the caller hands it to a frame,
  // which owns it from then on. Null for an empty model.
  wxMenuBar* Build(const TMenuBar& model);
  // The program's command for a wx item id, or 0.
  std::uint32_t CommandFor(int wx_id) const;
  // The submenu id that kInitMenuPopup carries for a wx menu, or 0.
  std::uint32_t SubmenuFor(const wxMenu* menu) const;
  // Shows the item's tick, enable and text as the model now has them.
  void Update(const TMenuBar& model, std::uint32_t command);

 private:
  void AddItems(wxMenu* menu, const MenuItem& submenu);
  wxMenuItem* MakeItem(wxMenu* menu, const MenuItem& item, int wx_id);

  wxMenuBar* bar_ = nullptr;
  int next_id_ = 0;
  std::map<int, std::uint32_t> commands_;
  std::map<std::uint32_t, int> wx_ids_;
  std::map<std::uint32_t, wxMenu*> owners_;  // the wx menu that holds each command
  std::map<const wxMenu*, std::uint32_t> submenus_;
};
