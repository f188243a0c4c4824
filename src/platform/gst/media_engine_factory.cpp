// The one place that picks the engine the program plays with.
#include <cstdlib>
#include <string_view>

#include "platform/gst/gst_media_engine.h"
#include "platform/media_engine.h"
#include "platform/null_media_engine.h"

std::unique_ptr<MediaEngine> CreateMediaEngine() {
  const char* choice = std::getenv("ZENTROPE_MEDIA");
  const std::string_view media = choice ? choice : "";
  if (media == "null") return std::make_unique<TNullMediaEngine>();
  GstEngineOptions options;
  options.fake_sinks = media == "fake";
  const char* x_display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  options.fake_video = !(x_display && *x_display) && !(wayland && *wayland);
  options.soundfont = DefaultSoundfont();
  return MakeGstMediaEngine(options);
}
