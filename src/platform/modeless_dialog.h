// A described dialog that stays up while the program goes on working: it is
// shown centred over its owner, its buttons' handlers run when the user
// presses them (the work sees that when it pumps messages), and it goes away
// when the object is dropped.
#pragma once

#include "platform/dialog_template.h"

class ModelessDialog {
 public:
  virtual ~ModelessDialog() = default;
  // The live values and whether a button closed it meanwhile.
  virtual const TDialogState& State() const = 0;
};
