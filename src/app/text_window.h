// TZentropeTxt: the comments window and the log window, two small scrolling
// windows of fixed-size lines in the fixed font, owned by the main window.
// Each keeps its text from the start; its platform window is made when first
// shown and only hidden when closed. Closing it from its frame posts its Show
// command (140 or 141) to the main window, which hides it and records where it
// stood. Key messages reach the event loop's pre-dispatch filter, which the
// main window installs, before they arrive here; this window ignores them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_lines.h"
#include "platform/backend.h"
#include "platform/log_sink.h"
#include "platform/window_placement.h"
#include "settings/profile.h"

enum class TextWindowKind { kComments, kLog };

inline constexpr std::uint32_t kShowCommentsCommand = 140;
inline constexpr std::uint32_t kShowLogCommand = 141;
inline constexpr ColorRef kTextWindowBackground = MakeRgb(255, 255, 255);
inline constexpr ColorRef kTextWindowForeground = MakeRgb(0, 0, 0);

class TZentropeTxt final : public WindowHandler, public LogSink, public CommentSink {
 public:
  // `owner` is the main window, which receives the Show command on close.
  TZentropeTxt(PlatformBackend& backend, TextWindowKind kind, WindowId owner);
  ~TZentropeTxt() override;
  TZentropeTxt(const TZentropeTxt&) = delete;
  TZentropeTxt& operator=(const TZentropeTxt&) = delete;

  TextWindowKind Kind() const { return kind_; }
  // 140 for the comments, 141 for the log.
  std::uint32_t CommandId() const;

  // The text.
  void AppendChar(int ch);
  void AppendLine(std::string_view text);
  bool IsEmpty() const { return lines_.IsEmpty(); }
  std::string GetText() const { return lines_.GetText(); }
  const TTextLines& Lines() const { return lines_; }

  // The platform window: null until first shown.
  TWindow* Window() { return window_.get(); }
  const TWindow* Window() const { return window_.get(); }
  bool IsShown() const { return window_ && window_->IsVisible(); }
  // Makes the platform window (hidden) when it does not exist yet.
  TWindow& EnsureWindow();
  // Moves the window to `stored` (thousandths of the screen), makes it
  // topmost or not, shows it in the stored state and repaints it.
  void Place(const PlacementThousandths& stored, bool topmost);
  void Hide();
  // Where the window stands, in thousandths of the screen, while it is shown.
  std::optional<PlacementThousandths> ShownPlacement() const;
  // Kept while the window does not exist and given to it when made.
  void SetCaption(std::string caption);
  const std::string& Caption() const { return caption_; }
  // Repaints the whole window when it exists.
  void Invalidate();

  // The window's Show setting and its X, Y, W, H, M settings.
  bool ShownSetting(const TProfile& settings) const;
  void PlaceFromSettings(const TProfile& settings);
  // Stores the placement while the window is shown; otherwise leaves the settings.
  void StorePlacement(TProfile& settings) const;
  // The Show command: flips the setting; on, the window is made when needed
  // and placed from the settings; off, its placement is stored and it hides.
  // Returns whether it is now shown. Activating the main window is the caller's.
  bool Toggle(TProfile& settings);

  // Whether a screen-save request to this window is swallowed (while a
  // slideshow runs or the program runs as the saver). Without one, only a run
  // as the saver swallows it.
  void SetScreenSaveFilter(std::function<bool()> swallow) {
    swallow_screen_save_ = std::move(swallow);
  }

  // Scroll position in columns and lines.
  int FirstColumn() const;
  int FirstRow() const;
  int CharacterWidth() const { return character_width_; }
  int LineHeight() const { return line_height_; }

  // Sinks: the log window takes whole lines, the comments window characters
  // and hands its text to the picture writers.
  void AppendLogLine(std::string_view line) override;
  void AppendCommentChar(int ch) override { AppendChar(ch); }
  std::string CommentText() const override { return GetText(); }

  void OnMessage(TWindow& window, const Message& message) override;
  void OnPaint(TWindow& window, TDeviceContext& dc, const Rect& paint_rect, bool erase) override;

 private:
  void OnSize(TWindow& window);
  void OnScroll(TWindow& window, const Message& message, bool vertical);
  void OnSystemCommand(TWindow& window, std::uint32_t code);
  bool SwallowsScreenSave() const;

  PlatformBackend& backend_;
  TextWindowKind kind_;
  WindowId owner_;
  TTextLines lines_;
  std::string caption_;
  int character_width_;
  int line_height_;
  std::function<bool()> swallow_screen_save_;
  std::unique_ptr<TWindow> window_;
};

// Makes the two windows the process-wide comment and log sinks (the log
// through the ZENTROPE_LOG tee); null for either disconnects it. The main
// window connects them at set-up and disconnects them before they go.
void ConnectTextWindows(TZentropeTxt* comments, TZentropeTxt* log);
