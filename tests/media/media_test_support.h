// Shared pieces of the media tests: the log as plain lines, a host that keeps
// the completion notices in a queue the way the window's message queue does,
// and small WAV files for the null engine.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "media/media_host.h"
#include "media/media_playback.h"
#include "platform/log_sink.h"
#include "platform/media_control.h"
#include "settings/profile.h"

class LogRecorder : public LogSink {
 public:
  LogRecorder() { InstallLogSink(this); }
  ~LogRecorder() override { InstallLogSink(nullptr); }
  LogRecorder(const LogRecorder&) = delete;
  LogRecorder& operator=(const LogRecorder&) = delete;
  // Drops the "hh:mm:ss " stamp.
  void AppendLogLine(std::string_view line) override {
    lines.emplace_back(line.size() > 9 ? line.substr(9) : line);
  }
  std::vector<std::string> lines;
};

struct Notice {
  std::uint32_t code;
  std::uint32_t device;
};

inline constexpr WindowId kTestWindow = 7;

class TestMediaHost : public MediaHost {
 public:
  explicit TestMediaHost(MediaEngine* engine)
      : control_(engine, [this](WindowId window, std::uint32_t code, std::uint32_t device) {
          if (window == kTestWindow) queue.push_back({code, device});
        }) {}
  TProfile& Settings() override { return settings; }
  TMediaControl& MediaControl() override { return control_; }
  WindowId NotifyWindow() const override { return kTestWindow; }
  void RunWaitingMessages() override { DeliverNotices(); }

  // Hands every queued notice to the playback, as the window's handler does.
  void DeliverNotices() {
    while (playback && !queue.empty()) {
      const Notice notice = queue.front();
      queue.pop_front();
      playback->OnNotify(notice.code, notice.device);
    }
  }

  TProfile settings;
  std::deque<Notice> queue;
  TMediaPlayback* playback = nullptr;

 private:
  TMediaControl control_;
};

// CI sets ZENTROPE_REQUIRE_GSTREAMER so that a missing GStreamer element
// fails the real-playback tests instead of skipping them.
bool GstreamerRequired();

// A silent 8-bit mono WAV at 8000 bytes a second that lasts `milliseconds`.
bool WriteSilentWav(const std::string& path, std::uint32_t milliseconds);
