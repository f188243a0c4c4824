#include "files/copy_with_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "files/file_messages.h"
#include "platform/file_buffer.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/temp_file.h"

namespace {

constexpr std::size_t kCopyBlockSize = 16384;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opening a symbolic link for writing writes its target; replacing the
// target keeps that.
std::string WrittenPath(const std::string& destination) {
  struct stat info {};
  if (lstat(destination.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return destination;
  char* resolved = realpath(destination.c_str(), nullptr);
  if (!resolved) return destination;
  std::string path(resolved);
  std::free(resolved);
  return path;
}

// A replaced file keeps its permissions; a new one gets what creating it
// would have given.
mode_t ModeForReplacement(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & kPermissionBits;
  // Reading the mask means setting it; the program has one thread.
  const mode_t mask = umask(0);
  umask(mask);
  return kNewFileMode & ~mask;
}

bool CopyBytes(std::FILE* in, std::FILE* out, std::int64_t size) {
  std::vector<unsigned char> block;
  try {
    block.resize(kCopyBlockSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::int64_t copied = 0;
  while (const std::size_t got = std::fread(block.data(), 1, block.size(), in)) {
    if (std::fwrite(block.data(), 1, got, out) != got) return false;
    copied += static_cast<std::int64_t>(got);
    ShowProgress(static_cast<int>(std::min<std::int64_t>(100, copied * 100 / (size + 1))));
  }
  return !std::ferror(in);
}

// Copies into a new file beside `target` and renames it over `target` only
// when every byte is written and the file is closed without error.
bool CopyIntoPlace(std::FILE* in, std::int64_t size, const std::string& target) {
  std::string temp_path;
  const int fd = CreateTempFileBeside(target, temp_path);
  if (fd < 0) return false;
  fchmod(fd, ModeForReplacement(target));
  FileHandle out(fdopen(fd, "wb"));
  if (!out) {
    close(fd);
    unlink(temp_path.c_str());
    return false;
  }
  std::setvbuf(out.get(), nullptr, _IOFBF, kFileBufferSize);
  bool ok = CopyBytes(in, out.get(), size);
  ok = std::fflush(out.get()) == 0 && ok;
  ok = fsync(fileno(out.get())) == 0 && ok;
  ok = std::fclose(out.release()) == 0 && ok;
  ok = ok && std::rename(temp_path.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp_path.c_str());
  return ok;
}

enum class Transfer { kFailed, kCopied, kRenamed };

Transfer TransferFile(const std::string& source, const std::string& destination, bool move) {
  FileHandle in(std::fopen(source.c_str(), "rb"));
  if (!in) return Transfer::kFailed;
  std::setvbuf(in.get(), nullptr, _IOFBF, kFileBufferSize);
  struct stat source_info {};
  if (fstat(fileno(in.get()), &source_info) != 0 || !S_ISREG(source_info.st_mode)) {
    return Transfer::kFailed;
  }
  const std::string target = WrittenPath(destination);
  struct stat target_info {};
  if (stat(target.c_str(), &target_info) == 0 && SameFile(source_info, target_info)) {
    return Transfer::kFailed;  // writing would truncate the source itself
  }
  if (move && std::rename(source.c_str(), target.c_str()) == 0) return Transfer::kRenamed;
  return CopyIntoPlace(in.get(), source_info.st_size, target) ? Transfer::kCopied
                                                              : Transfer::kFailed;
}

}  // namespace

bool CopyWithLog(const std::string& source, const std::string& destination, bool delete_source) {
  LogLine(kCopyingLine, source, destination);
  ShowProgress(0);
  const Transfer transfer = TransferFile(source, destination, delete_source);
  EndProgress();
  if (transfer == Transfer::kFailed) {
    LogLine(kCopyErrorLine, source, destination);
    return false;
  }
  LogLine(kCopiedLine, source, destination);
  if (!delete_source) return true;
  if (transfer == Transfer::kRenamed || unlink(source.c_str()) == 0) {
    LogLine(kDeletedLine, source);
    return true;
  }
  LogLine(kDeleteErrorLine, source);
  return false;
}
