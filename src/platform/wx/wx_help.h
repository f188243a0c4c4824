// The help viewer: the program's help file is an HTML book (".hhp" or a zip
// of one) shown by wxHtmlHelpController, or a plain HTML page shown by the
// desktop's browser. The viewer looks for those forms beside the file the
// program names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/help_viewer.h"

class wxHtmlHelpController;

// The files tried for `file`, in order: the book (.hhp, .zip), then the page
// (.html, .htm); the file itself first when it already has one of those forms,
// last when it has another (an installed copy's ".hlp" page).
std::vector<std::string> HelpFileCandidates(const std::string& file);

// A browser decides by the name what a local file is: an HTML page named
// otherwise is shown through a link named "<base>.html" in `folder` (made
// when missing). The page itself when it is named ".html" or ".htm"; empty
// when the link cannot be made.
std::string BrowsableHelpPage(const std::string& page, const std::string& folder);

class TWxHelp : public HelpViewer {
 public:
  TWxHelp();
  ~TWxHelp() override;
  bool ShowHelp(WindowId owner, const std::string& file, HelpCommand command) override;
  void Close();

 private:
  std::unique_ptr<wxHtmlHelpController> controller_;
  std::string book_;
};
