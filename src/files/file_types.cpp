#include "files/file_types.h"

#include <initializer_list>

#include "platform/path.h"

namespace {

bool IsOneOf(std::string_view extension, std::initializer_list<std::string_view> members) {
  for (std::string_view member : members) {
    if (EqualsNoCase(extension, member)) return true;
  }
  return false;
}

bool InSingleClass(std::string_view extension, int index) {
  switch (index) {
    case kGifFiles:
      return IsOneOf(extension, {".gif"});
    case kBitmapFiles:
      return IsOneOf(extension, {".bmp", ".dib", ".rle"});
    case kPaintbrushFiles:
      return IsOneOf(extension, {".pcx"});
    case kTargaFiles:
      return IsOneOf(extension, {".tga"});
    case kJpegFiles:
      return IsOneOf(extension, {".jpg"});
    case kTiffFiles:
      return IsOneOf(extension, {".tif"});
    case kSoundFiles:
      return IsOneOf(extension, {".mid", ".wav", ".mci"});
    case kMovieFiles:
      return IsOneOf(extension, {".avi", ".mpg", ".mmm", ".mov", ".fli", ".flc"});
    case kSlideShowFiles:
      return IsOneOf(extension, {".sli"});
    case kUuencodedFiles:
      return IsOneOf(extension, {".uue", ".uu1", ".01"});
    case kZipFiles:
      return IsOneOf(extension, {".zip"});
    default:
      return false;
  }
}

// Pictures of the newer formats have no filter entry of their own (the stored filter
// indexes must keep their meaning) but belong to the picture and known-file groups.
bool IsNewerPicture(std::string_view extension) {
  return IsOneOf(extension, {".png", ".webp"});
}

bool InClassRange(std::string_view extension, int first, int last) {
  for (int index = first; index <= last; ++index) {
    if (InSingleClass(extension, index)) return true;
  }
  return false;
}

}  // namespace

bool ExtensionInClass(std::string_view extension, int index) {
  switch (index) {
    case kAllImageFiles:
      return InClassRange(extension, kGifFiles, kTiffFiles) || IsNewerPicture(extension);
    case kAllKnownFiles:
      return InClassRange(extension, kGifFiles, kZipFiles) || IsNewerPicture(extension);
    case kAllFiles:
      return true;
    default:
      return InSingleClass(extension, index);
  }
}

bool IsSoundExtension(std::string_view extension) {
  return InSingleClass(extension, kSoundFiles);
}

bool IsMovieExtension(std::string_view extension) {
  return InSingleClass(extension, kMovieFiles);
}

bool IsSlideListExtension(std::string_view extension) {
  return InSingleClass(extension, kSlideShowFiles);
}
