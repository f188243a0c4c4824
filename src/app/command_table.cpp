#include "app/command_table.h"

#include <vector>

#include "app/command_ids.h"
#include "platform/virtual_keys.h"

namespace {
Accelerator Key(int key, std::uint32_t command, Modifiers modifiers = {}) {
  return Accelerator{Accelerator::Kind::kVirtualKey, key, modifiers, command};
}

constexpr Modifiers kShift{true, false, false};

std::vector<Accelerator> Entries() {
  return {
      Key('C', CM_CLOSE),
      Key(kVkSpace, CM_NEXT),
      Key(kVkReturn, CM_RANDOM),
      Key(kVkBack, CM_PREVIOUS),
      Key('H', CM_SHOW_COMMENTS),
      Key('L', CM_SHOW_LOG),
      Key('X', CM_EXIT),
      Key(kVkPrior, CM_ZOOM_IN),
      Key(kVkPrior, CM_CROP, kShift),
      Key(kVkNext, CM_ZOOM_OUT),
      Key(kVkEnd, CM_ROTATE),
      Key(kVkHome, CM_RELOAD, kShift),
      Key(kVkEscape, CM_FILL_WINDOW),
  };
}
}  // namespace

const TAcceleratorTable& MainAccelerators() {
  static const TAcceleratorTable table(Entries());
  return table;
}
