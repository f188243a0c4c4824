#include "show/thumbnails.h"

#include "files/file_pkg.h"
#include "platform/window.h"
#include "settings/profile.h"
#include "show/event_action.h"
#include "show/sheet_state.h"
#include "show/slideshow.h"
#include "show/slideshow_host.h"

namespace {
bool Running(SlideshowHost& host) {
  return host.Settings().Get(IntKey::RunSlideshow) != 0;
}

// As fast as pictures load, a page at a time; the slideshow's stop gives the
// settings back.
void UseSheetRunSettings(TProfile& settings) {
  for (IntKey key : {IntKey::DelayBetweenImages, IntKey::DelayBetweenSounds,
                     IntKey::DelayBetweenMovies, IntKey::RandomOrder}) {
    settings.Set(key, 0);
  }
  settings.Set(IntKey::EraseNewPages, 1);
  for (IntKey key : {IntKey::ScreenDoneEvent, IntKey::SlideshowDoneEvent}) {
    if (settings.Get(key) == kNormalAction) settings.Set(key, kStopSlideshowAction);
  }
}
}  // namespace

void ToggleThumbnails(SlideshowHost& host) {
  TProfile& settings = host.Settings();
  settings.Set(IntKey::ThumbnailsEnable, settings.Get(IntKey::ThumbnailsEnable) != 0 ? 0 : 1);
  host.ErasePage(true);
  host.BuildDisplayPalette(true);
  host.ResetZoom();
  host.RefreshFrame(false);
}

void DisplayThumbnails(SlideshowHost& host, TSlideshow& slideshow) {
  TProfile& settings = host.Settings();
  TFilePkg& files = host.Files();
  if (!ThumbnailSheetOn(settings)) {
    // From the last file, the first step shows the first one.
    const std::int32_t limit = files.Count();
    for (std::int32_t i = 0; i < limit && !files.AtEnd(); ++i) files.Next(kSortedOrder);
    ToggleThumbnails(host);
    const Size client = host.MainWindow().ClientSize();
    host.SetFrameFromPoint(Point{client.width, client.height}, false);
    if (!Running(host)) slideshow.ToggleSlideshow();
  } else if (files.AtEnd()) {
    if (Running(host)) slideshow.ToggleSlideshow();
    if (ThumbnailSheetOn(settings)) ToggleThumbnails(host);
    return;
  } else {
    slideshow.ToggleSlideshow();
    // Stopping gave the settings back; the run's own must not outlive it.
    if (!Running(host)) return;
  }
  UseSheetRunSettings(settings);
}
