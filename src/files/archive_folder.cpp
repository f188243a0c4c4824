#include "files/archive_folder.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "archive/archive_messages.h"
#include "archive/regular_input.h"
#include "archive/safe_name.h"
#include "archive/zip_central_directory.h"
#include "archive/zip_member_path.h"
#include "files/file_types.h"
#include "platform/log_sink.h"
#include "platform/path.h"

namespace {

bool IsOneOf(std::string_view extension, std::initializer_list<std::string_view> members) {
  return std::any_of(members.begin(), members.end(), [extension](std::string_view member) {
    return EqualsNoCase(extension, member);
  });
}

// The picture class, and the longer spellings archive makers use.
bool IsPictureMemberName(std::string_view shown_name) {
  const std::string extension = SplitPath(shown_name).extension;
  return ExtensionInClass(extension, kAllImageFiles) || IsOneOf(extension, {".jpeg", ".tiff"});
}

// Logs why a picture member cannot be shown; true when it can.
bool ReadableOrLogged(const ZipCentralMember& member, const std::string& entry_name) {
  if (IsEncryptedMember(member)) {
    LogLine(kLogMemberEncrypted, entry_name);
    return false;
  }
  if (!IsReadableMethod(member)) {
    LogLine(kLogMemberMethod, entry_name);
    return false;
  }
  if (!FitsInputStream(member)) {
    LogLine(kLogMemberTooLarge, entry_name);
    return false;
  }
  return true;
}

}  // namespace

bool IsArchiveFolderExtension(std::string_view extension) {
  return IsOneOf(extension, {".zip", ".cbz"});
}

bool ClassTakesArchiveFolders(int index) {
  return index == kAllImageFiles || index == kZipFiles || index == kAllKnownFiles ||
         index == kAllFiles;
}

std::vector<std::string> ArchivePictureNames(const std::string& archive_path) {
  const TRegularInput input(archive_path);
  if (input.fd() < 0) return {};
  const ZipCentralDirectory directory = ReadZipCentralDirectory(input.fd());
  if (directory.status == ZipDirectoryStatus::kDamaged) LogLine(kLogZipDamaged, archive_path);
  std::vector<std::string> names;
  for (const ZipCentralMember& member : directory.members) {
    const std::string shown = ReplaceControlBytes(member.name);
    if (shown.empty() || shown.back() == '/' || !IsPictureMemberName(shown)) continue;
    const std::string entry_name = JoinArchiveMemberPath(archive_path, shown);
    if (ReadableOrLogged(member, entry_name)) names.push_back(entry_name);
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareNoCase(a, b) < 0;
  });
  return names;
}

bool IsArchiveMember(std::string_view path) {
  return SplitArchiveMemberPath(path).has_value();
}

std::string ArchiveMemberCaptionName(std::string_view path) {
  const std::optional<ArchiveMemberPath> split = SplitArchiveMemberPath(path);
  if (!split) return {};
  const PathParts archive = SplitPath(split->archive);
  return JoinArchiveMemberPath(archive.name + archive.extension, split->member);
}

std::string PathBesideArchive(std::string_view path) {
  const std::optional<ArchiveMemberPath> split = SplitArchiveMemberPath(path);
  if (!split) return std::string(path);
  const std::string base_name = ReduceToSafeFileName(split->member);
  // A member whose name leaves nothing safe is saved under the archive's name.
  if (base_name.empty()) return split->archive;
  return SplitPath(split->archive).directory + base_name;
}
