// GIF files built in code for the reader and writer tests: a bit writer that
// follows a decoder's code widths, and a file builder for screens, tables,
// extensions and images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gif_test {

// Packs codes least significant bit first and tracks the width a decoder
// expects: each code after the first (after a clear) adds a table entry.
class CodeWriter {
 public:
  explicit CodeWriter(int min_code_size) : min_(min_code_size) { Reset(); }

  void Clear() {
    Put(1 << min_);
    Reset();
  }
  void End() { Put((1 << min_) + 1); }
  // A code that a decoder turns into table growth like any other.
  void Code(int code) {
    Put(code);
    if (first_) {
      first_ = false;
      next_free_ = (1 << min_) + 2;
      return;
    }
    if (next_free_ < 4096) ++next_free_;
    if (next_free_ > (1 << width_) - 1 && width_ < 12) ++width_;
  }
  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> out = bytes_;
    if (bit_count_ > 0) out.push_back(static_cast<std::uint8_t>(bits_));
    return out;
  }

 private:
  void Reset() {
    width_ = min_ + 1;
    first_ = true;
  }
  void Put(int code) {
    bits_ |= static_cast<std::uint32_t>(code) << bit_count_;
    bit_count_ += width_;
    while (bit_count_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(bits_));
      bits_ >>= 8;
      bit_count_ -= 8;
    }
  }

  int min_;
  int width_ = 0;
  int next_free_ = 0;
  bool first_ = true;
  std::uint32_t bits_ = 0;
  int bit_count_ = 0;
  std::vector<std::uint8_t> bytes_;
};

// Pixels as literal codes (a clear before every run that would widen codes).
inline std::vector<std::uint8_t> LiteralData(int min_code_size,
                                             const std::vector<std::uint8_t>& pixels) {
  CodeWriter writer(min_code_size);
  writer.Clear();
  const int run = (1 << min_code_size) - 2;
  int in_run = 0;
  for (std::uint8_t pixel : pixels) {
    if (in_run == run) {
      writer.Clear();
      in_run = 0;
    }
    writer.Code(pixel);
    ++in_run;
  }
  writer.End();
  return writer.Bytes();
}

class FileBuilder {
 public:
  // A screen with a global table of 2^(size_field+1) entries (colour i is
  // (i, 2i, 3i) modulo 256), or none when global_table is false.
  FileBuilder(int width, int height, int size_field, bool global_table = true, int background = 0) {
    Append("GIF89a");
    U16(width);
    U16(height);
    bytes_.push_back(static_cast<std::uint8_t>((global_table ? 0x80 : 0) | size_field));
    bytes_.push_back(static_cast<std::uint8_t>(background));
    bytes_.push_back(0);
    if (global_table) Table(2 << size_field);
  }

  FileBuilder& Comment(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0xFE});
    SubBlocks(std::vector<std::uint8_t>(text.begin(), text.end()));
    return *this;
  }
  FileBuilder& Transparent(int index) {
    bytes_.insert(bytes_.end(),
                  {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<std::uint8_t>(index), 0x00});
    return *this;
  }
  FileBuilder& Image(int left, int top, int width, int height, bool interlaced, int min_code_size,
                     const std::vector<std::uint8_t>& data, int local_size_field = -1) {
    bytes_.push_back(0x2C);
    U16(left);
    U16(top);
    U16(width);
    U16(height);
    int flags = interlaced ? 0x40 : 0;
    if (local_size_field >= 0) flags |= 0x80 | local_size_field;
    bytes_.push_back(static_cast<std::uint8_t>(flags));
    if (local_size_field >= 0) Table(2 << local_size_field, 7);
    bytes_.push_back(static_cast<std::uint8_t>(min_code_size));
    SubBlocks(data);
    return *this;
  }
  FileBuilder& Raw(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  std::vector<std::uint8_t> Finish() {
    bytes_.push_back(0x3B);
    return bytes_;
  }
  std::vector<std::uint8_t> Unfinished() const { return bytes_; }

 private:
  void Append(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void U16(int value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void Table(int entries, int salt = 0) {
    for (int i = 0; i < entries; ++i) {
      bytes_.push_back(static_cast<std::uint8_t>(i + salt));
      bytes_.push_back(static_cast<std::uint8_t>(2 * i + salt));
      bytes_.push_back(static_cast<std::uint8_t>(3 * i + salt));
    }
  }
  void SubBlocks(const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t length = std::min<std::size_t>(255, data.size() - at);
      bytes_.push_back(static_cast<std::uint8_t>(length));
      bytes_.insert(bytes_.end(), data.begin() + static_cast<long>(at),
                    data.begin() + static_cast<long>(at + length));
    }
    bytes_.push_back(0);
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace gif_test
