// The main window's commands by id: what each does, when it is enabled,
// whether it shows a tick, and whether it first makes way for a running
// operation. Menus, accelerators and the program's own posts all reach a
// command through here.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>

class TZentropeWin;

// How one command behaves: what it does, when it is enabled, whether it shows
// a tick, and whether it first makes way for a running operation
// (DeferIfBusy). Null `enabled` means always enabled; null `checked`, no tick.
struct CommandBinding {
  std::function<void(TZentropeWin&)> run{};
  std::function<bool(const TZentropeWin&)> enabled{};
  std::function<bool(const TZentropeWin&)> checked{};
  bool defer_if_busy = true;  // false: a "plain" command
};

class TCommandRegistry {
 public:
  void Add(std::uint32_t id, CommandBinding binding);  // one binding per id; a second Add replaces
  const CommandBinding* Find(std::uint32_t id) const;

 private:
  std::unordered_map<std::uint32_t, CommandBinding> bindings_;
};
