#include "platform/headless/headless_help.h"

#include <sys/stat.h>

bool THeadlessHelp::ShowHelp(WindowId owner, const std::string& file, HelpCommand command) {
  (void)owner;
  requests_.push_back(HelpRequest{file, command});
  if (command == HelpCommand::kQuit) {
    open_ = false;
    return true;
  }
  struct stat info {};
  const bool exists = ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  open_ = open_ || exists;
  return exists;
}
