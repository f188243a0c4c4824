// The help viewer: the program's help file is an HTML book (".hhp" or a zip
// of one) shown by wxHtmlHelpController, or a plain HTML page shown by the
// desktop's browser. The program names its help file "<program>.hlp"; the
// viewer looks for those forms beside it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/help_viewer.h"

class wxHtmlHelpController;

// The files tried for `file`, in order: the book (.hhp, .zip), then the page
// (.html, .htm); the file itself first when it already has one of those forms.
std::vector<std::string> HelpFileCandidates(const std::string& file);

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
