#include "app/text_window.h"

#include <algorithm>

#include "app/log_tee.h"
#include "platform/fixed_font.h"
#include "settings/run_mode.h"

namespace {
constexpr char kFontSample[] = "Courier";
constexpr int kFontSampleLength = 7;

struct PlacementKeys {
  IntKey show, x, y, w, h, m;
};

PlacementKeys KeysOf(TextWindowKind kind) {
  if (kind == TextWindowKind::kComments) {
    return {IntKey::ShowComments, IntKey::XComments, IntKey::YComments,
            IntKey::WComments,    IntKey::HComments, IntKey::MComments};
  }
  return {IntKey::ShowLog, IntKey::XLog, IntKey::YLog, IntKey::WLog, IntKey::HLog, IntKey::MLog};
}
}  // namespace

TZentropeTxt::TZentropeTxt(PlatformBackend& backend, TextWindowKind kind, WindowId owner)
    : backend_(backend),
      kind_(kind),
      owner_(owner),
      lines_(kind == TextWindowKind::kComments ? TTextLines::Mode::kFixed
                                               : TTextLines::Mode::kCircular) {
  const Size sample = FixedFontTextExtent(kFontSample);
  character_width_ = std::max(1, sample.width / kFontSampleLength);
  line_height_ = std::max(1, sample.height);
}

TZentropeTxt::~TZentropeTxt() = default;

std::uint32_t TZentropeTxt::CommandId() const {
  return kind_ == TextWindowKind::kComments ? kShowCommentsCommand : kShowLogCommand;
}

void TZentropeTxt::AppendChar(int ch) {
  lines_.AppendChar(ch);
}

void TZentropeTxt::AppendLine(std::string_view text) {
  lines_.AppendLine(text);
}

TWindow& TZentropeTxt::EnsureWindow() {
  if (!window_) {
    WindowParams params;
    params.caption = caption_;
    params.owner = owner_;
    params.menu = false;
    params.visible = false;
    window_ = backend_.CreateWindow(params, this);
    OnSize(*window_);
  }
  return *window_;
}

void TZentropeTxt::Place(const PlacementThousandths& stored, bool topmost) {
  TWindow& window = EnsureWindow();
  const WindowPlacement placement =
      PlacementFromThousandths(backend_.Display().ScreenSize(), stored);
  window.SetTopmost(topmost);
  window.SetPlacement(placement);
  window.Show(placement.state);
  window.InvalidateAll(true);
}

void TZentropeTxt::Hide() {
  if (window_) window_->Hide();
}

std::optional<PlacementThousandths> TZentropeTxt::ShownPlacement() const {
  if (!IsShown()) return std::nullopt;
  return ThousandthsFromPlacement(backend_.Display().ScreenSize(), window_->Placement());
}

void TZentropeTxt::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (window_) window_->SetCaption(caption_);
}

void TZentropeTxt::Invalidate() {
  if (window_) window_->InvalidateAll(true);
}

bool TZentropeTxt::ShownSetting(const TProfile& settings) const {
  return settings.Get(KeysOf(kind_).show) != 0;
}

void TZentropeTxt::PlaceFromSettings(const TProfile& settings) {
  const PlacementKeys keys = KeysOf(kind_);
  Place(PlacementThousandths{settings.Get(keys.x), settings.Get(keys.y), settings.Get(keys.w),
                             settings.Get(keys.h), settings.Get(keys.m)},
        settings.Get(IntKey::AlwaysOnTop) != 0);
}

void TZentropeTxt::StorePlacement(TProfile& settings) const {
  const std::optional<PlacementThousandths> placement = ShownPlacement();
  if (!placement) return;
  const PlacementKeys keys = KeysOf(kind_);
  settings.Set(keys.x, placement->x);
  settings.Set(keys.y, placement->y);
  settings.Set(keys.w, placement->width);
  settings.Set(keys.h, placement->height);
  settings.Set(keys.m, placement->show);
}

bool TZentropeTxt::Toggle(TProfile& settings) {
  const IntKey show = KeysOf(kind_).show;
  const bool on = settings.Get(show) == 0;
  settings.Set(show, on ? 1 : 0);
  if (on) {
    PlaceFromSettings(settings);
  } else if (window_) {
    StorePlacement(settings);
    Hide();
  }
  return on;
}

int TZentropeTxt::FirstColumn() const {
  return window_ ? window_->HorizontalScroll().position : 0;
}

int TZentropeTxt::FirstRow() const {
  return window_ ? window_->VerticalScroll().position : 0;
}

void TZentropeTxt::AppendLogLine(std::string_view line) {
  AppendLine(line);
  Invalidate();
  // Utilities log many lines from inside one command; let the window show each.
  if (IsUtilityRunning()) backend_.EventLoop().PumpWaitingMessages();
}

bool TZentropeTxt::SwallowsScreenSave() const {
  if (swallow_screen_save_) return swallow_screen_save_();
  return CurrentRunMode() != RunMode::Viewer;
}

void TZentropeTxt::OnMessage(TWindow& window, const Message& message) {
  switch (message.id) {
    case MessageId::kSize:
      OnSize(window);
      break;
    case MessageId::kHScroll:
    case MessageId::kVScroll:
      OnScroll(window, message, message.id == MessageId::kVScroll);
      break;
    case MessageId::kSysCommand:
      OnSystemCommand(window, message.command);
      break;
    case MessageId::kClose:
      backend_.EventLoop().PostCommand(owner_, CommandId());
      break;
    default:
      break;
  }
}

void TZentropeTxt::OnSize(TWindow& window) {
  const Size client = window.ClientSize();
  const int columns = kTextLineWidth - client.width / character_width_;
  const int rows = kTextLineCount - client.height / line_height_;
  window.SetHorizontalScroll(columns, 0);
  // The comments are read from the top, the log at its newest line.
  window.SetVerticalScroll(rows, kind_ == TextWindowKind::kComments ? 0 : kTextLineCount);
  window.InvalidateAll(true);
}

void TZentropeTxt::OnScroll(TWindow& window, const Message& message, bool vertical) {
  const ScrollBarState state = vertical ? window.VerticalScroll() : window.HorizontalScroll();
  const Size client = window.ClientSize();
  const int page =
      std::max(1, vertical ? client.height / line_height_ : client.width / character_width_);
  int position = state.position;
  switch (static_cast<ScrollAction>(message.command)) {
    case ScrollAction::kLineUp:
      position -= 1;
      break;
    case ScrollAction::kLineDown:
      position += 1;
      break;
    case ScrollAction::kPageUp:
      position -= page;
      break;
    case ScrollAction::kPageDown:
      position += page;
      break;
    case ScrollAction::kThumbTrack:
      position = static_cast<int>(std::min<std::uint32_t>(message.param, kTextLineWidth));
      break;
    case ScrollAction::kTop:
      position = 0;
      break;
    case ScrollAction::kBottom:
      position = state.range;
      break;
  }
  if (vertical) {
    window.SetVerticalScroll(state.range, position);
  } else {
    window.SetHorizontalScroll(state.range, position);
  }
  const ScrollBarState after = vertical ? window.VerticalScroll() : window.HorizontalScroll();
  if (!(after == state)) window.InvalidateAll(true);
}

void TZentropeTxt::OnSystemCommand(TWindow& window, std::uint32_t code) {
  switch (code & kScCodeMask) {
    case kScClose:
      backend_.EventLoop().PostCommand(owner_, CommandId());
      return;
    case kScScreenSave:
      if (SwallowsScreenSave()) return;
      break;
    default:
      break;
  }
  backend_.DefaultSystemCommand(window, code);
}

void TZentropeTxt::OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect,
                           bool erase) {
  (void)window;
  (void)erase;  // every pass fills its rectangle, so shorter lines leave nothing behind
  dc.FillRect(paint_rect, kTextWindowBackground);
  const int x = -FirstColumn() * character_width_;
  for (int row = 0; row < kTextLineCount; ++row) {
    const int y = (row - FirstRow()) * line_height_;
    if (y + line_height_ <= paint_rect.top || y >= paint_rect.bottom) continue;
    const std::string_view line = lines_.DisplayLine(row);
    if (line.empty()) continue;
    dc.DrawText(x, y, line, kTextWindowForeground, kTextWindowBackground);
  }
}

void ConnectTextWindows(TZentropeTxt* comments, TZentropeTxt* log) {
  InstallCommentSink(comments);
  ConnectLogWindow(log);
}
