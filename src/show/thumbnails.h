// Thumbnail sheets: the Display thumbnails command, which fills pages of the
// window with the next pictures as fast as they load, and the Enable toggle
// it shares with the Options menu.
#pragma once

class SlideshowHost;
class TSlideshow;

// Toggles ThumbnailsEnable, erases the window, rebuilds the display palette
// and refits the zoom for the new frame.
void ToggleThumbnails(SlideshowHost& host);

// Display thumbnails: starts a sheet run over the list from its first file,
// continues with the next page, or at the end of the list stops and turns
// the sheet off.
void DisplayThumbnails(SlideshowHost& host, TSlideshow& slideshow);
