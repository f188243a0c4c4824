#include "platform/window_dialog.h"

#include <algorithm>

#include "platform/backend.h"
#include "platform/dialogs.h"
#include "platform/virtual_keys.h"

namespace {
const ColorRef kFace = MakeRgb(212, 208, 200);
const ColorRef kText = MakeRgb(0, 0, 0);
const ColorRef kEdge = MakeRgb(64, 64, 64);

Rect Pixels(const Rect& units) {
  const Size corner = DialogUnitsToPixels(Size{units.left, units.top});
  const Size size = DialogUnitsToPixels(Size{units.Width(), units.Height()});
  return Rect::FromSize(corner.width, corner.height, size.width, size.height);
}

void Outline(TDeviceContext& dc, const Rect& r, ColorRef colour) {
  dc.FillRect(Rect{r.left, r.top, r.right, r.top + 1}, colour);
  dc.FillRect(Rect{r.left, r.bottom - 1, r.right, r.bottom}, colour);
  dc.FillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, colour);
  dc.FillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, colour);
}

// A label's accelerator mark is not drawn.
std::string Shown(const std::string& label) {
  std::string text;
  for (std::size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&' && i + 1 < label.size() && label[i + 1] != '&') continue;
    text += label[i];
  }
  return text;
}
}  // namespace

TWindowDialog::TWindowDialog(PlatformBackend& backend, const DialogTemplate& dialog)
    : template_(dialog), state_(template_, backend.Dialogs()) {}

TWindowDialog::~TWindowDialog() {
  if (!state_.IsClosed()) state_.Close(kIdCancel);
}

std::unique_ptr<TWindowDialog> TWindowDialog::Open(PlatformBackend& backend,
                                                   const DialogTemplate& dialog, WindowId owner) {
  std::unique_ptr<TWindowDialog> shown(new TWindowDialog(backend, dialog));
  if (shown->template_.on_init) shown->template_.on_init(shown->state_);
  const Size client = DialogUnitsToPixels(dialog.size);
  const Size outer{client.width + 2 * kFrameBorder,
                   client.height + 2 * kFrameBorder + kCaptionHeight};
  const TWindow* parent = backend.EventLoop().Find(owner);
  WindowParams params;
  params.caption = shown->state_.Caption();
  params.owner = owner;
  params.menu = false;
  params.visible = true;
  params.placement.normal =
      PlaceDialog(outer, parent ? parent->WindowRect() : Rect{}, backend.Display().ScreenSize());
  shown->window_ = backend.CreateWindow(params, shown.get());
  if (!shown->window_) return nullptr;
  shown->window_->InvalidateAll(true);
  return shown;
}

Rect TWindowDialog::ControlRect(int id) const {
  const DialogControl* control = state_.Control(id);
  return control ? Pixels(control->layout) : Rect{};
}

int TWindowDialog::ButtonAt(Point point) const {
  for (const DialogControl& control : state_.Controls()) {
    if (control.kind == ControlKind::kButton && control.enabled &&
        Pixels(control.layout).Contains(point)) {
      return control.id;
    }
  }
  return 0;
}

int TWindowDialog::DefaultButton() const {
  for (const DialogControl& control : state_.Controls()) {
    if (control.kind == ControlKind::kButton && control.default_button) return control.id;
  }
  return kIdOk;
}

void TWindowDialog::Press(int id) {
  if (state_.IsClosed()) return;
  state_.PressButton(id);
  if (state_.IsClosed()) {
    window_->Hide();
    return;
  }
  window_->InvalidateAll(false);
}

void TWindowDialog::OnMessage(TWindow& window, const Message& message) {
  (void)window;
  switch (message.id) {
    case MessageId::kLButtonDown:
      pressed_ = ButtonAt(message.position);
      break;
    case MessageId::kLButtonUp: {
      // A press counts where the button went down and came up.
      const int id = ButtonAt(message.position);
      if (id != 0 && id == pressed_) Press(id);
      pressed_ = 0;
      break;
    }
    case MessageId::kKeyDown:
      if (message.key == kVkEscape) Press(kIdCancel);
      if (message.key == kVkReturn) Press(DefaultButton());
      break;
    case MessageId::kClose:
      Press(kIdCancel);
      break;
    default:
      break;
  }
}

void TWindowDialog::OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect,
                            bool erase) {
  (void)paint_rect;
  (void)erase;
  dc.FillRect(window.ClientRect(), kFace);
  for (const DialogControl& control : state_.Controls()) {
    const Rect place = Pixels(control.layout);
    const std::string label = Shown(control.label);
    const ColorRef colour = control.enabled ? kText : kEdge;
    switch (control.kind) {
      case ControlKind::kButton: {
        Outline(dc, place, kEdge);
        if (control.default_button)
          Outline(dc, Rect{place.left + 1, place.top + 1, place.right - 1, place.bottom - 1},
                  kEdge);
        const Size extent = dc.GetTextExtent(label);
        dc.DrawText(place.left + (place.Width() - extent.width) / 2,
                    place.top + (place.Height() - extent.height) / 2, label, colour, kFace);
        break;
      }
      case ControlKind::kStatic:
      case ControlKind::kGroupBox:
      case ControlKind::kCheckBox:
        dc.DrawText(place.left, place.top, label, colour, kFace);
        break;
      case ControlKind::kEdit:
        Outline(dc, place, kEdge);
        dc.DrawText(place.left + 2, place.top + 1, control.masked ? std::string() : control.text,
                    colour, kFace);
        break;
      case ControlKind::kDropDownList: {
        Outline(dc, place, kEdge);
        const int at = control.selection;
        if (at >= 0 && at < static_cast<int>(control.items.size())) {
          dc.DrawText(place.left + 2, place.top + 1, control.items[at], colour, kFace);
        }
        break;
      }
    }
  }
  window.Present(window.ClientRect());
}

std::unique_ptr<ModelessDialog> PlatformBackend::OpenModelessDialog(const DialogTemplate& dialog,
                                                                    WindowId owner) {
  return TWindowDialog::Open(*this, dialog, owner);
}
