#include "system/desktop_entry.h"

#include "system/mime_types.h"

namespace {
constexpr std::string_view kOpenSuffix = " %1";
constexpr std::string_view kPrintSuffix = " -p %1";
// Characters that make a word need quotes in an Exec line.
constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";

bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::optional<std::string> ProgramBefore(std::string_view command, std::string_view suffix) {
  if (command.size() <= suffix.size() || !command.ends_with(suffix)) return std::nullopt;
  return std::string(command.substr(0, command.size() - suffix.size()));
}

// Entry values are strings first: a backslash is written doubled.
std::string EscapedValue(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}
}  // namespace

std::optional<std::string> ExecWord(std::string_view word) {
  if (word.empty() || HasControlCharacter(word)) return std::nullopt;
  std::string out;
  const bool quote = word.find_first_of(kReserved) != std::string_view::npos;
  if (quote) out += '"';
  for (const char c : word) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    // A lone "%" would read as a field code.
    if (c == '%') out += '%';
    out += c;
  }
  if (quote) out += '"';
  return EscapedValue(out);
}

std::optional<std::string> ProgramOfOpenCommand(std::string_view command) {
  if (command.ends_with(kPrintSuffix)) return std::nullopt;
  return ProgramBefore(command, kOpenSuffix);
}

std::optional<std::string> ProgramOfPrintCommand(std::string_view command) {
  return ProgramBefore(command, kPrintSuffix);
}

std::optional<std::string> ProgramEntryText(std::string_view open_command,
                                            std::optional<std::string_view> print_command,
                                            const std::vector<std::string>& declared_types) {
  const std::optional<std::string> program = ProgramOfOpenCommand(open_command);
  const std::optional<std::string> open_exec = program ? ExecWord(*program) : std::nullopt;
  if (!open_exec) return std::nullopt;
  std::optional<std::string> print_exec;
  if (print_command) {
    const std::optional<std::string> printer = ProgramOfPrintCommand(*print_command);
    if (printer) print_exec = ExecWord(*printer);
  }
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Zentrope\n"
      "GenericName=Picture Viewer\n"
      "Comment=View, convert and show pictures, sounds and movies\n"
      "Exec=" +
      *open_exec +
      " %F\n"
      "Terminal=false\n"
      // The menu item is the launcher the install makes on request.
      "NoDisplay=true\n"
      "Categories=Graphics;Viewer;\n"
      "MimeType=";
  for (const std::string& type : HandledMimeTypes()) text += type + ";";
  for (const std::string& type : declared_types) text += type + ";";
  text += "\n";
  if (print_exec) {
    text +=
        "Actions=print;\n\n[Desktop Action print]\nName=Print\nExec=" + *print_exec + " -p %f\n";
  }
  return text;
}

std::string ProgramEntryPath(const XdgPlaces& places) {
  return places.Applications() + "/" + kProgramDesktopId;
}

std::optional<std::string> LauncherText(std::string_view name, std::string_view program,
                                        std::string_view categories) {
  const std::optional<std::string> exec = ExecWord(program);
  if (!exec || name.empty() || HasControlCharacter(name)) return std::nullopt;
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         EscapedValue(name) +
         "\n"
         "Exec=" +
         *exec +
         " %F\n"
         "Terminal=false\n"
         "Categories=" +
         std::string(categories) + "\n";
}
