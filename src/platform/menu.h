// A window's menu bar as data: what the backend shows and what the program
// ticks and enables. Items are found by command id anywhere in the tree.
//
// The shortcut text is only shown beside the item. The keys themselves go
// through the program's own accelerator table, so that they work with the
// menu hidden and pass the pre-dispatch filter first; a backend must never
// turn the shortcut text into a key binding of its own.
//
// Before a menu opens, the backend sends kInitMenuPopup with the menu's id to
// the window, so the program runs its enablers then; choosing an enabled item
// posts kCommand with the item's id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MenuItem {
  enum class Kind { kCommand, kSeparator, kSubmenu };
  Kind kind = Kind::kCommand;
  std::uint32_t id = 0;  // command id; for a submenu, the id its kInitMenuPopup carries
  std::string text;      // "&" marks the mnemonic ("&Open..."); "&&" is a plain "&"
  std::string shortcut;  // shown at the right ("Space", "Ctrl+Ins")
  bool checked = false;
  bool enabled = true;
  std::vector<MenuItem> items;  // a submenu's items

  static MenuItem Command(std::uint32_t id, std::string text, std::string shortcut = {});
  static MenuItem Separator();
  static MenuItem Submenu(std::uint32_t id, std::string text, std::vector<MenuItem> items);
};

class TMenuBar {
 public:
  TMenuBar() = default;
  explicit TMenuBar(std::vector<MenuItem> menus) : menus_(std::move(menus)) {}

  // The menus of the bar, left to right; each is a submenu item.
  const std::vector<MenuItem>& Menus() const { return menus_; }
  void Append(MenuItem menu) { menus_.push_back(std::move(menu)); }
  bool IsEmpty() const { return menus_.empty(); }

  // The first command or submenu with that id, depth first; null when none.
  // Separators are never found.
  const MenuItem* Find(std::uint32_t id) const;
  MenuItem* Find(std::uint32_t id);
  // The submenus that lead to the item, outermost first, the item excluded;
  // empty when there is no such item.
  std::vector<const MenuItem*> PathTo(std::uint32_t id) const;

  // Change an item; false when there is no such item or nothing changed.
  bool Check(std::uint32_t id, bool checked);
  bool Enable(std::uint32_t id, bool enabled);
  bool SetText(std::uint32_t id, std::string text);

 private:
  std::vector<MenuItem> menus_;
};

// The text without its mnemonic marks: "S&how comments" -> "Show comments",
// "&&" -> "&".
std::string MenuTextWithoutMnemonic(const std::string& text);
// The mnemonic character (the one after a single "&"), or 0.
char MenuMnemonic(const std::string& text);
