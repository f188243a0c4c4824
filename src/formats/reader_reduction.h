// The reduction every reader asks Create for.
#pragma once

#include "settings/profile.h"

// QuickLook stores pictures at an eighth of their size.
inline constexpr int kQuickLookReduction = 8;

// 8 when QuickLook is on, otherwise (and without settings) 1.
inline int ReaderReduction(const TProfile* settings) {
  return settings != nullptr && settings->Get(IntKey::QuickLook) != 0 ? kQuickLookReduction : 1;
}
