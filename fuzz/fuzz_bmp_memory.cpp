// The BMP reader on a packed bitmap in memory (the clipboard's shape), both
// directly and through AdoptBitmap, which takes simple bitmaps over as they
// are and hands the rest to the reader.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/bmp_format.h"
#include "formats/register_formats.h"
#include "image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    RegisterPictureFormats();
    return true;
  }();
  (void)registered;
  auto image = std::make_unique<TImage>();
  // Exactly the input: a reader that looks past the end trips the sanitizer.
  std::vector<std::uint8_t> packed(data, data + size);
  if (size > 0 && (data[size - 1] & 1)) {
    image->AdoptBitmap(TDib::FromPacked(std::move(packed)));
  } else {
    ReadBmpFromMemory(*image, std::span<const std::uint8_t>(packed));
  }
  return 0;
}
