#include "platform/wx/wx_menu.h"

namespace {
// Clear of the toolkit's stock ids (4999..5999) and of wxID_ANY.
constexpr int kFirstMenuId = 20000;
}  // namespace

std::string WxMenuLabel(const MenuItem& item) {
  if (item.shortcut.empty()) return item.text;
  return item.text + "\t" + item.shortcut;
}

wxMenuBar* TWxMenuBar::Build(const TMenuBar& model) {
  commands_.clear();
  wx_ids_.clear();
  owners_.clear();
  submenus_.clear();
  next_id_ = kFirstMenuId;
  bar_ = nullptr;
  if (model.IsEmpty()) return nullptr;
  bar_ = new wxMenuBar;
  for (const MenuItem& top : model.Menus()) {
    auto* menu = new wxMenu;
    submenus_[menu] = top.id;
    AddItems(menu, top);
    bar_->Append(menu, wxString::FromUTF8(top.text));
  }
  return bar_;
}

wxMenuItem* TWxMenuBar::MakeItem(wxMenu* menu, const MenuItem& item, int wx_id) {
  // Only items that have ever been ticked leave room for a tick.
  const wxItemKind kind = item.checked ? wxITEM_CHECK : wxITEM_NORMAL;
  auto* made = new wxMenuItem(menu, wx_id, wxString::FromUTF8(WxMenuLabel(item)), wxString(), kind);
  return made;
}

void TWxMenuBar::AddItems(wxMenu* menu, const MenuItem& submenu) {
  for (const MenuItem& item : submenu.items) {
    switch (item.kind) {
      case MenuItem::Kind::kSeparator:
        menu->AppendSeparator();
        break;
      case MenuItem::Kind::kSubmenu: {
        auto* inner = new wxMenu;
        submenus_[inner] = item.id;
        AddItems(inner, item);
        menu->AppendSubMenu(inner, wxString::FromUTF8(item.text));
        break;
      }
      case MenuItem::Kind::kCommand: {
        const int wx_id = next_id_++;
        commands_[wx_id] = item.id;
        if (!wx_ids_.count(item.id)) {
          wx_ids_[item.id] = wx_id;
          owners_[item.id] = menu;
        }
        wxMenuItem* made = menu->Append(MakeItem(menu, item, wx_id));
        if (item.checked) made->Check(true);
        if (!item.enabled) made->Enable(false);
        break;
      }
    }
  }
}

std::uint32_t TWxMenuBar::CommandFor(int wx_id) const {
  const auto found = commands_.find(wx_id);
  return found == commands_.end() ? 0 : found->second;
}

std::uint32_t TWxMenuBar::SubmenuFor(const wxMenu* menu) const {
  const auto found = submenus_.find(menu);
  return found == submenus_.end() ? 0 : found->second;
}

void TWxMenuBar::Update(const TMenuBar& model, std::uint32_t command) {
  const MenuItem* item = model.Find(command);
  const auto id = wx_ids_.find(command);
  const auto owner = owners_.find(command);
  if (!bar_ || !item || item->kind != MenuItem::Kind::kCommand || id == wx_ids_.end() ||
      owner == owners_.end()) {
    return;
  }
  wxMenu* menu = owner->second;
  wxMenuItem* shown = menu->FindItem(id->second);
  if (!shown) return;
  if (item->checked && !shown->IsCheckable()) {
    // A plain item cannot show a tick: put a checkable one in its place.
    const wxMenuItemList& items = menu->GetMenuItems();
    const int position = items.IndexOf(shown);
    if (position == wxNOT_FOUND) return;
    delete menu->Remove(shown);
    shown = menu->Insert(static_cast<std::size_t>(position), MakeItem(menu, *item, id->second));
  }
  if (shown->IsCheckable() && shown->IsChecked() != item->checked) shown->Check(item->checked);
  if (shown->IsEnabled() != item->enabled) shown->Enable(item->enabled);
  const wxString label = wxString::FromUTF8(WxMenuLabel(*item));
  if (shown->GetItemLabel() != label) shown->SetItemLabel(label);
}
