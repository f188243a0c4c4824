// The file-type index: the open dialog's filter index, which also decides
// which directory entries a scan takes into the file list.
#pragma once

#include <string_view>

enum FileTypeIndex : int {
  kGifFiles = 1,
  kBitmapFiles = 2,
  kPaintbrushFiles = 3,
  kTargaFiles = 4,
  kJpegFiles = 5,
  kTiffFiles = 6,
  kAllImageFiles = 7,
  kSoundFiles = 8,
  kMovieFiles = 9,
  kSlideShowFiles = 10,
  kUuencodedFiles = 11,
  kZipFiles = 12,
  kAllKnownFiles = 13,
  kAllFiles = 14,
};

// True when `extension` (with its leading ".", any case) belongs to the class
// of `index`; index 14 takes every file, an index outside 1..14 takes none.
bool ExtensionInClass(std::string_view extension, int index);

// The sound and movie classes, as playback sorts files.
bool IsSoundExtension(std::string_view extension);
bool IsMovieExtension(std::string_view extension);

// ".sli": a slideshow list file.
bool IsSlideListExtension(std::string_view extension);
