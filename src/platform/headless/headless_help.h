// The headless help viewer: records every request; a file is "shown" when it exists.
#pragma once

#include <string>
#include <vector>

#include "platform/help_viewer.h"

struct HelpRequest {
  std::string file;
  HelpCommand command = HelpCommand::kContents;
};

class THeadlessHelp : public HelpViewer {
 public:
  bool ShowHelp(WindowId owner, const std::string& file, HelpCommand command) override;
  const std::vector<HelpRequest>& Requests() const { return requests_; }
  bool IsOpen() const { return open_; }

 private:
  std::vector<HelpRequest> requests_;
  bool open_ = false;
};
