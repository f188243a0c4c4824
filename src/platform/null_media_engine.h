// The null media engine: plays nothing and keeps time on the tick count, so a
// stream "ends" once its length has passed on the clock in use (the virtual
// clock of the headless backend and of tests). A RIFF WAVE file lasts as long
// as its header says; any other file lasts the default length.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/media_engine.h"

inline constexpr std::uint32_t kNullMediaDefaultLength = 1000;

class TNullMediaEngine : public MediaEngine {
 public:
  explicit TNullMediaEngine(std::uint32_t default_length_ms = kNullMediaDefaultLength)
      : default_length_ms_(default_length_ms) {}

  std::string_view Name() const override { return "null"; }
  std::unique_ptr<MediaStream> Open(const std::string& path, MediaKind kind,
                                    MediaProblem* problem) override;

  // Streams of `path` fail with `text` once they have played `after_ms`.
  void FailWhilePlaying(const std::string& path, std::uint32_t after_ms, std::string text);
  // `path` opens as a file that no decoder knows.
  void RefuseToOpen(const std::string& path, MediaProblem problem);
  // The last volume a stream was given, for tests.
  double LastVolume() const { return last_volume_; }
  int StreamsOpen() const { return streams_open_; }

  // Internal: how the streams report back.
  void StreamClosed() { --streams_open_; }
  void VolumeSet(double volume) { last_volume_ = volume; }

 private:
  struct Failure {
    std::uint32_t after_ms;
    std::string text;
  };
  std::uint32_t default_length_ms_;
  std::map<std::string, Failure> failures_;
  std::map<std::string, MediaProblem> refusals_;
  double last_volume_ = 1.0;
  int streams_open_ = 0;
};

// Milliseconds of sound in a RIFF WAVE file's data chunk, or 0 when the bytes
// are no such file.
std::uint32_t WaveLengthMilliseconds(const std::string& path);
