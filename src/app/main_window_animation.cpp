// Animated GIFs in the main window. Frames are composed onto the picture
// from the idle time when their delay is over and drawn at once, without a
// transition; drawing them does not restart the picture's display time.
#include <string_view>

#include "app/main_window.h"
#include "formats/gif_animation.h"
#include "image/picture_formats.h"
#include "image/picture_rows.h"
#include "platform/display.h"
#include "platform/tick_count.h"

namespace {
constexpr std::string_view kHeadlessBackendName = "headless";
}  // namespace

void TZentropeWin::StartAnimation(const std::string& format) {
  // A sheet moves on to the next cell, and a print or conversion run wants
  // the picture, not its play.
  if (settings_.Get(IntKey::AnimateGif) == 0 || format != PictureFormatName(PictureFormat::Gif) ||
      SheetOn(Sheet()) || batch_) {
    return;
  }
  animation_ = TGifAnimation::Open(names_[kImagePath], &settings_);
  if (animation_) animation_->Start(*image_, GetTickCount());
}

bool TZentropeWin::FirstLoopPlaying() const {
  return animation_ && !animation_->FirstLoopDone();
}

bool TZentropeWin::AnimateStep() {
  if (!animation_ || animation_->Stopped()) return false;
  // A frame waits while the picture is busy or its page is still drawn.
  const bool busy = loading_ || printing_ || selecting_ || panning_ || PaintPending();
  const bool first_loop = !animation_->FirstLoopDone();
  if (!busy && animation_->Tick(*image_, GetTickCount())) PaintAnimationFrame();
  // The picture's display time starts when its first play ends.
  if (first_loop && animation_->FirstLoopDone()) last_image_time_ = GetTickCount();
  // Off the desktop nobody watches between events, so the play does not keep
  // the loop awake: whenever the loop goes idle (after each input or script
  // line) the frame due at that moment is shown, and a run can end.
  return !animation_->Stopped() && backend_.Name() != kHeadlessBackendName;
}

void TZentropeWin::PaintAnimationFrame() {
  if (closed_ || !window_ || window_->Placement().state == ShowState::kMinimized) return;
  const Rect inner = InnerFrame();
  const Point origin{inner.left, inner.top};
  const Rect frame = Intersect(PictureRect(*image_, origin), window_->ClientRect());
  if (frame.IsEmpty()) return;

  TDeviceContext screen = window_->ClientDC();
  screen.SelectPalette(palette_.get());
  if (palette_) screen.RealizePalette();
  const bool indexed = image_->GetBytesPerPixel() == 1 || Display().Depth() <= 8;
  const RowFormat format{indexed ? DibLineFormat::kIndexedPalette : DibLineFormat::kBgr24, {}};
  dither_.ResetErrors();
  Rect pending = frame;
  if (page_) {
    // The page keeps the frame too, so uncovering the window shows it.
    TDeviceContext page(*page_, &Display(), window_->Id());
    page.SelectPalette(palette_.get());
    PaintPictureRows(*image_, dither_, page, origin, pending, format, line_, frame.Height());
    screen.BitBlt(frame.left, frame.top, frame.Width(), frame.Height(), page, frame.left,
                  frame.top);
  } else {
    PaintPictureRows(*image_, dither_, screen, origin, pending, format, line_, frame.Height());
  }
  window_->Present(frame);
}
