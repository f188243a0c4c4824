#include "app/command_registry.h"

#include <utility>

void TCommandRegistry::Add(std::uint32_t id, CommandBinding binding) {
  bindings_.insert_or_assign(id, std::move(binding));
}

const CommandBinding* TCommandRegistry::Find(std::uint32_t id) const {
  const auto found = bindings_.find(id);
  return found == bindings_.end() ? nullptr : &found->second;
}
