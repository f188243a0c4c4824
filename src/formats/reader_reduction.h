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

// The size limit the settings ask for: FullResolution, classic without settings.
inline PictureLimit ReaderLimit(const TProfile* settings) {
  return settings != nullptr && settings->Get(IntKey::FullResolution) != 0
             ? PictureLimit::kFullResolution
             : PictureLimit::kClassic;
}

// With FullResolution, readers whose format carries its own side limit
// accept sides up to this and leave the rest to Create's reduction.
inline constexpr int kFullResolutionReaderMaxSide = 1 << 18;

// The longest side such a reader accepts: its own `classic_side`, or with
// FullResolution kFullResolutionReaderMaxSide.
inline int ReaderMaxSide(const TProfile* settings, int classic_side) {
  return ReaderLimit(settings) == PictureLimit::kFullResolution ? kFullResolutionReaderMaxSide
                                                                : classic_side;
}

// The reduction TImage::Create will choose for a picture of this size, bar
// running out of memory, so that a reader can plan its work before creating.
inline int PredictReduction(std::int64_t width, std::int64_t height, int bytes_per_pixel,
                            int requested, PictureLimit limit = PictureLimit::kClassic) {
  const std::int64_t reduction =
      ReductionWithinLimit(width, height, bytes_per_pixel, requested, limit);
  return reduction > (std::int64_t{1} << 30) ? 1 << 30 : static_cast<int>(reduction);
}
