// make-media: writes the sample sounds and movies that the program plays.
//
//   make-media DIR     tone.wav, scale.mid, ball.avi, ball.mpg, ball.mov,
//                      square.fli, square.flc and tune.mci into DIR
//
// The WAV and the video files come from GStreamer's test sources; the MIDI
// and the FLI/FLC files from the program's own small writers.
#include <cstdio>
#include <filesystem>
#include <string>

#include "media/sample_flic.h"
#include "media/sample_midi.h"
#include "platform/gst/gst_sample_writer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kSampleTenths = 30;
constexpr int kScaleNotes = 8;
constexpr int kFlicFrames = 28;
constexpr int kFlcWidth = 240;
constexpr int kFlcHeight = 160;

bool Report(const std::string& path, bool written, const std::string& error = {}) {
  if (written) {
    std::printf("wrote %s\n", path.c_str());
  } else {
    std::fprintf(stderr, "make-media: %s: %s\n", path.c_str(),
                 error.empty() ? "cannot be written" : error.c_str());
  }
  return written;
}

bool WriteScript(const std::string& folder) {
  const std::string path = folder + "/tune.mci";
  const std::string text =
      "# plays the tone, then the scale\n"
      "open \"" +
      folder +
      "/tone.wav\" type waveaudio alias tone\n"
      "play tone wait\n"
      "open \"" +
      folder +
      "/scale.mid\" type sequencer alias scale\n"
      "play scale wait\n";
  return Report(path, WriteSampleFile(path, {text.begin(), text.end()}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-media DIR\n");
    return kExitUsage;
  }
  std::error_code ignored;
  std::filesystem::create_directories(argv[1], ignored);
  const std::string folder = std::filesystem::absolute(argv[1], ignored).string();
  bool all = true;
  const struct {
    const char* name;
    GstSampleKind kind;
  } encoded[] = {{"tone.wav", GstSampleKind::kWav},
                 {"ball.avi", GstSampleKind::kAvi},
                 {"ball.mpg", GstSampleKind::kMpg},
                 {"ball.mov", GstSampleKind::kMov}};
  for (const auto& sample : encoded) {
    const std::string path = folder + "/" + sample.name;
    std::string error;
    all = Report(path, WriteGstSample(sample.kind, kSampleTenths, path, &error), error) && all;
  }
  const std::string midi = folder + "/scale.mid";
  all = Report(midi, WriteSampleFile(midi, MakeSampleMidi(kScaleNotes))) && all;
  const std::string fli = folder + "/square.fli";
  all = Report(fli, WriteSampleFile(fli, MakeSampleFlic(FlicKind::kFli, kFlicFrames, 0, 0))) && all;
  const std::string flc = folder + "/square.flc";
  all = Report(flc, WriteSampleFile(
                        flc, MakeSampleFlic(FlicKind::kFlc, kFlicFrames, kFlcWidth, kFlcHeight))) &&
        all;
  all = WriteScript(folder) && all;
  return all ? kExitOk : kExitFailed;
}
