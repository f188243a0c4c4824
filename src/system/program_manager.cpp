#include "system/program_manager.h"

#include <optional>
#include <vector>

#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/system_folder.h"
#include "system/desktop_entry.h"
#include "system/system_messages.h"
#include "system/text_file.h"

namespace {
constexpr std::string_view kVendorPrefix = "zentrope-";
constexpr char kAccessoriesGroup[] = "Accessories";
// Freedesktop menus show Utility where the program manager had Accessories.
constexpr char kAccessoriesCategories[] = "Utility;";
constexpr char kOtherCategories[] = "Graphics;";

struct ParsedCommand {
  std::string name;
  std::vector<std::string> arguments;
};

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// Arguments are split at commas outside double quotes; quotes are dropped.
std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::string current;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      arguments.push_back(Trimmed(current));
      current.clear();
    } else {
      current += c;
    }
  }
  arguments.push_back(Trimmed(current));
  return arguments;
}

// "[Name(args)][Name2]..." into its commands; nothing when malformed.
std::optional<std::vector<ParsedCommand>> Parse(std::string_view text) {
  std::vector<ParsedCommand> commands;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ' || text[at] == '\t') {
      ++at;
      continue;
    }
    if (text[at] != '[') return std::nullopt;
    const std::size_t close = text.find(']', at);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view body = text.substr(at + 1, close - at - 1);
    ParsedCommand command;
    const std::size_t open_paren = body.find('(');
    if (open_paren == std::string_view::npos) {
      command.name = Trimmed(body);
    } else {
      if (body.back() != ')') return std::nullopt;
      command.name = Trimmed(body.substr(0, open_paren));
      command.arguments = SplitArguments(body.substr(open_paren + 1, body.size() - open_paren - 2));
    }
    if (command.name.empty()) return std::nullopt;
    commands.push_back(std::move(command));
    at = close + 1;
  }
  return commands;
}

std::string Slug(std::string_view name) {
  std::string slug;
  for (const char c : name) {
    const char lower = ToLowerAscii(c);
    if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')) {
      slug += lower;
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug.empty() ? std::string("item") : slug;
}

const std::string& Argument(const ParsedCommand& command, std::size_t index) {
  static const std::string kNone;
  return index < command.arguments.size() ? command.arguments[index] : kNone;
}
}  // namespace

std::string TProgramManager::LauncherPath(std::string_view item_name) const {
  std::string slug = Slug(item_name);
  if (!slug.starts_with(kVendorPrefix)) slug = std::string(kVendorPrefix) + slug;
  return places_.Applications() + "/" + slug + ".desktop";
}

bool TProgramManager::Execute(std::string_view commands) {
  const std::optional<std::vector<ParsedCommand>> parsed = Parse(commands);
  if (!parsed) return false;
  for (const ParsedCommand& command : *parsed) {
    bool done = false;
    if (EqualsNoCase(command.name, "CreateGroup") || EqualsNoCase(command.name, "ShowGroup")) {
      group_ = Argument(command, 0);
      done = !group_.empty();
    } else if (EqualsNoCase(command.name, "AddItem")) {
      done = AddItem(Argument(command, 0), Argument(command, 1));
    } else if (EqualsNoCase(command.name, "ReplaceItem") ||
               EqualsNoCase(command.name, "DeleteItem")) {
      done =
          !Argument(command, 0).empty() && RemoveFileIfPresent(LauncherPath(Argument(command, 0)));
    }
    if (!done) return false;
  }
  return true;
}

bool TProgramManager::AddItem(std::string_view command_line, std::string_view name) {
  if (command_line.empty()) return false;
  std::string program(command_line);
  if (program.front() != '/') program = program_folder_ + "/" + program;
  const std::string item_name = name.empty() ? SplitPath(program).name : std::string(name);
  const char* categories =
      EqualsNoCase(group_, kAccessoriesGroup) ? kAccessoriesCategories : kOtherCategories;
  const std::optional<std::string> text = LauncherText(item_name, program, categories);
  return text && WriteTextFileAtomically(LauncherPath(item_name), *text);
}

bool SendProgmanCommand(std::string_view command) {
  // The program manager keeps its chosen group between conversations.
  static std::string group;
  TProgramManager manager(XdgPlaces::FromEnvironment(), WindowsDirectory(), group);
  LogLine("%s", command);
  const bool done = manager.Execute(command);
  group = manager.Group();
  if (done) return true;
  LogLine(kProgmanFailedLog, command);
  return false;
}
