#include "media/media_playback.h"

#include <charconv>

#include "media/media_messages.h"
#include "media/wave_volume.h"
#include "platform/log_sink.h"
#include "platform/media_control.h"
#include "platform/path.h"
#include "platform/tick_count.h"
#include "settings/profile.h"

namespace {

bool IsNotSent(std::string_view command) {
  return command.empty() || command.front() == '#' || command.front() == '!' ||
         command.front() == '/';
}

std::uint32_t DeviceOfReply(std::string_view reply) {
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(reply.data(), reply.data() + reply.size(), id);
  return error == std::errc() && end == reply.data() + reply.size() ? id : 0;
}

}  // namespace

TMediaPlayback::TMediaPlayback(MediaHost& host) : host_(host) {
  last_sound_time_ = last_movie_time_ = GetTickCount();
}

bool TMediaPlayback::SendMciCommand(std::string_view template_text, std::string_view argument,
                                    bool is_movie) {
  last_reply_.clear();
  if (template_text.empty()) return true;
  const std::string command = FormatLogText(template_text, argument);
  LogLine(kMciCommandLog, command);
  if (IsNotSent(command)) return true;
  // A cut command could name another file: refuse it instead.
  if (command.size() > kMaxMciCommand) {
    LogLine(kMciErrorLog, kCommandTooLong);
    return false;
  }
  const MciResult result = host_.MediaControl().Send(command, host_.NotifyWindow());
  if (!result.ok()) {
    LogLine(kMciErrorLog, result.error_text);
    return false;
  }
  last_reply_ = result.reply;
  (is_movie ? last_movie_time_ : last_sound_time_) = GetTickCount();
  return true;
}

bool TMediaPlayback::Send(StringKey key, std::string_view argument, bool is_movie) {
  return SendMciCommand(host_.Settings().Get(key), argument, is_movie);
}

void TMediaPlayback::PlayFile(MediaType type, const std::string& name, bool synchronous) {
  const int index = static_cast<int>(type);
  const bool movie = IsMovieType(type);
  const MediaTemplates templates = TemplatesOf(type);
  playing_[index] = false;
  if (!Send(templates.open, name, movie)) return;
  devices_[index] = DeviceOfReply(last_reply_);
  if (Send(templates.setup, {}, movie) &&
      Send(templates.play, synchronous ? kPlayWait : kPlayNotify, movie) && !synchronous) {
    playing_[index] = true;
    return;
  }
  Send(templates.close, {}, movie);
  devices_[index] = 0;
}

void TMediaPlayback::PlaySoundEntry(const std::string& name) {
  StopSounds();
  host_.RunWaitingMessages();
  const std::string extension = SplitPath(name).extension;
  if (EqualsNoCase(extension, ".mci")) {
    RunScript(name);
    return;
  }
  const std::optional<MediaType> type = MediaTypeOfExtension(extension);
  if (!type || IsMovieType(*type)) return;
  PlayFile(*type, name, host_.Settings().Get(IntKey::SoundSynchronous) != 0);
}

void TMediaPlayback::PlayMovieEntry(const std::string& name) {
  StopMovies();
  host_.RunWaitingMessages();
  const std::optional<MediaType> type = MediaTypeOfExtension(SplitPath(name).extension);
  if (!type || !IsMovieType(*type)) return;
  PlayFile(*type, name, host_.Settings().Get(IntKey::MovieSynchronous) != 0);
}

void TMediaPlayback::Close(MediaType type) {
  const int index = static_cast<int>(type);
  if (playing_[index]) Send(TemplatesOf(type).close, {}, IsMovieType(type));
  playing_[index] = false;
  devices_[index] = 0;
}

void TMediaPlayback::StopSounds() {
  for (MediaType type : kSoundTypes) Close(type);
  if (script_active_) Send(StringKey::MCICloseCommand, {}, false);
  script_active_ = false;
}

void TMediaPlayback::StopMovies() {
  for (MediaType type : kMovieTypes) Close(type);
}

void TMediaPlayback::Restart(MediaType type) {
  const MediaTemplates templates = TemplatesOf(type);
  const bool movie = IsMovieType(type);
  if (Send(templates.seek, {}, movie) && Send(templates.play, kPlayNotify, movie)) return;
  Send(templates.close, {}, movie);
  playing_[static_cast<int>(type)] = false;
  devices_[static_cast<int>(type)] = 0;
}

void TMediaPlayback::OnSoundNotify(std::uint32_t code) {
  const TProfile& settings = host_.Settings();
  if (settings.Get(IntKey::SoundSynchronous) != 0) return;
  if (!TypePlaying(MediaType::kMid) && !TypePlaying(MediaType::kWav)) return;
  if (settings.Get(IntKey::SoundLoop) != 0 && code == kMciNotifySuccessful) {
    Restart(TypePlaying(MediaType::kMid) ? MediaType::kMid : MediaType::kWav);
  } else if (code != kMciNotifySuperseded) {
    StopSounds();
  }
}

void TMediaPlayback::OnMovieNotify(std::uint32_t code) {
  const TProfile& settings = host_.Settings();
  if (settings.Get(IntKey::MovieSynchronous) != 0) return;
  for (MediaType type : kMovieTypes) {
    if (!TypePlaying(type)) continue;
    if (settings.Get(IntKey::MovieLoop) != 0 && code == kMciNotifySuccessful) {
      Restart(type);
    } else if (code != kMciNotifySuperseded) {
      StopMovies();
    }
    return;
  }
}

void TMediaPlayback::OnNotify(std::uint32_t code, std::uint32_t device_id) {
  // A notice of a device closed since (the abort its close caused, or a
  // notice that waited in the queue) concerns nothing that plays now.
  if (!host_.MediaControl().IsDeviceOpen(device_id)) return;
  bool sound = false;
  bool movie = false;
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (devices_[index] != device_id) continue;
    (IsMovieType(static_cast<MediaType>(index)) ? movie : sound) = true;
  }
  // A device of neither kind (a script's) concerns both, as it always did.
  if (!sound && !movie) sound = movie = true;
  if (sound) OnSoundNotify(code);
  if (movie) OnMovieNotify(code);
}

bool TMediaPlayback::Poll() {
  const bool device_playing = host_.MediaControl().Poll();
  for (bool playing : playing_) {
    if (playing) return true;
  }
  return device_playing;
}

bool TMediaPlayback::SoundPlaying() const {
  return TypePlaying(MediaType::kMid) || TypePlaying(MediaType::kWav) ||
         (script_active_ && host_.MediaControl().AnyPlaying());
}

bool TMediaPlayback::MoviePlaying() const {
  for (MediaType type : kMovieTypes) {
    if (TypePlaying(type)) return true;
  }
  return false;
}

void TMediaPlayback::Louder() {
  TMediaControl& control = host_.MediaControl();
  if (const auto volume = control.WaveVolume()) control.SetWaveVolume(LouderVolume(*volume));
}

void TMediaPlayback::Softer() {
  TMediaControl& control = host_.MediaControl();
  if (const auto volume = control.WaveVolume()) control.SetWaveVolume(SofterVolume(*volume));
}
