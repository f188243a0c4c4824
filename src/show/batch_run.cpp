#include "show/batch_run.h"

#include <unistd.h>

#include <utility>

namespace {
bool IsTerminal(std::FILE* file) {
  return file != nullptr && isatty(fileno(file)) == 1;
}
}  // namespace

TBatchRun::TBatchRun(int total, std::FILE* progress, std::FILE* errors, std::string program_name)
    : total_(total),
      progress_(IsTerminal(progress) ? progress : nullptr),
      errors_(errors),
      program_name_(std::move(program_name)) {}

TBatchRun::~TBatchRun() {
  if (progress_shown_) std::fputc('\n', progress_);
}

void TBatchRun::Starting() {
  ++handled_;
  if (progress_ == nullptr) return;
  // One line that each file overwrites.
  std::fprintf(progress_, "\r%s: file %d of %d\033[K", program_name_.c_str(), handled_, total_);
  std::fflush(progress_);
  progress_shown_ = true;
}

void TBatchRun::Failed(const std::string& file, const std::string& reason) {
  failures_.push_back(file);
  if (errors_ == nullptr) return;
  if (progress_shown_ && errors_ == progress_) std::fputc('\n', errors_);
  std::fprintf(errors_, "%s: %s\n", program_name_.c_str(), reason.c_str());
  std::fflush(errors_);
}
