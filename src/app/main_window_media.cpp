// Sounds and movies as the main window sees them: the playback engine
// connects here. Without it, a sound or movie is named in the caption and
// the delays of a slideshow still count from the moment it was shown.
#include "app/main_window.h"
#include "platform/tick_count.h"

void TZentropeWin::PlaySound() {
  last_sound_time_ = GetTickCount();
}

void TZentropeWin::PlayMovie() {
  last_movie_time_ = GetTickCount();
}

void TZentropeWin::StopSound() {
  sound_open_ = false;
}

void TZentropeWin::StopMovie() {
  movie_open_ = false;
}
