// What plays sounds and movies under the media command interpreter: an engine
// opens a file as a stream, and a stream plays, pauses, rewinds and reports
// its end. The GStreamer engine plays for real; the null engine only keeps
// time, so tests and runs without playback see the same command language.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// How a stream is shown: sounds have no picture, movies play in their own window.
enum class MediaKind { kSound, kMovie };

// Why an engine could not open or play a file.
enum class MediaFault {
  kNone,
  kFileNotFound,
  kCannotPlay,     // damaged or in a form no decoder knows
  kMissingPlugin,  // `detail` names what is missing
  kEngineUnavailable,
};

struct MediaProblem {
  MediaFault fault = MediaFault::kNone;
  std::string detail;
};

// What a stream did since it was last asked.
enum class MediaEvent { kNothing, kEnded, kFailed };

class MediaStream {
 public:
  virtual ~MediaStream() = default;
  // Plays from the current position; false (with the reason) when it cannot start.
  virtual bool Play(MediaProblem* problem) = 0;
  // Holds the current position.
  virtual bool Pause(MediaProblem* problem) = 0;
  // Stops, back at the beginning.
  virtual bool SeekTo(std::uint32_t milliseconds, MediaProblem* problem) = 0;
  // Blocks until the stream has played to its end (kEnded) or failed.
  virtual MediaEvent WaitForEnd(MediaProblem* problem) = 0;
  // Never blocks: whether the stream ended or failed since the last look.
  virtual MediaEvent Poll(MediaProblem* problem) = 0;
  virtual std::uint32_t LengthMilliseconds() = 0;
  virtual std::uint32_t PositionMilliseconds() = 0;
  // Linear, 0.0 silent to 1.0 full.
  virtual void SetVolume(double volume) = 0;
};

class MediaEngine {
 public:
  virtual ~MediaEngine() = default;
  virtual std::string_view Name() const = 0;
  // Opens and prepares a file; null with the reason when it cannot be played.
  virtual std::unique_ptr<MediaStream> Open(const std::string& path, MediaKind kind,
                                            MediaProblem* problem) = 0;
};

// Two 16-bit channels in one word: left in the low half, right in the high half.
inline constexpr std::uint32_t kFullWaveVolume = 0xFFFFFFFFu;

// The engine the program plays with: GStreamer, or the null engine when
// ZENTROPE_MEDIA=null asks for it. Defined in the library that links the
// GStreamer engine, so the platform core never depends on it.
std::unique_ptr<MediaEngine> CreateMediaEngine();
