// The help viewer that shows the program's help file.
#pragma once

#include <string>

#include "platform/message.h"

enum class HelpCommand { kContents, kHelpOnHelp, kQuit };

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Asks the viewer to show `file` at its contents, to show help on using
  // help, or to close. False when the request could not be carried out.
  virtual bool ShowHelp(WindowId owner, const std::string& file, HelpCommand command) = 0;
};
