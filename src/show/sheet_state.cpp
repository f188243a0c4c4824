#include "show/sheet_state.h"

#include "settings/profile.h"

bool ThumbnailSheetOn(const TProfile& settings) {
  return settings.Get(IntKey::ThumbnailsEnable) != 0 &&
         (settings.Get(IntKey::ThumbnailsAcross) > 1 || settings.Get(IntKey::ThumbnailsDown) > 1);
}

bool SequentialThumbnailSheet(const TProfile& settings) {
  return ThumbnailSheetOn(settings) && settings.Get(IntKey::ThumbnailsRandom) == 0;
}
