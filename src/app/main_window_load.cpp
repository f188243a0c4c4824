#include <string>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/window_texts.h"
#include "files/file_types.h"
#include "formats/gif_animation.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/tick_count.h"

namespace {
enum class FileKind { kImage, kSound, kMovie };

FileKind KindOf(const std::string& extension) {
  if (IsSoundExtension(extension)) return FileKind::kSound;
  if (IsMovieExtension(extension)) return FileKind::kMovie;
  return FileKind::kImage;
}

long ElapsedSince(std::uint32_t start) {
  return static_cast<long>(GetTickCount() - start);
}
}  // namespace

void TZentropeWin::LoadCurrent() {
  const std::string current = files_.Current();
  FileKind kind = FileKind::kImage;
  if (EqualsNoCase(current, kNoFile)) {
    animation_.reset();
    names_.fill(std::string(kNoFile));
    UpdateCaption();
    ShowProgress(0);
    EndProgress();
    return;
  }
  const PathParts parts = SplitPath(current);
  kind = KindOf(parts.extension);
  const int slot = static_cast<int>(kind);
  names_[kImagePath + slot] = JoinPath(parts);
  names_[kImageName + slot] = parts.name + parts.extension;

  if (kind == FileKind::kImage) {
    UpdateCaption(kCaptionLoading, names_[kImageName]);
  } else {
    UpdateCaption();
  }
  ShowProgress(0);

  if (kind == FileKind::kImage) {
    loading_ = true;
    animation_.reset();
    const std::uint32_t start = GetTickCount();
    const LoadImageResult loaded = LoadImageWithStatus(names_[kImagePath], *image_, &settings_);
    format_name_ = loaded.format;
    picture_loaded_ = loaded.status == LoadStatus::kLoaded;
    if (picture_loaded_) StartAnimation(loaded.format);
    LogLine(kLoadedImageLog, names_[kImagePath], ElapsedSince(start));
    if (settings_.Get(IntKey::SortPalette) != 0 && image_->GetBytesPerPixel() == 1) {
      const std::uint32_t sort_start = GetTickCount();
      SortPaletteByUse(*image_);
      LogLine(kSortedPaletteLog, ElapsedSince(sort_start));
    }
    if (image_->GetBytesPerPixel() > 1) image_->MakeRepresentativePalette();
    if (settings_.Get(IntKey::AutoCrop) != 0) image_->AutoCrop();
    loading_ = false;
    PlaceNextFrame();
    BuildDisplayPalette(true);
    if (settings_.Get(IntKey::AutoComments) != 0 && CommentsEmpty() == CommentsShown()) {
      backend_.EventLoop().PostCommand(window_->Id(), CM_SHOW_COMMENTS);
    }
  }
  InvalidateComments();
  last_image_time_ = GetTickCount();
  UpdateCaption();
  if (kind == FileKind::kSound && settings_.Get(IntKey::SoundEnable) != 0) PlaySound();
  if (kind == FileKind::kMovie && settings_.Get(IntKey::MovieEnable) != 0) PlayMovie();
  EndProgress();
}
