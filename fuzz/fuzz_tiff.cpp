// The TIFF reader through LoadImage. The first two bytes become "II" or "MM" (by the
// first byte's low bit), so every input reaches ReadTiff. The last byte chooses settings
// (QuickLook, and for JPEG quantizing and grey output), so the reduced and quantized paths run too.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "formats/register_formats.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

namespace {

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-tiff-XXXXXX";
    return std::string(mkdtemp(pattern.data()) ? pattern : "/tmp");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    setenv("ZENTROPE_WINDIR", TempFolder().c_str(), 1);
    RegisterPictureFormats();
    return true;
  }();
  (void)registered;
  static TProfile settings;

  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() >= 2) {
    const std::uint8_t order = (bytes[0] & 1) ? 'M' : 'I';
    bytes[0] = bytes[1] = order;
  }
  const std::string path = TempFolder() + "/input";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  const int choice = size > 0 ? data[size - 1] : 0;
  settings.Set(IntKey::QuickLook, choice & 1);
  settings.Set(IntKey::JPEGTwoPass, (choice >> 1) & 1);
  settings.Set(IntKey::JPEGUseMonochrome, (choice >> 2) & 1);
  settings.Set(IntKey::JPEGBlockSmoothing, (choice >> 3) & 1);
  settings.Set(IntKey::JPEGPixelSmoothing, (choice >> 4) & 1);
  auto image = std::make_unique<TImage>();
  LoadImage(path, *image, &settings);
  return 0;
}
