// Mouse, cursor, size, palette notices, dropped files, system commands and
// idle time. The left button selects (a band to zoom into, a click to zoom
// in, with Ctrl to zoom out, with Shift to crop, with both to rotate, or a
// cell of a sheet); the right button drags the picture.
#include <algorithm>

#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "platform/display.h"
#include "settings/run_mode.h"

void TZentropeWin::OnMessage(TWindow&, const Message& message) {
  if (closed_) return;
  if (message.id == kMessageMciNotify) {
    OnMediaNotify(message);
    return;
  }
  switch (message.id) {
    case MessageId::kCommand:
      OnCommand(message.command);
      return;
    case MessageId::kInitMenuPopup:
      OnInitMenu(message.command);
      return;
    case MessageId::kLButtonDown:
    case MessageId::kLButtonUp:
      OnLeftButton(message);
      return;
    case MessageId::kRButtonDown:
    case MessageId::kRButtonUp:
      OnRightButton(message);
      return;
    case MessageId::kMouseMove:
      if (selecting_) OnLeftButton(message);
      if (panning_) OnRightButton(message);
      RefreshCursor();
      return;
    case MessageId::kRButtonDblClk:
      if (!panning_) {
        ResetZoom();
        RefreshFrame(false);
      }
      return;
    case MessageId::kSetCursor:
      OnSetCursor(message);
      return;
    case MessageId::kSize:
      OnSize(message);
      return;
    case MessageId::kPaletteIsChanging:
    case MessageId::kPaletteChanged:
    case MessageId::kSetFocus:
    case MessageId::kKillFocus:
      OnPaletteNotice(message);
      return;
    case MessageId::kDropFiles:
      OnDropFiles(message);
      return;
    case MessageId::kSysCommand:
      OnSystemCommand(message);
      return;
    case MessageId::kClose:
      Close();
      return;
    default:
      return;
  }
}

Rect TZentropeWin::BandInFrame() const {
  const Rect inner = InnerFrame();
  return band_.Normalized().Offset(-inner.left, -inner.top);
}

void TZentropeWin::DrawBand() {
  TDeviceContext dc = window_->ClientDC();
  dc.InvertFrame(band_);
  window_->Present(
      Union(band_.Normalized(), Rect{band_.Normalized().left, band_.Normalized().top,
                                     band_.Normalized().right + 1, band_.Normalized().bottom + 1}));
}

void TZentropeWin::ResetZoom() {
  const Rect inner = InnerFrame();
  image_->Zoom(0, settings_.Get(IntKey::AutoFit) != 0, settings_.Get(IntKey::AutoScale) != 0,
               inner.Width(), inner.Height());
}

void TZentropeWin::ZoomAtBand(int direction) {
  const Rect band = BandInFrame();
  const Rect inner = InnerFrame();
  image_->CentreAt((band.left + band.right) / 2, (band.top + band.bottom) / 2);
  image_->Zoom(direction, settings_.Get(IntKey::AutoFit) != 0,
               settings_.Get(IntKey::AutoScale) != 0, inner.Width(), inner.Height());
}

void TZentropeWin::OnLeftButton(const Message& message) {
  const Point point = message.position;
  if (message.id == MessageId::kLButtonDown) {
    if (panning_) {
      Close();
      return;
    }
    if (selecting_) return;
    window_->SetCapture();
    selecting_ = true;
    frame_selecting_ = SetFrameFromPoint(point, false);
    band_ = frame_selecting_ ? InnerFrame() : Rect{point.x, point.y, point.x, point.y};
    DrawBand();
    RefreshCursor();
    return;
  }
  if (!selecting_) return;
  DrawBand();
  if (message.id == MessageId::kMouseMove) {
    if (frame_selecting_) {
      SetFrameFromPoint(point, true);
      band_ = InnerFrame();
    } else {
      band_.right = point.x;
      band_.bottom = point.y;
    }
    DrawBand();
    return;
  }
  const Modifiers keys = message.modifiers;
  if (frame_selecting_) {
    RefreshFrame(false);
  } else if (keys.shift && keys.control) {
    OnCommand(CM_ROTATE);
  } else if (keys.control) {
    ZoomAtBand(-1);
    RefreshFrame(false);
  } else if (keys.shift) {
    OnCommand(CM_CROP);
  } else {
    const Rect band = BandInFrame();
    if (band.Width() < kClickBandSize || band.Height() < kClickBandSize) {
      ZoomAtBand(+1);
    } else {
      const Rect inner = InnerFrame();
      image_->ZoomToRect(ImageBounds{band.left, band.top, band.right, band.bottom},
                         settings_.Get(IntKey::AutoFit) != 0, settings_.Get(IntKey::AutoScale) != 0,
                         inner.Width(), inner.Height());
    }
    RefreshFrame(false);
  }
  window_->ReleaseCapture();
  selecting_ = false;
  frame_selecting_ = false;
}

void TZentropeWin::OnRightButton(const Message& message) {
  const Point point = message.position;
  if (message.id == MessageId::kRButtonDown) {
    if (selecting_) {
      Close();
      return;
    }
    if (panning_) return;
    window_->SetCapture();
    panning_ = true;
    band_ = Rect{point.x, point.y, point.x, point.y};
    return;
  }
  if (!panning_) return;
  const int dx = point.x - band_.right;
  const int dy = point.y - band_.bottom;
  band_.right = point.x;
  band_.bottom = point.y;
  if (message.id == MessageId::kMouseMove) {
    const ImageBounds output = image_->GetOutputRect();
    const Rect inner = InnerFrame();
    const Rect picture =
        Rect{output.left, output.top, output.right, output.bottom}.Offset(inner.left, inner.top);
    TDeviceContext dc = window_->ClientDC();
    dc.ScrollRect(dx, dy, picture, picture);
    window_->Present(picture);
    return;
  }
  // Released: the whole move, in picture pixels, moves the view the other way.
  const ImageSize view = image_->GetViewSize();
  const ImageBounds output = image_->GetOutputRect();
  const int display_width = std::max(1, output.right - output.left);
  const int display_height = std::max(1, output.bottom - output.top);
  const std::int64_t moved_x = std::int64_t{band_.right - band_.left} * view.width / display_width;
  const std::int64_t moved_y =
      std::int64_t{band_.bottom - band_.top} * view.height / display_height;
  panning_ = false;
  image_->Pan(static_cast<int>(-moved_x), static_cast<int>(-moved_y));
  RefreshFrame(false);
  window_->ReleaseCapture();
}

void TZentropeWin::OnSetCursor(const Message& message) {
  if (message.hit_test == HitTest::kNowhere) return;
  if (settings_.Get(IntKey::RunSlideshow) != 0 &&
      (settings_.Get(IntKey::MouseButtonEvent) != 0 ||
       settings_.Get(IntKey::MouseMovementEvent) != 0)) {
    window_->SetCursor(MouseCursor::Hidden());
    return;
  }
  if (message.hit_test != HitTest::kClient) return;
  if (ProgressCursorShown() || loading_) {
    window_->SetCursor(ProgressCursor(ProgressPercent()));
  } else if (selecting_) {
    window_->SetCursor(MouseCursor::Cross());
  } else if (panning_) {
    window_->SetCursor(PanCursor());
  } else {
    window_->SetCursor(MouseCursor::Arrow());
  }
}

void TZentropeWin::RefreshCursor() {
  if (!window_) return;
  const bool enabled = window_->IsEnabled();
  if (!enabled) window_->Enable(true);
  backend_.RefreshCursor();
  if (!enabled) window_->Enable(false);
}

void TZentropeWin::OnSize(const Message& message) {
  if (!set_up_) return;
  if (static_cast<ShowState>(message.param) == ShowState::kMinimized) return;
  ErasePage(false);
  ResetZoom();
  RefreshFrame(false);
}

void TZentropeWin::OnPaletteNotice(const Message& message) {
  const bool palette_display = Display().Depth() == 8;
  const bool ours = message.param == window_->Id();
  switch (message.id) {
    case MessageId::kPaletteIsChanging:
      if (palette_display && !ours && set_up_) ErasePage(false);
      return;
    case MessageId::kPaletteChanged:
      if (palette_display && !ours && set_up_) {
        palette_pending_ = true;
        BuildDisplayPalette(true);
      }
      return;
    case MessageId::kSetFocus:
      if (palette_pending_ && palette_display) BuildDisplayPalette(true);
      palette_pending_ = false;
      return;
    default:
      palette_pending_ = false;
      return;
  }
}

void TZentropeWin::OnDropFiles(const Message& message) {
  if (DeferIfBusy()) return;
  if (!message.files || message.files->empty()) return;
  ShowProgress(50);
  BeginLongOperation();
  files_.Clear();
  for (const std::string& path : *message.files) {
    files_.AddSpec(path, settings_.Get(IntKey::OpenIndex), false, false);
  }
  EndLongOperation();
  EndProgress();
  LoadCurrent();
}

void TZentropeWin::OnSystemCommand(const Message& message) {
  ++system_command_nesting_;
  const bool screen_save = (message.command & kScCodeMask) == kScScreenSave;
  const bool swallow =
      screen_save && (settings_.Get(IntKey::RunSlideshow) != 0 ||
                      CurrentRunMode() != RunMode::Viewer || ProgressCursorShown());
  if (!swallow) backend_.DefaultSystemCommand(*window_, message.command);
  --system_command_nesting_;
}

bool TZentropeWin::PreDispatch(const Message& message) {
  if (input_filter_ && input_filter_(message)) return true;
  if (closed_ || !window_) return false;
  const std::uint32_t command = MainAccelerators().Translate(message);
  if (command == 0) return false;
  backend_.EventLoop().Send(Message::Command(window_->Id(), command));
  return true;
}

IdleResult TZentropeWin::IdleStep() {
  if (closed_ || !window_ || !slideshow_) return IdleResult::kDone;
  const bool media_playing = PollMedia();
  const bool animating = AnimateStep();
  const IdleResult result = slideshow_->SlideshowIdle();
  // Completion notices are looked for while something plays.
  return result == IdleResult::kDone && (media_playing || animating) ? IdleResult::kWaiting
                                                                     : result;
}

void TZentropeWin::PaintPendingPortion() {
  if (closed_ || !window_ || !PaintPending()) return;
  // The idle portion does not restart the picture's display time.
  const std::uint32_t shown = last_image_time_;
  TDeviceContext dc = window_->ClientDC();
  Paint(dc, dirty_);
  last_image_time_ = shown;
}
