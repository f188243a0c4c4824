#include "formats/output_file.h"

#include <new>

#include "archive/encoded_text.h"

TOutputFile::~TOutputFile() {
  Close();
}

bool TOutputFile::Create(const std::string& path) {
  Close();
  error_ = false;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  path_ = path;
  buffer_.reset(new (std::nothrow) char[kFileBufferSize]);
  // Without its own buffer the file still works with the library's.
  if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferSize);
  return true;
}

bool TOutputFile::Write(const void* data, std::size_t size) {
  if (file_ == nullptr || error_) return false;
  if (size > 0 && std::fwrite(data, 1, size, file_) != size) error_ = true;
  return !error_;
}

bool TOutputFile::Flush() {
  if (file_ == nullptr || error_) return false;
  if (std::fflush(file_) != 0 || std::ferror(file_)) error_ = true;
  return !error_;
}

bool TOutputFile::Close() {
  if (file_ == nullptr) return !error_;
  if (std::fclose(file_) != 0) error_ = true;
  file_ = nullptr;
  buffer_.reset();
  return !error_;
}

void TOutputFile::Discard() {
  Close();
  if (!path_.empty()) std::remove(path_.c_str());
  path_.clear();
}
