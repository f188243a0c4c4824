#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "app/window_texts.h"
#include "files/archive_folder.h"
#include "platform/log_sink.h"
#include "platform/path.h"

namespace {
bool IsNoFile(const std::string& name) {
  return EqualsNoCase(name, kNoFile);
}
}  // namespace

void TZentropeWin::UpdateCaption(const char* format, const std::string& argument) {
  SetTextWindowCaptions(names_[kImageName]);
  std::string caption = kCaptionStart;
  if (format != nullptr) {
    caption += FormatLogText(format, argument);
  } else {
    const bool image = !IsNoFile(names_[kImageName]);
    const bool sound = !IsNoFile(names_[kSoundName]);
    const bool movie = !IsNoFile(names_[kMovieName]);
    if (!image && !sound && !movie) caption += kCaptionNoFiles;
    if (image) {
      // Upright and turned by Rotate, even before the next layout.
      const ImageSize view = image_->ShownViewSize(settings_.Get(IntKey::Rotate));
      const bool colours =
          settings_.Get(IntKey::SortPalette) != 0 && image_->GetBytesPerPixel() == 1;
      const int depth = colours ? image_->GetColourCount() : 8 * image_->GetBytesPerPixel();
      // A picture inside an archive shows as "archive.zip/member.jpg".
      std::string shown = ArchiveMemberCaptionName(names_[kImagePath]);
      if (shown.empty()) shown = names_[kImageName];
      char text[64 + 2 * 260];
      std::snprintf(text, sizeof text, kCaptionImage, ToUpper(format_name_).c_str(), shown.c_str(),
                    view.width, view.height, depth, colours ? kCaptionColours : kCaptionBits);
      caption += text;
    }
    if (sound) caption += FormatLogText(kCaptionSound, names_[kSoundName]);
    if (movie) caption += FormatLogText(kCaptionMovie, names_[kMovieName]);
  }
  window_->SetCaption(caption);
}
