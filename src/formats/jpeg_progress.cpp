#include "formats/jpeg_progress.h"

#include <algorithm>
#include <cstdint>

#include "formats/format_messages.h"
#include "formats/jpeg_errors.h"
#include "platform/long_operation.h"

namespace {

void MonitorProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
    FailJpeg(cinfo, kJpegTooManyScans.data());
  }
  const jpeg_progress_mgr* progress = cinfo->progress;
  const int percent = JpegProgressPercent(progress->pass_counter, progress->pass_limit,
                                          progress->completed_passes, progress->total_passes);
  if (PollLongOperation(percent)) CancelJpeg(cinfo);
}

}  // namespace

void AttachJpegProgress(j_common_ptr cinfo, jpeg_progress_mgr& progress) {
  progress.progress_monitor = MonitorProgress;
  progress.pass_counter = 0;
  progress.pass_limit = 0;
  progress.completed_passes = 0;
  progress.total_passes = 0;
  cinfo->progress = &progress;
}

int JpegProgressPercent(long counter, long limit, int completed_passes, int total_passes) {
  const std::int64_t whole = std::int64_t{limit} * total_passes;
  if (whole <= 0) return 0;
  const std::int64_t done = counter + std::int64_t{limit} * completed_passes;
  return static_cast<int>(std::clamp<std::int64_t>(done * 100 / whole, 0, 100));
}
