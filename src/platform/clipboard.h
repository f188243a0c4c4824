// The clipboard: a picture (a packed device-independent bitmap and its
// palette) and text. As on the platform it is opened by one window at a time;
// setting and getting need it open, asking what it offers does not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/message.h"

struct ClipboardPicture {
  std::vector<std::uint8_t> packed_dib;
  std::vector<PaletteColour> palette;  // may be empty
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // False when another owner holds it or it is not available.
  virtual bool Open(WindowId owner) = 0;
  virtual void Close() = 0;
  // Removes everything; false when not open.
  virtual bool Empty() = 0;
  // Add a format; false when not open.
  virtual bool SetPicture(ClipboardPicture picture) = 0;
  virtual bool SetText(std::string text) = 0;
  virtual bool HasPicture() const = 0;
  virtual bool HasText() const = 0;
  // Nothing when not open or not offered.
  virtual std::optional<ClipboardPicture> GetPicture() const = 0;
  virtual std::optional<std::string> GetText() const = 0;
};
