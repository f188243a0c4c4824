// TMediaPlayback: sounds and movies of the file list played through the
// command templates of the settings, .mci scripts, the completion notices
// that loop or close what played, and the wave volume. The main window owns
// one and hands it the notices it receives.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/media_host.h"
#include "media/media_types.h"

// A formatted command holds at most this many characters.
inline constexpr std::size_t kMaxMciCommand = 251;
// A script line holds at most this many characters, line end included.
inline constexpr std::size_t kMaxScriptLine = 150;

class TMediaPlayback {
 public:
  explicit TMediaPlayback(MediaHost& host);

  // Formats the template with the argument, logs it and sends it. An empty
  // template, or a command starting with "#", "!" or "/", counts as success
  // and is not sent.
  bool SendMciCommand(std::string_view template_text, std::string_view argument, bool is_movie);

  // ".mid" and ".wav" play with their templates, ".mci" runs a script.
  void PlaySoundEntry(const std::string& name);
  // ".avi", ".mpg", ".mmm", ".mov", ".fli" and ".flc" play with their templates.
  void PlayMovieEntry(const std::string& name);
  void StopSounds();
  void StopMovies();

  // A completion notice for the device `device_id` with its code (1, 2, 4, 8).
  void OnNotify(std::uint32_t code, std::uint32_t device_id);
  // Looks for devices that finished and posts their notices; true while a
  // sound or movie still plays or waits for its notice.
  bool Poll();

  void Louder();
  void Softer();

  bool TypePlaying(MediaType type) const { return playing_[static_cast<int>(type)]; }
  bool ScriptActive() const { return script_active_; }
  // Whether the slideshow must wait for a sound or for a movie.
  bool SoundPlaying() const;
  bool MoviePlaying() const;
  // Ticks of the last successful sound and movie commands.
  std::uint32_t LastSoundTime() const { return last_sound_time_; }
  std::uint32_t LastMovieTime() const { return last_movie_time_; }

 private:
  bool Send(StringKey key, std::string_view argument, bool is_movie);
  void PlayFile(MediaType type, const std::string& name, bool synchronous);
  void RunScript(const std::string& name);
  void Restart(MediaType type);
  void Close(MediaType type);
  void OnSoundNotify(std::uint32_t code);
  void OnMovieNotify(std::uint32_t code);

  MediaHost& host_;
  std::array<bool, kMediaTypeCount> playing_{};
  // The device each type's Open made, so a notice reaches only its own kind.
  std::array<std::uint32_t, kMediaTypeCount> devices_{};
  bool script_active_ = false;
  std::uint32_t last_sound_time_ = 0;
  std::uint32_t last_movie_time_ = 0;
  std::string last_reply_;
};
