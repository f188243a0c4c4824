// The file a picture writer creates: mode "wb" with the program's 28672-byte
// buffer and a sticky error flag. The picture is written to a temporary file
// beside the target and renamed over it only by an explicit Close, so a failed
// or cancelled save, or an exception unwinding through the writer, leaves no
// half file and never destroys the file it would have replaced. Targets that
// are not regular files (devices, pipes) are written directly and never
// removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TOutputFile {
 public:
  TOutputFile() = default;
  // Discards: only Close puts a file in place.
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // False when the file cannot be created.
  bool Create(const std::string& path);
  // False (and the error flag set) on a short write; once in error every
  // later write fails at once.
  bool Write(const void* data, std::size_t size);
  bool PutByte(std::uint8_t byte) { return Write(&byte, 1); }
  bool Flush();
  bool HasError() const { return error_; }
  // The open stream, for libraries that seek and write through their own
  // procedures (libtiff); null before Create and after Close or Discard.
  std::FILE* Stream() { return file_; }
  // Closes and puts the finished file in place; false when the close, the
  // rename or any write failed (the target is then left as it was).
  bool Close();
  // Closes and drops what was written; the target is left as it was.
  void Discard();

 private:
  bool CloseStream();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::string path_;       // the target
  std::string temp_path_;  // empty when writing the target directly
  bool error_ = false;
};
