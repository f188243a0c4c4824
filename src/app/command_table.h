// The main window's accelerator table: keys that become commands before a
// message is dispatched, whether the menu is shown or not.
#pragma once

#include "platform/accelerator_table.h"

const TAcceleratorTable& MainAccelerators();
