// The comments and log windows as the main window drives them.
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/text_window.h"
#include "app/window_texts.h"
#include "platform/log_sink.h"

void TZentropeWin::CreateTextWindows() {
  comments_ = std::make_unique<TZentropeTxt>(backend_, TextWindowKind::kComments, window_->Id());
  log_ = std::make_unique<TZentropeTxt>(backend_, TextWindowKind::kLog, window_->Id());
  ConnectTextWindows(comments_.get(), log_.get());
}

void TZentropeWin::DestroyTextWindows() {
  ConnectTextWindows(nullptr, nullptr);
  comments_.reset();
  log_.reset();
}

TZentropeTxt* TZentropeWin::TextWindowOf(std::uint32_t command_id) const {
  return command_id == CM_SHOW_LOG ? log_.get() : comments_.get();
}

void TZentropeWin::ToggleTextWindowOnAtStart(std::uint32_t command_id) {
  TZentropeTxt* text = TextWindowOf(command_id);
  if (!text) return;
  text->EnsureWindow();
  text->PlaceFromSettings(settings_);
}

void TZentropeWin::ToggleTextWindow(std::uint32_t command_id) {
  TZentropeTxt* text = TextWindowOf(command_id);
  if (!text) return;
  text->Toggle(settings_);
}

void TZentropeWin::CaptureTextWindowPlacements() {
  if (comments_) comments_->StorePlacement(settings_);
  if (log_) log_->StorePlacement(settings_);
}

void TZentropeWin::PlaceTextWindows() {
  if (log_ && settings_.Get(IntKey::ShowLog) != 0) log_->PlaceFromSettings(settings_);
  if (comments_ && settings_.Get(IntKey::ShowComments) != 0) {
    comments_->PlaceFromSettings(settings_);
  }
}

bool TZentropeWin::CommentsEmpty() const {
  return !comments_ || comments_->IsEmpty();
}

bool TZentropeWin::CommentsShown() const {
  return comments_ && comments_->IsShown();
}

void TZentropeWin::InvalidateComments() {
  if (comments_) comments_->Invalidate();
}

void TZentropeWin::SetTextWindowCaptions(const std::string& image_name) {
  if (comments_) comments_->SetCaption(FormatLogText(kCommentsCaption, image_name));
  if (log_) log_->SetCaption(kLogCaption);
}
