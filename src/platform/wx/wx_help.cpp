#include "platform/wx/wx_help.h"

#include <sys/stat.h>
#include <unistd.h>
#include <wx/html/helpctrl.h>
#include <wx/utils.h>

#include <cstdlib>

#include "platform/path.h"
#include "platform/system_folder.h"

namespace {
bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

constexpr const char* kHelpForms[] = {".hhp", ".zip", ".html", ".htm"};
constexpr char kPageForm[] = ".html";
constexpr char kLinkFolder[] = "zentrope";

bool IsPageName(const std::string& path) {
  const std::string extension = SplitPath(path).extension;
  return EqualsNoCase(extension, ".html") || EqualsNoCase(extension, ".htm");
}

// $XDG_CACHE_HOME/zentrope, a folder of the user's own.
std::string LinkFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const std::string base =
      cache && *cache == '/' ? std::string(cache) : HomeDirectory() + "/.cache";
  return base + "/" + kLinkFolder;
}

bool IsBook(const std::string& path) {
  const std::string extension = SplitPath(path).extension;
  return EqualsNoCase(extension, ".hhp") || EqualsNoCase(extension, ".zip");
}
}  // namespace

std::vector<std::string> HelpFileCandidates(const std::string& file) {
  std::vector<std::string> candidates;
  const PathParts parts = SplitPath(file);
  for (const char* extension : kHelpForms) {
    if (EqualsNoCase(parts.extension, extension)) candidates.push_back(file);
  }
  const bool named_otherwise = candidates.empty();
  for (const char* extension : kHelpForms) {
    PathParts other = parts;
    other.extension = extension;
    const std::string path = JoinPath(other);
    if (path != file) candidates.push_back(path);
  }
  if (named_otherwise) candidates.push_back(file);
  return candidates;
}

std::string BrowsableHelpPage(const std::string& page, const std::string& folder) {
  if (IsPageName(page)) return page;
  std::string target = page;
  if (target.empty()) return {};
  if (target.front() != '/') {
    char* here = getcwd(nullptr, 0);
    if (!here) return {};
    target = std::string(here) + "/" + target;
    std::free(here);
  }
  if (!EnsureDirectory(folder)) return {};
  PathParts parts = SplitPath(page);
  parts.directory = folder + "/";
  parts.extension = kPageForm;
  const std::string link = JoinPath(parts);
  // Only an earlier link is replaced, never a file of the user's.
  struct stat info {};
  if (lstat(link.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode) || unlink(link.c_str()) != 0) return {};
  }
  return symlink(target.c_str(), link.c_str()) == 0 ? link : std::string();
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
      const std::string page = BrowsableHelpPage(candidate, LinkFolder());
      return !page.empty() && wxLaunchDefaultBrowser("file://" + wxString::FromUTF8(page));
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
