#include "platform/gst/gst_sample_writer.h"

#include <gst/gst.h>

#include "platform/gst/gst_media_engine.h"

namespace {

constexpr GstClockTime kEncodeTimeout = 120 * GST_SECOND;
constexpr int kSampleRate = 22050;
constexpr int kMpegFramesPerSecond = 25;  // MPEG-1 knows only the broadcast rates
constexpr int kFramesPerSecond = 15;

std::string Description(GstSampleKind kind, int tenths) {
  const std::string size = "width=160,height=120";
  if (kind == GstSampleKind::kWav) {
    // Buffers of a tenth of a second each.
    return "audiotestsrc wave=sine freq=440 samplesperbuffer=" + std::to_string(kSampleRate / 10) +
           " num-buffers=" + std::to_string(tenths) +
           " ! audio/x-raw,rate=" + std::to_string(kSampleRate) +
           ",channels=1 ! audioconvert ! wavenc ! filesink name=out";
  }
  const int rate = kind == GstSampleKind::kMpg ? kMpegFramesPerSecond : kFramesPerSecond;
  const std::string source =
      "videotestsrc pattern=ball num-buffers=" + std::to_string(tenths * rate / 10) +
      " ! video/x-raw," + size + ",framerate=" + std::to_string(rate) + "/1 ! videoconvert ! ";
  switch (kind) {
    case GstSampleKind::kAvi:
      return source + "jpegenc ! avimux ! filesink name=out";
    case GstSampleKind::kMov:
      return source + "jpegenc ! qtmux ! filesink name=out";
    case GstSampleKind::kMpg:
      return source + "mpeg2enc format=0 ! mplex format=0 ! filesink name=out";
    case GstSampleKind::kWav:
      break;
  }
  return {};
}

}  // namespace

bool WriteGstSample(GstSampleKind kind, int tenths, const std::string& path, std::string* error) {
  std::string missing;
  if (!GstHasElements({"filesink"}, &missing)) {
    *error = "GStreamer cannot start";
    return false;
  }
  GError* parse_error = nullptr;
  GstElement* pipeline = gst_parse_launch(Description(kind, tenths).c_str(), &parse_error);
  if (!pipeline || parse_error) {
    *error = parse_error ? parse_error->message : "no pipeline";
    if (parse_error) g_error_free(parse_error);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  g_object_set(sink, "location", path.c_str(), nullptr);
  gst_object_unref(sink);

  bool written = false;
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, kEncodeTimeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS) {
      written = true;
    } else if (end) {
      GError* failure = nullptr;
      gst_message_parse_error(end, &failure, nullptr);
      *error = failure ? failure->message : "encoding failed";
      if (failure) g_error_free(failure);
    } else {
      *error = "encoding did not finish";
    }
    if (end) gst_message_unref(end);
    gst_object_unref(bus);
  } else {
    *error = "the encoder did not start";
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return written;
}
