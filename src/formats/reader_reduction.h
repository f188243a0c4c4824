// The reduction every reader asks Create for.
#pragma once

#include <cstdint>

#include "image/image_limits.h"
#include "settings/profile.h"

// QuickLook stores pictures at an eighth of their size.
inline constexpr int kQuickLookReduction = 8;

// 8 when QuickLook is on, otherwise (and without settings) 1.
inline int ReaderReduction(const TProfile* settings) {
  return settings != nullptr && settings->Get(IntKey::QuickLook) != 0 ? kQuickLookReduction : 1;
}

// The reduction TImage::Create will choose for a picture of this size, bar
// running out of memory, so that a reader can plan its work before creating.
inline int PredictReduction(std::int64_t width, std::int64_t height, int bytes_per_pixel,
                            int requested) {
  int reduction = requested;
  while ((width / reduction * bytes_per_pixel + 3) / 4 * 4 > kMaxRowBytes) reduction *= 2;
  while (height / reduction > kMaxRows) reduction *= 2;
  return reduction;
}
