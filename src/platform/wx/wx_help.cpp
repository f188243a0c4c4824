#include "platform/wx/wx_help.h"

#include <sys/stat.h>
#include <wx/html/helpctrl.h>
#include <wx/utils.h>

#include "platform/path.h"

namespace {
bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsBook(const std::string& path) {
  const std::string extension = SplitPath(path).extension;
  return EqualsNoCase(extension, ".hhp") || EqualsNoCase(extension, ".zip");
}
}  // namespace

std::vector<std::string> HelpFileCandidates(const std::string& file) {
  std::vector<std::string> candidates;
  const PathParts parts = SplitPath(file);
  for (const char* extension : {".hhp", ".zip", ".html", ".htm"}) {
    if (EqualsNoCase(parts.extension, extension)) candidates.push_back(file);
  }
  for (const char* extension : {".hhp", ".zip", ".html", ".htm"}) {
    PathParts other = parts;
    other.extension = extension;
    const std::string path = JoinPath(other);
    if (path != file) candidates.push_back(path);
  }
  return candidates;
}

TWxHelp::TWxHelp() = default;
TWxHelp::~TWxHelp() {
  Close();
}

void TWxHelp::Close() {
  if (controller_) controller_->Quit();
  controller_.reset();
  book_.clear();
}

bool TWxHelp::ShowHelp(WindowId owner, const std::string& file, HelpCommand command) {
  (void)owner;
  if (command == HelpCommand::kQuit) {
    Close();
    return true;
  }
  for (const std::string& candidate : HelpFileCandidates(file)) {
    if (!IsRegularFile(candidate)) continue;
    if (!IsBook(candidate)) {
      return wxLaunchDefaultBrowser("file://" + wxString::FromUTF8(candidate));
    }
    if (!controller_ || book_ != candidate) {
      controller_ = std::make_unique<wxHtmlHelpController>();
      if (!controller_->AddBook(wxString::FromUTF8(candidate))) {
        controller_.reset();
        return false;
      }
      book_ = candidate;
    }
    return controller_->DisplayContents();
  }
  return false;
}
