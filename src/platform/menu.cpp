#include "platform/menu.h"

#include <utility>

MenuItem MenuItem::Command(std::uint32_t id, std::string text, std::string shortcut) {
  MenuItem item;
  item.id = id;
  item.text = std::move(text);
  item.shortcut = std::move(shortcut);
  return item;
}

MenuItem MenuItem::Separator() {
  MenuItem item;
  item.kind = Kind::kSeparator;
  return item;
}

MenuItem MenuItem::Submenu(std::uint32_t id, std::string text, std::vector<MenuItem> items) {
  MenuItem item;
  item.kind = Kind::kSubmenu;
  item.id = id;
  item.text = std::move(text);
  item.items = std::move(items);
  return item;
}

namespace {
// Depth first; `path` collects the submenus above the item found.
const MenuItem* FindIn(const std::vector<MenuItem>& items, std::uint32_t id,
                       std::vector<const MenuItem*>* path) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::kSeparator) continue;
    if (item.id == id) return &item;
    if (item.kind != MenuItem::Kind::kSubmenu) continue;
    if (path) path->push_back(&item);
    if (const MenuItem* found = FindIn(item.items, id, path)) return found;
    if (path) path->pop_back();
  }
  return nullptr;
}
}  // namespace

const MenuItem* TMenuBar::Find(std::uint32_t id) const {
  return FindIn(menus_, id, nullptr);
}

MenuItem* TMenuBar::Find(std::uint32_t id) {
  // The tree is this object's own, so the item found may be changed.
  return const_cast<MenuItem*>(std::as_const(*this).Find(id));
}

std::vector<const MenuItem*> TMenuBar::PathTo(std::uint32_t id) const {
  std::vector<const MenuItem*> path;
  if (!FindIn(menus_, id, &path)) path.clear();
  return path;
}

bool TMenuBar::Check(std::uint32_t id, bool checked) {
  MenuItem* item = Find(id);
  if (!item || item->checked == checked) return false;
  item->checked = checked;
  return true;
}

bool TMenuBar::Enable(std::uint32_t id, bool enabled) {
  MenuItem* item = Find(id);
  if (!item || item->enabled == enabled) return false;
  item->enabled = enabled;
  return true;
}

bool TMenuBar::SetText(std::uint32_t id, std::string text) {
  MenuItem* item = Find(id);
  if (!item || item->text == text) return false;
  item->text = std::move(text);
  return true;
}

std::string MenuTextWithoutMnemonic(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size())
      ++i;
    else if (text[i] == '&')
      continue;
    plain.push_back(text[i]);
  }
  return plain;
}

char MenuMnemonic(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1];
    ++i;
  }
  return 0;
}
