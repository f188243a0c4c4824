#include "platform/headless/headless_clipboard.h"

bool THeadlessClipboard::Open(WindowId owner) {
  if (unavailable_ || open_) return false;
  open_ = true;
  owner_ = owner;
  return true;
}

void THeadlessClipboard::Close() {
  open_ = false;
  owner_ = kNoWindow;
}

bool THeadlessClipboard::Empty() {
  if (!open_) return false;
  picture_.reset();
  text_.reset();
  return true;
}

bool THeadlessClipboard::SetPicture(ClipboardPicture picture) {
  if (!open_) return false;
  picture_ = std::move(picture);
  return true;
}

bool THeadlessClipboard::SetText(std::string text) {
  if (!open_) return false;
  text_ = std::move(text);
  return true;
}

std::optional<ClipboardPicture> THeadlessClipboard::GetPicture() const {
  if (!open_) return std::nullopt;
  return picture_;
}

std::optional<std::string> THeadlessClipboard::GetText() const {
  if (!open_) return std::nullopt;
  return text_;
}
