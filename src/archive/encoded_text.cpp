#include "archive/encoded_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/path.h"

bool LineReader::Refill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < sizeof buffer_) {
    const ssize_t got = read(fd_, buffer_ + end_, sizeof buffer_ - end_);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      eof_ = true;
      break;
    }
    end_ += static_cast<std::size_t>(got);
    break;
  }
  return end_ > begin_;
}

bool LineReader::Next(TextLine& line) {
  constexpr std::size_t kMaxChars = kTextLineLimit - 1;
  if (end_ - begin_ < kMaxChars && !eof_) Refill();
  if (begin_ == end_ && !Refill()) return false;
  const std::size_t available = std::min(end_ - begin_, kMaxChars);
  const unsigned char* start = buffer_ + begin_;
  const void* newline = std::memchr(start, '\n', available);
  const std::size_t taken =
      newline ? static_cast<std::size_t>(static_cast<const unsigned char*>(newline) - start) + 1
              : available;
  begin_ += taken;
  const void* nul = std::memchr(start, 0, taken);
  line.length =
      nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - start) : taken;
  std::memcpy(line.text, start, line.length);
  std::memset(line.text + line.length, ' ', kTextLineLimit - line.length);
  line.text[kTextLineLimit] = '\0';
  return true;
}

void StripTrailing(TextLine& line, unsigned char limit) {
  while (line.length > 0 && static_cast<unsigned char>(line.text[line.length - 1]) < limit) {
    line.text[--line.length] = ' ';
  }
}

void DecodeUuGroups(const char* text, int count, unsigned char* out) {
  for (int done = 0; done < count; done += 3, text += 4) {
    const unsigned a = UuValue(text[0]), b = UuValue(text[1]);
    const unsigned c = UuValue(text[2]), d = UuValue(text[3]);
    const unsigned char group[3] = {static_cast<unsigned char>(a << 2 | b >> 4),
                                    static_cast<unsigned char>((b & 15) << 4 | c >> 2),
                                    static_cast<unsigned char>((c & 3) << 6 | d)};
    for (int i = 0; i < 3 && done + i < count; ++i) *out++ = group[i];
  }
}

int Base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  if (c == '=') return 0;
  return -1;
}

namespace {
std::string PartDigits(int part) {
  return part <= 9 ? std::string(1, static_cast<char>('0' + part)) : std::to_string(part);
}
}  // namespace

std::string StreamPartName(const std::string& path, int part) {
  const std::string digits = PartDigits(part);
  if (path.size() < digits.size()) return {};
  return path.substr(0, path.size() - digits.size()) + digits;
}

std::string DecodePartName(const std::string& path, int part) {
  PathParts parts = SplitPath(path);
  const std::string digits = PartDigits(part);
  // The extension's characters after its dot.
  if (parts.extension.size() < digits.size() + 1) {
    parts.extension = "." + digits;
  } else {
    parts.extension.replace(parts.extension.size() - digits.size(), digits.size(), digits);
  }
  return JoinPath(parts);
}

bool WriteAll(int fd, const void* data, std::size_t length) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    const ssize_t wrote = write(fd, bytes, length);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote == 0) errno = ENOSPC;
    if (wrote <= 0) return false;
    bytes += wrote;
    length -= static_cast<std::size_t>(wrote);
  }
  return true;
}

void OutputBuffer::Write(const unsigned char* data, std::size_t length) {
  while (length > 0 && !failed()) {
    if (used_ == sizeof buffer_ && !Flush()) return;
    const std::size_t take = std::min(length, sizeof buffer_ - used_);
    std::memcpy(buffer_ + used_, data, take);
    used_ += take;
    data += take;
    length -= take;
  }
}

bool OutputBuffer::Flush() {
  if (used_ > 0 && !failed() && !WriteAll(fd_, buffer_, used_)) {
    error_number_ = errno != 0 ? errno : EIO;
  }
  used_ = 0;
  return !failed();
}

bool BufferedFile::Open(int fd, const char* mode) {
  Close();
  if (fd < 0) return false;
  buffer_.reset(new (std::nothrow) char[kFileBufferSize]);
  file_ = fdopen(fd, mode);
  if (!file_) {
    close(fd);
    return false;
  }
  if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferSize);
  return true;
}

int BufferedFile::Close() {
  if (!file_) return 0;
  const int result = std::fclose(file_);
  file_ = nullptr;
  buffer_.reset();
  return result;
}
