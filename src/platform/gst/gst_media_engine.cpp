#include "platform/gst/gst_media_engine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr GstClockTime kPrerollTimeout = 20 * GST_SECOND;
constexpr GstClockTime kStateTimeout = 10 * GST_SECOND;
constexpr const char* kDebianSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// GStreamer starts once per process; the reason is kept when it cannot.
const std::string& StartGstreamer(bool* started) {
  static std::string failure;
  static const bool ok = [] {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
      failure = error ? error->message : "GStreamer did not start";
      if (error) g_error_free(error);
      return false;
    }
    gst_pb_utils_init();
    return true;
  }();
  *started = ok;
  return failure;
}

struct GErrorText {
  std::string message;
  bool missing_plugin = false;
};

GErrorText ParseError(GstMessage* message) {
  GError* error = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(message, &error, &debug);
  GErrorText text;
  if (error) {
    text.message = error->message;
    text.missing_plugin =
        g_error_matches(error, GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN) ||
        g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND);
    g_error_free(error);
  }
  g_free(debug);
  return text;
}

// A missing-plugin notice names what is missing ("MIDI decoder", ...).
std::string MissingPluginName(GstMessage* message) {
  if (!gst_is_missing_plugin_message(message)) return {};
  gchar* description = gst_missing_plugin_message_get_description(message);
  std::string name = description ? description : "";
  g_free(description);
  return name;
}

void SetSoundfont(GstElement* /*playbin*/, GstElement* element, gpointer soundfont) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") != 0) return;
  g_object_set(element, "soundfont", static_cast<const char*>(soundfont), nullptr);
}

GstElement* FakeSink(bool keep_time) {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (sink) g_object_set(sink, "sync", keep_time ? TRUE : FALSE, nullptr);
  return sink;
}

// A video sink that opens a top-level window of its own. The first that
// starts here is taken: playbin would otherwise probe every sink it knows,
// and some (the console's DRM sink) take seconds to give up under X.
GstElement* WindowSink() {
  std::vector<const char*> names;
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland) names.push_back("waylandsink");
  names.insert(names.end(), {"xvimagesink", "ximagesink", "glimagesink"});
  for (const char* name : names) {
    GstElement* sink = gst_element_factory_make(name, nullptr);
    if (!sink) continue;
    gst_object_ref_sink(sink);
    const bool starts = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(sink, GST_STATE_NULL);
    if (starts) return sink;
    gst_object_unref(sink);
  }
  return nullptr;
}

class TGstStream : public MediaStream {
 public:
  TGstStream(GstElement* pipeline) : pipeline_(pipeline), bus_(gst_element_get_bus(pipeline)) {}
  ~TGstStream() override {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(bus_);
    gst_object_unref(pipeline_);
  }
  TGstStream(const TGstStream&) = delete;
  TGstStream& operator=(const TGstStream&) = delete;

  // Pauses on the first frame; the reason when the file cannot get there.
  bool Preroll(MediaProblem* problem) {
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_SUCCESS) {
      return true;
    }
    std::string missing;
    const auto kinds = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE |
                                                   GST_MESSAGE_ELEMENT | GST_MESSAGE_EOS);
    for (;;) {
      GstMessage* message = gst_bus_timed_pop_filtered(bus_, kPrerollTimeout, kinds);
      if (!message) {
        *problem = {MediaFault::kCannotPlay, "(no picture or sound within 20 seconds)"};
        return false;
      }
      const GstMessageType type = GST_MESSAGE_TYPE(message);
      if (type == GST_MESSAGE_ELEMENT) {
        const std::string name = MissingPluginName(message);
        if (!name.empty() && missing.empty()) missing = name;
        gst_message_unref(message);
        continue;
      }
      if (type == GST_MESSAGE_ERROR) {
        const GErrorText error = ParseError(message);
        gst_message_unref(message);
        if (!missing.empty()) {
          *problem = {MediaFault::kMissingPlugin, missing};
        } else {
          const MediaFault fault =
              error.missing_plugin ? MediaFault::kMissingPlugin : MediaFault::kCannotPlay;
          *problem = {fault, "(" + error.message + ")"};
        }
        return false;
      }
      gst_message_unref(message);
      return true;
    }
  }

  bool Play(MediaProblem* problem) override {
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
      return true;
    }
    return Failed(problem);
  }
  bool Pause(MediaProblem* problem) override {
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline_, nullptr, nullptr, kStateTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
      return Failed(problem);
    }
    return true;
  }
  bool SeekTo(std::uint32_t milliseconds, MediaProblem* problem) override {
    if (!Pause(problem)) return false;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags,
                                 static_cast<gint64>(milliseconds) * GST_MSECOND)) {
      *problem = {MediaFault::kCannotPlay, "(the stream cannot seek)"};
      return false;
    }
    if (gst_element_get_state(pipeline_, nullptr, nullptr, kStateTimeout) ==
        GST_STATE_CHANGE_FAILURE) {
      return Failed(problem);
    }
    // An end reached before the seek must not end the next play.
    while (GstMessage* stale = gst_bus_pop_filtered(bus_, GST_MESSAGE_EOS)) {
      gst_message_unref(stale);
    }
    return true;
  }
  MediaEvent WaitForEnd(MediaProblem* problem) override {
    return Take(gst_bus_timed_pop_filtered(bus_, GST_CLOCK_TIME_NONE, EndKinds()), problem);
  }
  MediaEvent Poll(MediaProblem* problem) override {
    return Take(gst_bus_pop_filtered(bus_, EndKinds()), problem);
  }
  std::uint32_t LengthMilliseconds() override {
    gint64 length = 0;
    if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length) || length < 0) return 0;
    return static_cast<std::uint32_t>(length / GST_MSECOND);
  }
  std::uint32_t PositionMilliseconds() override {
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0) {
      return 0;
    }
    return static_cast<std::uint32_t>(position / GST_MSECOND);
  }
  void SetVolume(double volume) override { g_object_set(pipeline_, "volume", volume, nullptr); }

 private:
  static GstMessageType EndKinds() {
    return static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
  }

  MediaEvent Take(GstMessage* message, MediaProblem* problem) {
    if (!message) return MediaEvent::kNothing;
    const bool ended = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!ended) {
      const GErrorText error = ParseError(message);
      *problem = {error.missing_plugin ? MediaFault::kMissingPlugin : MediaFault::kCannotPlay,
                  "(" + error.message + ")"};
    }
    gst_message_unref(message);
    return ended ? MediaEvent::kEnded : MediaEvent::kFailed;
  }

  bool Failed(MediaProblem* problem) {
    GstMessage* message = gst_bus_pop_filtered(bus_, GST_MESSAGE_ERROR);
    if (!message) {
      *problem = {MediaFault::kCannotPlay, {}};
      return false;
    }
    Take(message, problem);
    return false;
  }

  GstElement* pipeline_;
  GstBus* bus_;
};

class TGstMediaEngine : public MediaEngine {
 public:
  explicit TGstMediaEngine(GstEngineOptions options) : options_(std::move(options)) {}
  std::string_view Name() const override { return "gstreamer"; }

  std::unique_ptr<MediaStream> Open(const std::string& path, MediaKind kind,
                                    MediaProblem* problem) override {
    MediaProblem ignored;
    if (!problem) problem = &ignored;
    bool started = false;
    const std::string& why = StartGstreamer(&started);
    if (!started) {
      *problem = {MediaFault::kEngineUnavailable, why};
      return nullptr;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      *problem = {MediaFault::kFileNotFound, {}};
      return nullptr;
    }
    GstElement* playbin = MakePlaybin(path, kind, problem);
    if (!playbin) return nullptr;
    auto stream = std::make_unique<TGstStream>(playbin);
    if (!stream->Preroll(problem)) return nullptr;
    return stream;
  }

 private:
  GstElement* MakePlaybin(const std::string& path, MediaKind kind, MediaProblem* problem) {
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri) {
      *problem = {MediaFault::kFileNotFound, {}};
      if (error) g_error_free(error);
      return nullptr;
    }
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin) {
      g_free(uri);
      *problem = {MediaFault::kMissingPlugin, "playbin"};
      return nullptr;
    }
    g_object_set(playbin, "uri", uri, nullptr);
    g_free(uri);
    if (options_.fake_sinks) g_object_set(playbin, "audio-sink", FakeSink(false), nullptr);
    // A sound never opens a window, whatever else the file holds.
    if (options_.fake_sinks || options_.fake_video || kind == MediaKind::kSound) {
      g_object_set(playbin, "video-sink", FakeSink(!options_.fake_sinks), nullptr);
    } else if (GstElement* window = WindowSink()) {
      g_object_set(playbin, "video-sink", window, nullptr);
      gst_object_unref(window);
    }
    if (!options_.soundfont.empty()) {
      g_signal_connect_data(
          playbin, "element-setup", G_CALLBACK(SetSoundfont), g_strdup(options_.soundfont.c_str()),
          reinterpret_cast<GClosureNotify>(+[](gpointer data, GClosure*) { g_free(data); }),
          static_cast<GConnectFlags>(0));
    }
    return playbin;
  }

  GstEngineOptions options_;
};

}  // namespace

std::string DefaultSoundfont() {
  struct stat info {};
  return stat(kDebianSoundfont, &info) == 0 ? kDebianSoundfont : "";
}

std::unique_ptr<MediaEngine> MakeGstMediaEngine(const GstEngineOptions& options) {
  return std::make_unique<TGstMediaEngine>(options);
}

bool GstHasElements(std::initializer_list<const char*> names, std::string* missing) {
  bool started = false;
  StartGstreamer(&started);
  for (const char* name : names) {
    GstElementFactory* factory = started ? gst_element_factory_find(name) : nullptr;
    if (!factory) {
      if (missing) *missing = name;
      return false;
    }
    gst_object_unref(factory);
  }
  return true;
}
