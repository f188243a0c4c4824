// TMediaControl: the interpreter of the textual media commands that sound and
// movie templates and .mci scripts are written in. It opens files as devices
// under an alias and plays, rewinds, stops and closes them on an engine.
//
//   open NAME|"NAME" [type TYPE] [alias ALIAS] [shareable] [wait] [notify]
//   play ALIAS [from MS] [wait] [notify]       seek ALIAS to start|end|MS [wait] [notify]
//   stop ALIAS|all    pause ALIAS    resume ALIAS    close ALIAS|all
//   status ALIAS mode|length|position|ready|time format|media present
//   set ALIAS time format milliseconds
//
// Device types: waveaudio and sequencer are sounds; avivideo, mpegvideo,
// qtwvideo, digitalvideo, animation and animation1 are movies. Without a type
// the file's extension chooses.
//
// A command with "notify" ends with a completion notice to the window it
// names: 1 when it completed, 2 when a later notify on the same device
// superseded it, 4 when a stop, seek, close or new play aborted it, 8 when
// playback failed. Notices of an asynchronous play are found by Poll.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mci_command.h"
#include "platform/mci_errors.h"
#include "platform/media_engine.h"
#include "platform/message.h"

class TEventLoop;

// The completion notice: `command` holds the code, `param` the device id.
inline constexpr MessageId kMessageMciNotify = static_cast<MessageId>(0x03B9);

inline constexpr std::uint32_t kMciNotifySuccessful = 1;
inline constexpr std::uint32_t kMciNotifySuperseded = 2;
inline constexpr std::uint32_t kMciNotifyAborted = 4;
inline constexpr std::uint32_t kMciNotifyFailure = 8;

struct MciResult {
  MciError error = MciError::kNone;
  std::string error_text;  // empty on success
  std::string reply;       // what a status query or an open returns
  bool ok() const { return error == MciError::kNone; }
};

class TMediaControl {
 public:
  using NotifyPoster =
      std::function<void(WindowId window, std::uint32_t code, std::uint32_t device_id)>;

  // Without an engine every open fails and the volume cannot be read.
  TMediaControl(MediaEngine* engine, NotifyPoster poster);
  ~TMediaControl();
  TMediaControl(const TMediaControl&) = delete;
  TMediaControl& operator=(const TMediaControl&) = delete;

  // Carries out one command; notices go to `notify_window`.
  MciResult Send(std::string_view command, WindowId notify_window = kNoWindow);

  // Looks at every playing device and posts the notices of those that ended
  // or failed. True while a device still plays.
  bool Poll();
  bool AnyPlaying() const;
  bool IsDeviceOpen(std::uint32_t device_id) const;
  std::size_t DevicesOpen() const { return devices_.size(); }

  // The wave-output volume: left channel in the low 16 bits, right in the
  // high 16 bits. Nothing when there is no engine to play at that volume.
  std::optional<std::uint32_t> WaveVolume() const;
  bool SetWaveVolume(std::uint32_t volume);

 private:
  struct Device;
  using Words = std::vector<MciWord>;

  MciResult Open(const Words& words, WindowId window);
  MciResult Play(Device& device, const Words& words, WindowId window);
  MciResult Seek(Device& device, const Words& words, WindowId window);
  MciResult Stop(Device& device, const Words& words, WindowId window, bool pause);
  MciResult Resume(Device& device, const Words& words, WindowId window);
  MciResult Close(const std::string& name, const Words& words, WindowId window);
  MciResult Status(Device& device, const Words& words);
  MciResult Set(const Words& words);
  MciResult OnAll(std::string_view verb, const Words& words, WindowId window);

  Device* Find(std::string_view alias);
  void Abort(Device& device);
  void Notify(WindowId window, std::uint32_t code, const Device& device);
  double LinearVolume() const;

  MediaEngine* engine_;
  NotifyPoster poster_;
  std::vector<std::unique_ptr<Device>> devices_;
  std::uint32_t next_device_id_ = 1;
  std::uint32_t wave_volume_ = kFullWaveVolume;
};

// Posts notices into the loop as kMessageMciNotify messages.
TMediaControl::NotifyPoster LoopNotifyPoster(TEventLoop& loop);
