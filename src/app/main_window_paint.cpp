// Layout, frames and painting. A picture is drawn a few dozen lines per pass,
// straight onto the screen (the Direct effect) or into the page bitmap, from
// which a transition reveals it once the page is complete. What a pass leaves
// is invalidated again, so the next paint or the idle time continues it.
#include <algorithm>

#include "app/main_window.h"
#include "image/display_palette.h"
#include "image/picture_rows.h"
#include "platform/display.h"
#include "platform/path.h"
#include "platform/tick_count.h"
#include "show/transitions.h"

namespace {
bool IsNoFile(const std::string& name) {
  return EqualsNoCase(name, kNoFile);
}

}  // namespace

Rect TZentropeWin::OuterFrame() const {
  return OuterFramePixels(window_->ClientSize(), frame_rect_, Sheet());
}

Rect TZentropeWin::InnerFrame() const {
  Size label;
  const SheetSettings sheet = Sheet();
  if (SequentialSheet(sheet) && sheet.annotate) {
    TDeviceContext dc = window_->ClientDC();
    label = dc.GetTextExtent(names_[kImageName]);
  }
  return InnerFramePixels(OuterFrame(), sheet, label);
}

bool TZentropeWin::SetFrameFromPoint(Point point, bool force) {
  return ::SetFrameFromPoint(frame_rect_, point, window_->ClientSize(), force, Sheet());
}

void TZentropeWin::PlaceNextFrame() {
  const NextFrame next = ::PlaceNextFrame(frame_rect_, Sheet());
  if (next.new_page && settings_.Get(IntKey::RunSlideshow) != 0 &&
      settings_.Get(IntKey::EraseNewPages) != 0) {
    ErasePage(true);
  }
  frame_rect_ = next.frame;
}

bool TZentropeWin::PageFull() const {
  return ::PageFull(frame_rect_, Sheet());
}

void TZentropeWin::Layout() {
  if (loading_) return;
  const Rect inner = InnerFrame();
  image_->SetOutputSize(inner.Width(), inner.Height(), Display().LogPixelsX(),
                        Display().LogPixelsY(), settings_.Get(IntKey::Rotate),
                        settings_.Get(IntKey::AutoScale) != 0, settings_.Get(IntKey::AutoFit) != 0);
  UpdateCaption();
}

bool TZentropeWin::UsesPageBitmap() const {
  return settings_.Get(IntKey::Effect) != kDirectEffect || SheetOn(Sheet());
}

bool TZentropeWin::EnsurePageBitmap() {
  if (page_) return true;
  const Size client = window_->ClientSize();
  page_ = Display().CreateCompatibleSurface(std::max(1, client.width), std::max(1, client.height));
  if (!page_) return false;
  TDeviceContext dc(*page_, &Display(), window_->Id());
  dc.FillRect(page_->Bounds(), BackgroundColour());
  return true;
}

void TZentropeWin::FillClient(ColorRef colour) {
  if (!window_) return;
  TDeviceContext dc = window_->ClientDC();
  dc.FillRect(window_->ClientRect(), colour);
  window_->Present(window_->ClientRect());
}

void TZentropeWin::ErasePage(bool refresh) {
  FillClient(BackgroundColour());
  page_.reset();
  page_complete_ = false;
  dirty_ = Rect{};
  if (refresh) RefreshFrame(true);
}

void TZentropeWin::RefreshFrame(bool reset) {
  if (reset) SetFrameFromPoint(Point{0, 0}, false);
  Layout();
  dirty_ = Union(dirty_, InnerFrame());
  page_complete_ = false;
  window_->Invalidate(dirty_, false);
  dither_.ResetErrors();
  if (settings_.Get(IntKey::Effect) == kDirectEffect && !SheetOn(Sheet())) {
    page_.reset();
  } else {
    EnsurePageBitmap();
  }
  if (window_->Placement().state == ShowState::kMinimized) return;
  if (page_) {
    TDeviceContext page_dc(*page_, &Display(), window_->Id());
    DrawDecorations(page_dc);
  }
  if (!page_ || settings_.Get(IntKey::Effect) == kDirectEffect) {
    TDeviceContext screen = window_->ClientDC();
    DrawDecorations(screen);
    window_->Present(OuterFrame());
  }
}

void TZentropeWin::DrawDecorations(TDeviceContext& dc) {
  const Rect outer = OuterFrame();
  const Rect inner = InnerFrame();
  const ColorRef foreground = ForegroundColour();
  const bool grid = !(inner == outer);
  if (settings_.Get(IntKey::ThumbnailsOutline) != 0 && grid) {
    // The outline runs through the outer frame's right and bottom edges too.
    dc.FillRect(Rect{outer.left, outer.top, outer.right + 1, outer.top + 1}, foreground);
    dc.FillRect(Rect{outer.right, outer.top, outer.right + 1, outer.bottom + 1}, foreground);
    dc.FillRect(Rect{outer.left, outer.bottom, outer.right + 1, outer.bottom + 1}, foreground);
    dc.FillRect(Rect{outer.left, outer.top, outer.left + 1, outer.bottom + 1}, foreground);
  }
  if (outer.bottom - inner.bottom > 1) {
    const ColorRef background = BackgroundColour();
    dc.FillRect(Rect{inner.left, inner.bottom, outer.right, outer.bottom}, background);
    const std::string& name = names_[kImageName];
    const Size extent = dc.GetTextExtent(name);
    dc.DrawText((outer.left + outer.right) / 2 - extent.width / 2, inner.bottom + 2, name,
                foreground, background);
  }
}

void TZentropeWin::OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect,
                           bool erase) {
  if (erase && window.Placement().state != ShowState::kMinimized) {
    dc.FillRect(window.ClientRect(), BackgroundColour());
  }
  Paint(dc, paint_rect);
}

void TZentropeWin::Paint(TDeviceContext& screen, const Rect& paint_rect) {
  if (!set_up_ || closed_) return;
  const int depth = Display().Depth();
  if (depth != display_depth_) {
    display_depth_ = depth;
    ErasePage(true);
    if (depth == 8) BuildDisplayPalette(true);
    return;
  }
  if (printing_) return;
  if (paint_nesting_ > 0 || system_command_nesting_ > 0) {
    window_->Invalidate(paint_rect, false);
    return;
  }
  ++paint_nesting_;
  if (!IsNoFile(names_[kImageName]) && !loading_ && !panning_) {
    const bool use_page = UsesPageBitmap() && EnsurePageBitmap();
    if (!UsesPageBitmap()) page_.reset();
    screen.SelectPalette(palette_.get());
    if (palette_) screen.RealizePalette();
    if (use_page && page_complete_) {
      RevealPage(screen, paint_rect);
    } else {
      std::unique_ptr<TDeviceContext> page_dc;
      if (use_page) {
        page_dc = std::make_unique<TDeviceContext>(*page_, &Display(), window_->Id());
        page_dc->SelectPalette(palette_.get());
      }
      Rect pending = use_page ? Union(paint_rect, dirty_) : paint_rect;
      PaintLines(screen, page_dc.get(), pending);
    }
  }
  --paint_nesting_;
  last_image_time_ = GetTickCount();
}

void TZentropeWin::PaintLines(TDeviceContext& screen, TDeviceContext* page, Rect& pending) {
  const Rect inner = InnerFrame();
  const Rect picture = PictureRect(*image_, Point{inner.left, inner.top});
  const bool direct = settings_.Get(IntKey::Effect) == kDirectEffect;
  const ColorRef background = BackgroundColour();
  if (!RandomSheet(Sheet()) && !picture.Contains(pending)) {
    if (page) FillAroundPicture(*page, inner, picture, background);
    if (!page || direct) FillAroundPicture(screen, inner, picture, background);
  }
  pending = Intersect(pending, picture);
  if (!pending.IsEmpty()) {
    ShowProgress((pending.top - picture.top) * 100 / (picture.Height() + 1));
  }

  const int picture_bytes = image_->GetBytesPerPixel();
  const bool indexed = picture_bytes == 1 || Display().Depth() <= 8;
  const RowFormat format{indexed ? DibLineFormat::kIndexedPalette : DibLineFormat::kBgr24, {}};
  const int width = std::min(pending.Width(), kMaxOutputSize);
  Rect drawn{pending.left, pending.top, pending.left + width, pending.top};
  drawn.bottom +=
      PaintPictureRows(*image_, dither_, page ? *page : screen, Point{inner.left, inner.top},
                       pending, format, line_, kLinesPerPass);
  if (page && direct) {
    screen.BitBlt(drawn.left, drawn.top, drawn.Width(), drawn.Height(), *page, drawn.left,
                  drawn.top);
  }
  window_->Present(drawn);

  if (pending.IsEmpty()) {
    if (page && !page_complete_) {
      dirty_ = Rect{};
      Rect outer = OuterFrame();
      outer.right = std::min(outer.right + 1, window_->ClientSize().width);
      outer.bottom = std::min(outer.bottom + 1, window_->ClientSize().height);
      window_->Invalidate(outer, false);
      page_complete_ = true;
    }
    EndProgress();
    return;
  }
  if (page) dirty_ = pending;
  window_->Invalidate(pending, false);
}

// A complete page is revealed with the chosen effect when the whole frame is
// to be painted; uncovering part of it only copies that part back.
void TZentropeWin::RevealPage(TDeviceContext& screen, const Rect& paint_rect) {
  TDeviceContext page(*page_, &Display(), window_->Id());
  const Size client = window_->ClientSize();
  const Rect outer = OuterFrame();
  if (paint_rect == MeasureTransition(outer, client).frame) {
    PlayTransition(settings_.Get(IntKey::Effect), screen, page, outer, client,
                   [this](const Rect& area) { window_->Present(area); });
    return;
  }
  const Rect area = Intersect(paint_rect, page_->Bounds());
  screen.BitBlt(area.left, area.top, area.Width(), area.Height(), page, area.left, area.top);
  window_->Present(area);
}
