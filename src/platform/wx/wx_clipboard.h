// The desktop clipboard. A picture goes out as BMP (image/bmp, the packed
// bitmap behind a file header, so that palettes survive) and as PNG, text as
// UTF-8 text; pasting prefers BMP, then any picture the toolkit can read.
// What the program sets between Open and Close goes out on Close, in one piece.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/clipboard.h"

// A BMP file's bytes for a packed bitmap; empty when the bitmap is not one
// the program makes (uncompressed, 8 or 24 bits, rows inside the bytes).
std::vector<std::uint8_t> BmpFileFromPackedDib(std::span<const std::uint8_t> packed_dib);
// The packed bitmap inside a BMP file that the program can read back; nothing
// when the file is short, not a BMP or not uncompressed 8 or 24 bits.
std::optional<std::vector<std::uint8_t>> PackedDibFromBmpFile(std::span<const std::uint8_t> file);

class TWxClipboard : public Clipboard {
 public:
  bool Open(WindowId owner) override;
  void Close() override;
  bool Empty() override;
  bool SetPicture(ClipboardPicture picture) override;
  bool SetText(std::string text) override;
  bool HasPicture() const override;
  bool HasText() const override;
  std::optional<ClipboardPicture> GetPicture() const override;
  std::optional<std::string> GetText() const override;
  // Leaves what the program put there with the desktop's clipboard manager,
  // so that it outlives the program.
  void HandOver();

 private:
  bool open_ = false;
  bool changed_ = false;
  bool emptied_ = false;
  std::optional<ClipboardPicture> picture_;
  std::optional<std::string> text_;
};
