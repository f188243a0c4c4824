#include "fake_host.h"

#include <functional>

namespace {
HeadlessOptions VirtualClockOptions() {
  HeadlessOptions options;
  options.virtual_clock = true;
  return options;
}
}  // namespace

TFakeHost::TFakeHost() : backend_(std::make_unique<THeadlessBackend>(VirtualClockOptions())) {
  backend_->Clock().Set(100'000);
  WindowParams params;
  params.placement.normal = Rect{0, 0, 648, 517};
  window_ = backend_->CreateWindow(params, this);
  image_time = sound_time = movie_time = Now();
}

TFakeHost::~TFakeHost() {
  window_.reset();
  backend_.reset();
}

void TFakeHost::SetFiles(const std::vector<std::string>& names) {
  files_.Clear();
  for (const std::string& name : names) files_.AddFile(name);
}

std::vector<ShowCommand> TFakeHost::TakePosted() {
  std::vector<ShowCommand> posted;
  posted.swap(posted_);
  return posted;
}

void TFakeHost::SetClock(SlideshowClock clock, std::uint32_t ticks) {
  switch (clock) {
    case SlideshowClock::kImage:
      image_time = ticks;
      return;
    case SlideshowClock::kSound:
      sound_time = ticks;
      return;
    case SlideshowClock::kMovie:
      movie_time = ticks;
      return;
  }
}

bool TFakeHost::AskSlideshowPassword() {
  ++password_prompts;
  if (during_prompt) during_prompt();
  if (password_answers.empty()) return false;
  const bool answer = password_answers.front();
  password_answers.erase(password_answers.begin());
  return answer;
}

ShownSave TFakeHost::SaveShown(int save_type) {
  saves.push_back(save_type);
  const std::size_t index = saves.size() - 1;
  ShownSave result;
  result.saved = index >= save_results.size() || save_results[index];
  result.path = files_.Current() + ".out";
  return result;
}
