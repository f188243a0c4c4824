// The in-memory clipboard of the headless backend.
#pragma once

#include "platform/clipboard.h"

class THeadlessClipboard : public Clipboard {
 public:
  bool Open(WindowId owner) override;
  void Close() override;
  bool Empty() override;
  bool SetPicture(ClipboardPicture picture) override;
  bool SetText(std::string text) override;
  bool HasPicture() const override { return picture_.has_value(); }
  bool HasText() const override { return text_.has_value(); }
  std::optional<ClipboardPicture> GetPicture() const override;
  std::optional<std::string> GetText() const override;

  // Makes Open fail, as when another program holds the clipboard.
  void SetUnavailable(bool unavailable) { unavailable_ = unavailable; }
  bool IsOpen() const { return open_; }

 private:
  bool unavailable_ = false;
  bool open_ = false;
  WindowId owner_ = kNoWindow;
  std::optional<ClipboardPicture> picture_;
  std::optional<std::string> text_;
};
