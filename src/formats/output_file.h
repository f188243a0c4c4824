// The file a picture writer creates: mode "wb" with the program's 28672-byte
// buffer, a sticky error flag, and removal of a file that was not finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TOutputFile {
 public:
  TOutputFile() = default;
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
  // Closes; false when the close or any write failed.
  bool Close();
  // Closes and deletes the file.
  void Discard();

 private:
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::string path_;
  bool error_ = false;
};
