// Helpers shared by the uuencoded and base64 text decoders and the encoder:
// line reading with a fixed line limit, character classes and part names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_buffer.h"

// Lines are read as fgets with a 255-byte buffer reads them: at most 254
// characters, a longer line continuing as the next "line".
inline constexpr std::size_t kTextLineLimit = 255;
inline constexpr int kMaxParts = 99;
inline constexpr int kUuFullLineBytes = 45;
inline constexpr std::size_t kUuFullLineLength = 61;     // length character + 60
inline constexpr std::size_t kUuCheckedLineLength = 62;  // a trailing check character

// One line, padded with spaces to the limit so that a line whose trailing
// spaces were stripped in transit still holds the characters a decoder reads.
struct TextLine {
  char text[kTextLineLimit + 1];
  std::size_t length;  // characters before the padding
  bool StartsWith(std::string_view prefix) const {
    return std::string_view(text, kTextLineLimit).substr(0, prefix.size()) == prefix;
  }
};

// Reads lines from a file descriptor it does not own, through a file-sized buffer.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  // The next raw line (newline kept, cut at a NUL byte); false at the end.
  bool Next(TextLine& line);

 private:
  bool Refill();
  int fd_;
  unsigned char buffer_[kFileBufferSize];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

// Removes trailing characters below `limit` (exclusive) and re-pads with spaces.
void StripTrailing(TextLine& line, unsigned char limit);

// A uuencoded character: space to underscore, or the backquote that stands for
// a space.
inline bool IsUuChar(unsigned char c) {
  return (c >= ' ' && c <= '_') || c == '`';
}
inline unsigned UuValue(unsigned char c) {
  return (c - 32u) & 63u;
}
// Decodes `count` bytes from the groups of four characters at `text`.
void DecodeUuGroups(const char* text, int count, unsigned char* out);

// 0..63, or -1 for a character outside the base64 alphabet ("=" counts 0).
int Base64Value(unsigned char c);

// Part N (2..99) of a set as the stream finds it: the last character of the
// path becomes the digit N, or the last two the two digits. Empty when the path
// is too short.
std::string StreamPartName(const std::string& path, int part);
// Part N as the Decode command finds it: the extension's last characters are
// rewritten, or the extension becomes "." and the digits when it is too short.
std::string DecodePartName(const std::string& path, int part);

// Writes all of `data` at the descriptor's position; false on a short write
// (errno set, ENOSPC when the system gave no reason).
bool WriteAll(int fd, const void* data, std::size_t length);

// Collects small writes into file-sized blocks. Remembers the first failed
// write; nothing more is written after it.
class OutputBuffer {
 public:
  explicit OutputBuffer(int fd) : fd_(fd) {}
  void Write(const unsigned char* data, std::size_t length);
  // Writes what is held; false when any write failed.
  bool Flush();
  bool failed() const { return error_number_ != 0; }
  // errno of the failed write; 0 while all went well.
  int error_number() const { return error_number_; }

 private:
  int fd_;
  unsigned char buffer_[kFileBufferSize];
  std::size_t used_ = 0;
  int error_number_ = 0;
};

// A stdio file over a descriptor, with the program's file buffer size.
class BufferedFile {
 public:
  BufferedFile() = default;
  ~BufferedFile() { Close(); }
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;
  // Takes the descriptor; false (having closed it) when it cannot be used.
  bool Open(int fd, const char* mode);
  // The result of fclose; 0 when nothing was open.
  int Close();
  std::FILE* get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
};
