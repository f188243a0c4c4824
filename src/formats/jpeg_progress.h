// The library's progress monitor: shows the percentage through the
// long-operation service, ends the operation on a cancel, and refuses
// progressive files with more scans than any real encoder writes (each scan
// is a full pass over the picture, so such files take minutes to decode).
#pragma once

#include <cstdio>

#include <jpeglib.h>

inline constexpr int kMaxJpegScans = 100;

// `progress` must outlive the library's use of `cinfo`.
void AttachJpegProgress(j_common_ptr cinfo, jpeg_progress_mgr& progress);

// (counter + limit x completed passes) x 100 / (limit x total passes), 0..100.
int JpegProgressPercent(long counter, long limit, int completed_passes, int total_passes);
