// The GIF player: every input, with "GIF89a" in front, is opened as an
// animation and played through two loops' worth of ticks, so the frame list,
// the disposals and the clipping of every frame run. QuickLook varies with
// the last byte, so reduced pictures are composed too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "formats/gif_animation.h"
#include "fuzz_load_support.h"
#include "image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("gif_animation");
  ChooseReadSettings(support.settings, data, size, false);
  const std::string path = std::string(std::getenv("ZENTROPE_WINDIR")) + "/animation.gif";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite("GIF89a", 1, 6, file);
  if (size > 6) std::fwrite(data + 6, 1, size - 6, file);
  std::fclose(file);

  auto animation = TGifAnimation::Open(path, &support.settings);
  if (!animation) return 0;
  auto image = std::make_unique<TImage>();
  std::uint32_t now = 0;
  animation->Start(*image, now);
  for (int tick = 0; tick < 2 * animation->FrameCount() && !animation->Stopped(); ++tick) {
    now += static_cast<std::uint32_t>(animation->DelayOf(animation->CurrentFrame()));
    animation->Tick(*image, now);
  }
  return 0;
}
