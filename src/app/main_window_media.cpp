// Sounds and movies as the main window sees them: the playback of the media
// folder over the command interpreter, its completion notices, and the
// times the slideshow's sound and movie delays count from.
#include <cstdint>
#include <cstdlib>

#include "app/main_window.h"
#include "platform/long_operation.h"
#include "platform/null_media_engine.h"

void TZentropeWin::CreateMedia() {
  // A headless run keeps time on its own clock, which only the null engine follows.
  const char* chosen = std::getenv("ZENTROPE_MEDIA");
  const bool headless = backend_.Name() == "headless";
  media_engine_ =
      headless && !(chosen && *chosen) ? std::make_unique<TNullMediaEngine>() : CreateMediaEngine();
  media_control_ =
      std::make_unique<TMediaControl>(media_engine_.get(), LoopNotifyPoster(backend_.EventLoop()));
  media_ = std::make_unique<TMediaPlayback>(*this);
}

WindowId TZentropeWin::NotifyWindow() const {
  return window_ ? window_->Id() : kNoWindow;
}

void TZentropeWin::RunWaitingMessages() {
  // As a long operation, so that a command arriving meanwhile waits for its turn.
  if (IsLongOperation()) {
    PollLongOperation(-1);
    return;
  }
  BeginLongOperation();
  PollLongOperation(-1);
  EndLongOperation();
}

namespace {
// The later of two tick counts, across the counter's wrap.
std::uint32_t Later(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(b - a) > 0 ? b : a;
}
}  // namespace

void TZentropeWin::TakeMediaTimes() {
  last_sound_time_ = Later(last_sound_time_, media_->LastSoundTime());
  last_movie_time_ = Later(last_movie_time_, media_->LastMovieTime());
}

void TZentropeWin::PlaySound() {
  media_->PlaySoundEntry(names_[kSoundPath]);
  TakeMediaTimes();
}

void TZentropeWin::PlayMovie() {
  media_->PlayMovieEntry(names_[kMoviePath]);
  TakeMediaTimes();
}

void TZentropeWin::StopSound() {
  media_->StopSounds();
  TakeMediaTimes();
}

void TZentropeWin::StopMovie() {
  media_->StopMovies();
  TakeMediaTimes();
}

void TZentropeWin::OnMediaNotify(const Message& message) {
  media_->OnNotify(message.command, message.param);
  TakeMediaTimes();
}

bool TZentropeWin::PollMedia() {
  return media_->Poll();
}
