#include "system/mime_types.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/log_sink.h"
#include "platform/path.h"
#include "system/external_tool.h"
#include "system/system_messages.h"
#include "system/text_file.h"

namespace {
struct ExtensionType {
  std::string_view extension;
  std::string_view mime_type;
};

constexpr char kOwnMci[] = "application/x-zentrope-mci";
constexpr char kOwnMmm[] = "video/x-zentrope-mmm";
constexpr char kOwnSli[] = "application/x-zentrope-slideshow";
constexpr char kOwnUuPart[] = "text/x-zentrope-uuencode-part";

// The shared MIME database's names where it has one (Debian 12's).
constexpr std::array<ExtensionType, 21> kTable = {{
    {".gif", "image/gif"},
    {".bmp", "image/bmp"},
    {".dib", "image/bmp"},
    {".rle", "image/rle"},
    {".pcx", "image/vnd.zbrush.pcx"},
    {".tga", "image/x-tga"},
    {".jpg", "image/jpeg"},
    {".tif", "image/tiff"},
    {".mid", "audio/midi"},
    {".wav", "audio/x-wav"},
    {".mci", kOwnMci},
    {".avi", "video/x-msvideo"},
    {".mpg", "video/mpeg"},
    {".mmm", kOwnMmm},
    {".mov", "video/quicktime"},
    {".fli", "video/x-flic"},
    {".flc", "video/x-flic"},
    {".sli", kOwnSli},
    {".uue", "text/x-uuencode"},
    {".uu1", kOwnUuPart},
    {".01", kOwnUuPart},
}};

constexpr char kDeclaredTypePrefix[] = "application/x-zentrope-extension-";
constexpr char kPackageName[] = "zentrope.xml";
constexpr char kUpdateTool[] = "update-mime-database";

void AddOnce(std::vector<std::string>& types, std::string_view type) {
  for (const std::string& known : types) {
    if (known == type) return;
  }
  types.emplace_back(type);
}

// Lines of globs2 read "weight:type:glob[:flags]".
void AddGlobMatches(const std::string& globs_file, std::string_view extension,
                    std::vector<std::string>& types) {
  std::ifstream in(globs_file);
  std::string line;
  const std::string wanted = "*" + ToLower(extension);
  while (std::getline(in, line)) {
    if (line.empty() || line.front() == '#') continue;
    const std::size_t first = line.find(':');
    if (first == std::string::npos) continue;
    const std::size_t second = line.find(':', first + 1);
    if (second == std::string::npos) continue;
    std::size_t end = line.find(':', second + 1);
    if (end == std::string::npos) end = line.size();
    if (ToLower(std::string_view(line).substr(second + 1, end - second - 1)) == wanted) {
      AddOnce(types, std::string_view(line).substr(first + 1, second - first - 1));
    }
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

// The types of the program's own files that the shared database lacks.
std::string OwnTypes() {
  return "  <mime-type type=\"" + std::string(kOwnMci) +
         "\">\n"
         "    <comment>Media command script</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*.mci\"/>\n"
         "  </mime-type>\n"
         "  <mime-type type=\"" +
         std::string(kOwnMmm) +
         "\">\n"
         "    <comment>Multimedia movie</comment>\n"
         "    <glob pattern=\"*.mmm\"/>\n"
         "  </mime-type>\n"
         "  <mime-type type=\"" +
         std::string(kOwnSli) +
         "\">\n"
         "    <comment>Slideshow list</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*.sli\"/>\n"
         "  </mime-type>\n"
         "  <mime-type type=\"" +
         std::string(kOwnUuPart) +
         "\">\n"
         "    <comment>Part of a uuencoded file</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*.uu1\"/>\n"
         "    <glob pattern=\"*.01\"/>\n"
         "  </mime-type>\n";
}

bool UpdateDatabase(const XdgPlaces& places) {
  if (FindTool(kUpdateTool).empty()) return true;
  if (RunTool({kUpdateTool, places.MimeDatabase()}) == 0) return true;
  LogLine(kToolFailedLog, kUpdateTool);
  return false;
}
}  // namespace

std::vector<std::string> MimeTypesOf(std::string_view extension, const XdgPlaces& places) {
  std::vector<std::string> types;
  for (const ExtensionType& entry : kTable) {
    if (EqualsNoCase(entry.extension, extension)) AddOnce(types, entry.mime_type);
  }
  if (!types.empty() || extension.size() < 2 || extension.front() != '.' ||
      extension.find('/') != std::string_view::npos) {
    return types;
  }
  AddGlobMatches(places.MimeDatabase() + "/globs2", extension, types);
  for (const std::string& dir : places.data_dirs) {
    AddGlobMatches(dir + "/mime/globs2", extension, types);
  }
  // Once declared, the program's own type is in the user's database too:
  // it counts only when no other type knows the extension.
  std::erase_if(types,
                [](const std::string& type) { return type.starts_with(kDeclaredTypePrefix); });
  if (types.empty()) {
    if (std::optional<std::string> declared = DeclaredMimeTypeOf(extension)) {
      types.push_back(std::move(*declared));
    }
  }
  return types;
}

std::optional<std::string> DeclaredMimeTypeOf(std::string_view extension) {
  if (extension.size() < 2 || extension.front() != '.') return std::nullopt;
  std::string type = kDeclaredTypePrefix;
  for (const char c : extension.substr(1)) {
    const bool fits = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '+';
    if (!fits) return std::nullopt;
  }
  return type + ToLower(extension.substr(1));
}

std::vector<std::string> HandledMimeTypes() {
  std::vector<std::string> types;
  for (const ExtensionType& entry : kTable) AddOnce(types, entry.mime_type);
  return types;
}

std::string MimePackageText(bool own_types, const std::vector<std::string>& declared_extensions) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  if (own_types) text += OwnTypes();
  for (const std::string& extension : declared_extensions) {
    const std::optional<std::string> type = DeclaredMimeTypeOf(extension);
    if (!type) continue;
    text += "  <mime-type type=\"" + *type + "\">\n    <comment>" +
            ToUpper(std::string_view(extension).substr(1)) +
            " file</comment>\n    <glob pattern=\"*" + ToLower(extension) +
            "\"/>\n  </mime-type>\n";
  }
  return text + "</mime-info>\n";
}

std::string MimePackagePath(const XdgPlaces& places) {
  return places.MimeDatabase() + "/packages/" + kPackageName;
}

bool UpdateMimePackage(const XdgPlaces& places, const std::string& text) {
  const std::string path = MimePackagePath(places);
  if (text.empty()) {
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return true;
    if (!RemoveFileIfPresent(path)) {
      LogLine(kDeleteFailedLog, path);
      return false;
    }
    return UpdateDatabase(places);
  }
  if (ReadWholeFile(path) == text) return true;
  if (!WriteTextFileAtomically(path, text)) {
    LogLine(kProfileFailedLog, path);
    return false;
  }
  return UpdateDatabase(places);
}
