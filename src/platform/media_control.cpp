#include "platform/media_control.h"

#include <charconv>

#include "platform/event_loop.h"
#include "platform/path.h"

namespace {

constexpr std::uint32_t kChannelMaximum = 0xFFFF;

struct DeviceType {
  std::string_view name;
  MediaKind kind;
};

constexpr DeviceType kDeviceTypes[] = {
    {"waveaudio", MediaKind::kSound}, {"sequencer", MediaKind::kSound},
    {"avivideo", MediaKind::kMovie},  {"mpegvideo", MediaKind::kMovie},
    {"qtwvideo", MediaKind::kMovie},  {"digitalvideo", MediaKind::kMovie},
    {"animation", MediaKind::kMovie}, {"animation1", MediaKind::kMovie},
};

struct ExtensionType {
  std::string_view extension;
  std::string_view type;
};

constexpr ExtensionType kExtensionTypes[] = {
    {".wav", "waveaudio"}, {".mid", "sequencer"},  {".rmi", "sequencer"},
    {".avi", "avivideo"},  {".mpg", "mpegvideo"},  {".mpeg", "mpegvideo"},
    {".mov", "qtwvideo"},  {".fli", "animation1"}, {".flc", "animation1"},
};

// Words after the file name of an open command; an unquoted name runs up to
// the first of them, so a name with spaces still opens.
constexpr std::string_view kOpenKeywords[] = {"type", "alias", "shareable", "wait", "notify"};

std::optional<MediaKind> KindOfType(std::string_view type) {
  for (const DeviceType& known : kDeviceTypes) {
    if (EqualsNoCase(known.name, type)) return known.kind;
  }
  return std::nullopt;
}

std::string_view TypeOfFile(std::string_view path) {
  const std::string extension = SplitPath(path).extension;
  for (const ExtensionType& known : kExtensionTypes) {
    if (EqualsNoCase(known.extension, extension)) return known.type;
  }
  return {};
}

bool IsOpenKeyword(const MciWord& word) {
  if (word.quoted) return false;
  for (std::string_view keyword : kOpenKeywords) {
    if (EqualsNoCase(keyword, word.text)) return true;
  }
  return false;
}

MciResult Failure(MciError error, std::string_view detail = {}) {
  return {error, MciErrorText(error, detail), {}};
}

MciResult FromProblem(const MediaProblem& problem, MciError otherwise) {
  switch (problem.fault) {
    case MediaFault::kFileNotFound:
      return Failure(MciError::kFileNotFound);
    case MediaFault::kMissingPlugin:
      return Failure(MciError::kMissingPlugin, problem.detail);
    case MediaFault::kEngineUnavailable:
      return Failure(MciError::kEngineUnavailable, problem.detail);
    case MediaFault::kCannotPlay:
    case MediaFault::kNone:
      break;
  }
  return Failure(otherwise, problem.detail);
}

std::optional<std::uint32_t> ParseMilliseconds(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The "wait" and "notify" flags that every command may carry; other words are
// left for the command.
struct Flags {
  bool wait = false;
  bool notify = false;
};

bool TakeFlag(const MciWord& word, Flags* flags) {
  if (word.quoted) return false;
  if (EqualsNoCase(word.text, "wait")) {
    flags->wait = true;
    return true;
  }
  if (EqualsNoCase(word.text, "notify")) {
    flags->notify = true;
    return true;
  }
  return false;
}

bool Is(const MciWord& word, std::string_view keyword) {
  return !word.quoted && EqualsNoCase(word.text, keyword);
}

}  // namespace

struct TMediaControl::Device {
  std::uint32_t id = 0;
  std::string alias;
  std::unique_ptr<MediaStream> stream;
  enum class Mode { kStopped, kPlaying, kPaused } mode = Mode::kStopped;
  bool at_end = false;
  std::optional<WindowId> notify;  // the window waiting for the end of a play
};

TMediaControl::TMediaControl(MediaEngine* engine, NotifyPoster poster)
    : engine_(engine), poster_(std::move(poster)) {}

TMediaControl::~TMediaControl() = default;

MciResult TMediaControl::Send(std::string_view command, WindowId notify_window) {
  Words words;
  if (!SplitMciWords(command, &words)) return Failure(MciError::kMissingParameter);
  if (words.empty()) return Failure(MciError::kUnrecognizedCommand);
  const std::string verb = ToLower(words.front().text);
  words.erase(words.begin());
  if (verb == "open") return Open(words, notify_window);

  static constexpr std::string_view kDeviceVerbs[] = {"play",  "seek",   "stop",   "pause",
                                                      "close", "resume", "status", "set"};
  bool known = false;
  for (std::string_view device_verb : kDeviceVerbs) known = known || verb == device_verb;
  if (!known) return Failure(MciError::kUnrecognizedCommand);
  if (words.empty()) return Failure(MciError::kMissingParameter);

  const std::string name = words.front().text;
  words.erase(words.begin());
  if (EqualsNoCase(name, "all")) return OnAll(verb, words, notify_window);
  if (verb == "close") return Close(name, words, notify_window);
  Device* device = Find(name);
  if (!device) return Failure(MciError::kDeviceNotOpen);
  if (verb == "play") return Play(*device, words, notify_window);
  if (verb == "seek") return Seek(*device, words, notify_window);
  if (verb == "stop") return Stop(*device, words, notify_window, false);
  if (verb == "pause") return Stop(*device, words, notify_window, true);
  if (verb == "resume") return Resume(*device, words, notify_window);
  if (verb == "status") return Status(*device, words);
  return Set(words);
}

MciResult TMediaControl::OnAll(std::string_view verb, const Words& words, WindowId window) {
  if (verb == "close") return Close("all", words, window);
  if (verb != "stop") return Failure(MciError::kAllNotAllowed);
  Flags flags;
  for (const MciWord& word : words) {
    if (!TakeFlag(word, &flags)) return Failure(MciError::kBadKeyword, word.text);
  }
  for (const auto& device : devices_) {
    MciResult stopped = Stop(*device, {}, window, false);
    if (!stopped.ok()) return stopped;
  }
  return {};
}

MciResult TMediaControl::Open(const Words& words, WindowId window) {
  if (words.empty() || IsOpenKeyword(words.front())) return Failure(MciError::kMissingParameter);
  std::size_t at = 0;
  std::string path = words[at++].text;
  if (!words.front().quoted) {
    while (at < words.size() && !IsOpenKeyword(words[at])) path += ' ' + words[at++].text;
  }
  Flags flags;
  std::string type;
  std::string alias;
  for (; at < words.size(); ++at) {
    const MciWord& word = words[at];
    if (TakeFlag(word, &flags) || Is(word, "shareable")) continue;
    const bool takes_value = Is(word, "type") || Is(word, "alias");
    if (!takes_value) return Failure(MciError::kBadKeyword, word.text);
    if (at + 1 >= words.size()) return Failure(MciError::kMissingParameter);
    (Is(word, "type") ? type : alias) = words[++at].text;
  }
  if (type.empty()) type = TypeOfFile(path);
  const std::optional<MediaKind> kind = KindOfType(type);
  if (!kind) return Failure(MciError::kUnknownDeviceType, type);
  if (alias.empty()) alias = path;
  if (EqualsNoCase(alias, "all")) return Failure(MciError::kAllNotAllowed);
  if (Find(alias)) return Failure(MciError::kAliasInUse);
  if (!engine_) return Failure(MciError::kEngineUnavailable);

  MediaProblem problem;
  std::unique_ptr<MediaStream> stream = engine_->Open(path, *kind, &problem);
  if (!stream) return FromProblem(problem, MciError::kCannotPlay);
  stream->SetVolume(LinearVolume());
  auto device = std::make_unique<Device>();
  device->id = next_device_id_++;
  device->alias = alias;
  device->stream = std::move(stream);
  devices_.push_back(std::move(device));
  const Device& opened = *devices_.back();
  if (flags.notify) Notify(window, kMciNotifySuccessful, opened);
  return {MciError::kNone, {}, std::to_string(opened.id)};
}

MciResult TMediaControl::Play(Device& device, const Words& words, WindowId window) {
  Flags flags;
  std::optional<std::uint32_t> from;
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (TakeFlag(words[at], &flags)) continue;
    if (!Is(words[at], "from")) return Failure(MciError::kBadKeyword, words[at].text);
    if (at + 1 >= words.size()) return Failure(MciError::kMissingParameter);
    from = ParseMilliseconds(words[++at].text);
    if (!from || *from > device.stream->LengthMilliseconds()) {
      return Failure(MciError::kOutOfRange);
    }
  }
  if (device.notify) {
    const std::uint32_t code = flags.notify ? kMciNotifySuperseded : kMciNotifyAborted;
    Notify(*device.notify, code, device);
    device.notify.reset();
  }
  MediaProblem problem;
  // Played to its end, a device starts again from the beginning.
  if (device.at_end && !from) from = 0;
  if (from) {
    if (!device.stream->SeekTo(*from, &problem))
      return FromProblem(problem, MciError::kDeviceFailed);
    device.at_end = false;
  }
  if (!device.stream->Play(&problem)) {
    device.mode = Device::Mode::kStopped;
    return FromProblem(problem, MciError::kDeviceFailed);
  }
  device.mode = Device::Mode::kPlaying;
  if (!flags.wait) {
    if (flags.notify) device.notify = window;
    return {};
  }
  const MediaEvent end = device.stream->WaitForEnd(&problem);
  device.mode = Device::Mode::kStopped;
  if (end == MediaEvent::kFailed) {
    if (flags.notify) Notify(window, kMciNotifyFailure, device);
    return FromProblem(problem, MciError::kDeviceFailed);
  }
  device.at_end = true;
  if (flags.notify) Notify(window, kMciNotifySuccessful, device);
  return {};
}

MciResult TMediaControl::Seek(Device& device, const Words& words, WindowId window) {
  Flags flags;
  std::optional<std::uint32_t> target;
  bool to_end = false;
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (TakeFlag(words[at], &flags)) continue;
    if (!Is(words[at], "to")) return Failure(MciError::kBadKeyword, words[at].text);
    if (at + 1 >= words.size()) return Failure(MciError::kMissingParameter);
    const MciWord& where = words[++at];
    if (Is(where, "start")) {
      target = 0;
    } else if (Is(where, "end")) {
      target = device.stream->LengthMilliseconds();
      to_end = true;
    } else {
      target = ParseMilliseconds(where.text);
      if (!target || *target > device.stream->LengthMilliseconds()) {
        return Failure(MciError::kOutOfRange);
      }
    }
  }
  if (!target) return Failure(MciError::kMissingParameter);
  Abort(device);
  MediaProblem problem;
  if (!device.stream->SeekTo(*target, &problem))
    return FromProblem(problem, MciError::kDeviceFailed);
  device.mode = Device::Mode::kStopped;
  device.at_end = to_end;
  if (flags.notify) Notify(window, kMciNotifySuccessful, device);
  return {};
}

MciResult TMediaControl::Stop(Device& device, const Words& words, WindowId window, bool pause) {
  Flags flags;
  for (const MciWord& word : words) {
    if (!TakeFlag(word, &flags)) return Failure(MciError::kBadKeyword, word.text);
  }
  Abort(device);
  MediaProblem problem;
  if (device.mode == Device::Mode::kPlaying && !device.stream->Pause(&problem)) {
    return FromProblem(problem, MciError::kDeviceFailed);
  }
  if (device.mode != Device::Mode::kStopped) {
    device.mode = pause ? Device::Mode::kPaused : Device::Mode::kStopped;
  }
  if (flags.notify) Notify(window, kMciNotifySuccessful, device);
  return {};
}

MciResult TMediaControl::Resume(Device& device, const Words& words, WindowId window) {
  Flags flags;
  for (const MciWord& word : words) {
    if (!TakeFlag(word, &flags)) return Failure(MciError::kBadKeyword, word.text);
  }
  if (device.mode != Device::Mode::kPaused) {
    if (flags.notify) Notify(window, kMciNotifySuccessful, device);
    return {};
  }
  MediaProblem problem;
  if (!device.stream->Play(&problem)) return FromProblem(problem, MciError::kDeviceFailed);
  device.mode = Device::Mode::kPlaying;
  if (flags.notify) device.notify = window;
  return {};
}

MciResult TMediaControl::Close(const std::string& name, const Words& words, WindowId window) {
  Flags flags;
  for (const MciWord& word : words) {
    if (!TakeFlag(word, &flags)) return Failure(MciError::kBadKeyword, word.text);
  }
  const bool all = EqualsNoCase(name, "all");
  if (!all && !Find(name)) return Failure(MciError::kDeviceNotOpen);
  for (auto it = devices_.begin(); it != devices_.end();) {
    if (all || EqualsNoCase((*it)->alias, name)) {
      Abort(**it);
      const std::uint32_t id = (*it)->id;
      it = devices_.erase(it);
      if (flags.notify && poster_) poster_(window, kMciNotifySuccessful, id);
    } else {
      ++it;
    }
  }
  return {};
}

MciResult TMediaControl::Status(Device& device, const Words& words) {
  if (words.empty()) return Failure(MciError::kMissingParameter);
  std::string item;
  for (const MciWord& word : words) {
    Flags ignored;
    if (TakeFlag(word, &ignored)) continue;
    if (!item.empty()) item += ' ';
    item += ToLower(word.text);
  }
  if (item == "mode") {
    static constexpr const char* kModes[] = {"stopped", "playing", "paused"};
    return {MciError::kNone, {}, kModes[static_cast<int>(device.mode)]};
  }
  if (item == "length")
    return {MciError::kNone, {}, std::to_string(device.stream->LengthMilliseconds())};
  if (item == "position") {
    return {MciError::kNone, {}, std::to_string(device.stream->PositionMilliseconds())};
  }
  if (item == "ready" || item == "media present") return {MciError::kNone, {}, "true"};
  if (item == "time format") return {MciError::kNone, {}, "milliseconds"};
  return Failure(MciError::kBadKeyword, item);
}

MciResult TMediaControl::Set(const Words& words) {
  std::string setting;
  for (const MciWord& word : words) {
    Flags ignored;
    if (TakeFlag(word, &ignored)) continue;
    if (!setting.empty()) setting += ' ';
    setting += ToLower(word.text);
  }
  if (setting.empty()) return Failure(MciError::kMissingParameter);
  // Milliseconds are the only time format the devices know.
  if (setting == "time format milliseconds" || setting == "time format ms") return {};
  return Failure(MciError::kBadKeyword, setting);
}

bool TMediaControl::Poll() {
  bool playing = false;
  for (const auto& device : devices_) {
    if (device->mode != Device::Mode::kPlaying) continue;
    MediaProblem problem;
    const MediaEvent event = device->stream->Poll(&problem);
    if (event == MediaEvent::kNothing) {
      playing = true;
      continue;
    }
    device->mode = Device::Mode::kStopped;
    device->at_end = event == MediaEvent::kEnded;
    if (device->notify) {
      const WindowId window = *device->notify;
      device->notify.reset();
      Notify(window, event == MediaEvent::kEnded ? kMciNotifySuccessful : kMciNotifyFailure,
             *device);
    }
  }
  return playing;
}

bool TMediaControl::AnyPlaying() const {
  for (const auto& device : devices_) {
    if (device->mode == Device::Mode::kPlaying) return true;
  }
  return false;
}

bool TMediaControl::IsDeviceOpen(std::uint32_t device_id) const {
  for (const auto& device : devices_) {
    if (device->id == device_id) return true;
  }
  return false;
}

std::optional<std::uint32_t> TMediaControl::WaveVolume() const {
  if (!engine_) return std::nullopt;
  return wave_volume_;
}

bool TMediaControl::SetWaveVolume(std::uint32_t volume) {
  if (!engine_) return false;
  wave_volume_ = volume;
  for (const auto& device : devices_) device->stream->SetVolume(LinearVolume());
  return true;
}

TMediaControl::Device* TMediaControl::Find(std::string_view alias) {
  for (const auto& device : devices_) {
    if (EqualsNoCase(device->alias, alias)) return device.get();
  }
  return nullptr;
}

void TMediaControl::Abort(Device& device) {
  if (!device.notify) return;
  const WindowId window = *device.notify;
  device.notify.reset();
  Notify(window, kMciNotifyAborted, device);
}

void TMediaControl::Notify(WindowId window, std::uint32_t code, const Device& device) {
  if (poster_) poster_(window, code, device.id);
}

double TMediaControl::LinearVolume() const {
  // One level for both channels: the louder of the two.
  const std::uint32_t left = wave_volume_ & kChannelMaximum;
  const std::uint32_t right = wave_volume_ >> 16;
  return static_cast<double>(left > right ? left : right) / kChannelMaximum;
}

TMediaControl::NotifyPoster LoopNotifyPoster(TEventLoop& loop) {
  return [&loop](WindowId window, std::uint32_t code, std::uint32_t device_id) {
    Message message;
    message.id = kMessageMciNotify;
    message.window = window;
    message.command = code;
    message.param = device_id;
    loop.Post(message);
  };
}
