#include "platform/null_media_engine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

#include "platform/tick_count.h"

namespace {

constexpr std::uint32_t kNoFailure = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kByteRateOffset = 8;  // within the "fmt " chunk
constexpr std::size_t kFmtMinimumSize = 16;

std::uint32_t ReadU32le(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

class FileCloser {
 public:
  explicit FileCloser(std::FILE* file) : file_(file) {}
  ~FileCloser() {
    if (file_) std::fclose(file_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  std::FILE* get() const { return file_; }

 private:
  std::FILE* file_;
};

class TNullStream : public MediaStream {
 public:
  TNullStream(TNullMediaEngine& engine, std::uint32_t length_ms, std::uint32_t fail_after_ms,
              std::string fail_text)
      : engine_(engine),
        length_ms_(length_ms),
        fail_after_ms_(fail_after_ms),
        fail_text_(std::move(fail_text)) {}
  ~TNullStream() override { engine_.StreamClosed(); }
  TNullStream(const TNullStream&) = delete;
  TNullStream& operator=(const TNullStream&) = delete;

  bool Play(MediaProblem* /*problem*/) override {
    if (!playing_) {
      playing_ = true;
      started_at_ = GetTickCount();
    }
    return true;
  }
  bool Pause(MediaProblem* /*problem*/) override {
    position_ms_ = PositionMilliseconds();
    playing_ = false;
    return true;
  }
  bool SeekTo(std::uint32_t milliseconds, MediaProblem* /*problem*/) override {
    playing_ = false;
    position_ms_ = std::min(milliseconds, length_ms_);
    return true;
  }
  MediaEvent WaitForEnd(MediaProblem* problem) override {
    if (!playing_) return MediaEvent::kEnded;
    // Nothing to wait for: the stream is done at once, or fails where it would.
    playing_ = false;
    if (fail_after_ms_ != kNoFailure && position_ms_ <= fail_after_ms_) {
      position_ms_ = fail_after_ms_;
      return Failed(problem);
    }
    position_ms_ = length_ms_;
    return MediaEvent::kEnded;
  }
  MediaEvent Poll(MediaProblem* problem) override {
    if (!playing_) return MediaEvent::kNothing;
    const std::uint32_t position = PositionMilliseconds();
    if (fail_after_ms_ != kNoFailure && position >= fail_after_ms_) {
      playing_ = false;
      position_ms_ = fail_after_ms_;
      return Failed(problem);
    }
    if (position < length_ms_) return MediaEvent::kNothing;
    playing_ = false;
    position_ms_ = length_ms_;
    return MediaEvent::kEnded;
  }
  std::uint32_t LengthMilliseconds() override { return length_ms_; }
  std::uint32_t PositionMilliseconds() override {
    if (!playing_) return position_ms_;
    const std::uint64_t position =
        static_cast<std::uint64_t>(position_ms_) + (GetTickCount() - started_at_);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(position, length_ms_));
  }
  void SetVolume(double volume) override { engine_.VolumeSet(volume); }

 private:
  MediaEvent Failed(MediaProblem* problem) {
    if (problem) *problem = {MediaFault::kCannotPlay, fail_text_};
    return MediaEvent::kFailed;
  }

  TNullMediaEngine& engine_;
  std::uint32_t length_ms_;
  std::uint32_t fail_after_ms_;
  std::string fail_text_;
  bool playing_ = false;
  std::uint32_t started_at_ = 0;
  std::uint32_t position_ms_ = 0;
};

}  // namespace

std::uint32_t WaveLengthMilliseconds(const std::string& path) {
  FileCloser file(std::fopen(path.c_str(), "rb"));
  if (!file.get()) return 0;
  std::array<unsigned char, kRiffHeaderSize> riff{};
  if (std::fread(riff.data(), 1, riff.size(), file.get()) != riff.size()) return 0;
  if (std::string_view(reinterpret_cast<const char*>(riff.data()), 4) != "RIFF" ||
      std::string_view(reinterpret_cast<const char*>(riff.data()) + 8, 4) != "WAVE") {
    return 0;
  }
  std::uint32_t byte_rate = 0;
  std::array<unsigned char, kChunkHeaderSize> chunk{};
  while (std::fread(chunk.data(), 1, chunk.size(), file.get()) == chunk.size()) {
    const std::string_view id(reinterpret_cast<const char*>(chunk.data()), 4);
    const std::uint32_t size = ReadU32le(chunk.data() + 4);
    if (id == "data") {
      if (byte_rate == 0) return 0;
      return static_cast<std::uint32_t>(static_cast<std::uint64_t>(size) * 1000 / byte_rate);
    }
    if (id == "fmt ") {
      if (size < kFmtMinimumSize) return 0;
      std::array<unsigned char, kFmtMinimumSize> format{};
      if (std::fread(format.data(), 1, format.size(), file.get()) != format.size()) return 0;
      byte_rate = ReadU32le(format.data() + kByteRateOffset);
      const long rest = static_cast<long>(size - kFmtMinimumSize) + (size & 1);
      if (std::fseek(file.get(), rest, SEEK_CUR) != 0) return 0;
      continue;
    }
    // Chunks are padded to an even size.
    const long skip = static_cast<long>(size) + (size & 1);
    if (std::fseek(file.get(), skip, SEEK_CUR) != 0) return 0;
  }
  return 0;
}

std::unique_ptr<MediaStream> TNullMediaEngine::Open(const std::string& path, MediaKind /*kind*/,
                                                    MediaProblem* problem) {
  {
    FileCloser file(std::fopen(path.c_str(), "rb"));
    if (!file.get()) {
      if (problem) *problem = {MediaFault::kFileNotFound, {}};
      return nullptr;
    }
  }
  if (const auto refusal = refusals_.find(path); refusal != refusals_.end()) {
    if (problem) *problem = refusal->second;
    return nullptr;
  }
  std::uint32_t length = WaveLengthMilliseconds(path);
  if (length == 0) length = default_length_ms_;
  std::uint32_t fail_after = kNoFailure;
  std::string fail_text;
  if (const auto failure = failures_.find(path); failure != failures_.end()) {
    fail_after = failure->second.after_ms;
    fail_text = failure->second.text;
  }
  ++streams_open_;
  return std::make_unique<TNullStream>(*this, length, fail_after, std::move(fail_text));
}

void TNullMediaEngine::FailWhilePlaying(const std::string& path, std::uint32_t after_ms,
                                        std::string text) {
  failures_[path] = {after_ms, std::move(text)};
}

void TNullMediaEngine::RefuseToOpen(const std::string& path, MediaProblem problem) {
  refusals_[path] = std::move(problem);
}
