// Animated GIFs in the main window. Frames are composed onto the picture
// from the idle time when their delay is over and drawn at once, without a
// transition; drawing them does not restart the picture's display time.
#include <algorithm>
#include <memory>
#include <span>
#include <string_view>

#include "app/main_window.h"
#include "formats/gif_animation.h"
#include "image/picture_formats.h"
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
  const ImageBounds output = image_->GetOutputRect();
  const Rect picture = Intersect(
      Rect{output.left, output.top, output.right, output.bottom}.Offset(inner.left, inner.top),
      window_->ClientRect());
  if (picture.IsEmpty()) return;

  TDeviceContext screen = window_->ClientDC();
  screen.SelectPalette(palette_.get());
  if (palette_) screen.RealizePalette();
  std::unique_ptr<TDeviceContext> page;
  if (page_) {
    page = std::make_unique<TDeviceContext>(*page_, &Display(), window_->Id());
    page->SelectPalette(palette_.get());
  }
  const int picture_bytes = image_->GetBytesPerPixel();
  const int output_bytes = picture_bytes > 1 && Display().Depth() <= 8 ? 1 : picture_bytes;
  const DibLineFormat format =
      output_bytes == 1 ? DibLineFormat::kIndexedPalette : DibLineFormat::kBgr24;
  const int width = std::min(picture.Width(), kMaxOutputSize);
  dither_.ResetErrors();
  for (int y = picture.top; y < picture.bottom; ++y) {
    image_->GetOutputRow(picture.left - inner.left, y - inner.top, line_.data(), width);
    dither_.DitherLine(line_.data(), width, picture_bytes);
    const std::span<const std::uint8_t> bits(line_.data(),
                                             static_cast<std::size_t>(width) * output_bytes);
    if (page) page->DrawDibLine(picture.left, y, width, bits, format);
    screen.DrawDibLine(picture.left, y, width, bits, format);
  }
  window_->Present(picture);
}
