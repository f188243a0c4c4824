// The picture formats and the dispatch between the picture record and the
// format readers and writers. The table here is the only place that knows
// every format; the readers and writers themselves live in the formats layer
// and join through the Register calls (RegisterPictureFormats() in
// formats/register_formats.h). A format whose reader or writer is not
// registered behaves as unknown.
#pragma once

#include <string>
#include <string_view>

#include "image/palette.h"

struct InputStream;
class TImage;
class TDither;
class TProfile;

// Gif .. Png are also the save type numbers (the order of the save dialog's
// filter); WebP is only read.
enum class PictureFormat : int {
  Gif = 1,
  Bmp = 2,
  Pcx = 3,
  Tga = 4,
  Jpeg = 5,
  Tiff = 6,
  Png = 7,
  Webp = 8
};
inline constexpr int kPictureFormatCount = 8;
inline constexpr int kSaveTypeCount = 7;

// The format name LoadImage returns when nothing was recognised.
inline constexpr std::string_view kUnknownFormatName = "???";

// What a load made of a file. A reader reports the first three; LoadImage
// adds the fourth.
enum class LoadStatus {
  // The picture was created. A short or damaged file keeps the rows read
  // before the damage (what the rest holds is the reader's fill).
  kLoaded,
  // The picture was created, but a cancel stopped the reader; the rows read
  // so far stay.
  kCancelled,
  // The reader recognised the file but refused it before creating anything
  // (a header cut short, a depth or size it does not read). The reason is in
  // the log; the picture is LoadImage's placeholder.
  kRefused,
  // The file could not be opened or carries no known signature ("???").
  kUnrecognised,
};

// A reader. `stream` is positioned at the first byte of the picture data
// (TIFF: at 0); `path` is the file being loaded; `settings` may be null (then
// no reduction). The reader leaves a valid picture: it calls Create once it
// knows the size, then SetPalette and PutRow per row, inside
// BeginLongOperation/EndLongOperation, polling once per row. A refusal logs
// one line with its reason. It leaves the stream open, except the TIFF
// reader, which takes the stream over and closes it (see ReaderOwnsStream).
using PictureReader = LoadStatus (*)(InputStream* stream, const std::string& path, TImage& image,
                                     const TProfile* settings);

// A writer. Writes the current view in the Rotate orientation at the
// OutputWidth/OutputHeight size, through dither's adjustments. display_palette
// is given only for the desktop wallpaper (BMP at screen size and depth).
// Returns 0 when written, 1 on failure.
using PictureWriter = int (*)(const std::string& path, TImage& image, const TProfile& settings,
                              TDither& dither, const LogPalette* display_palette);

void RegisterPictureReader(PictureFormat format, PictureReader reader);
void RegisterPictureWriter(PictureFormat format, PictureWriter writer);

// "gif", "bmp", "pcx", "tga", "jpg", "tif", "png", "webp".
std::string_view PictureFormatName(PictureFormat format);
// Whether the format's reader closes the stream itself.
bool ReaderOwnsStream(PictureFormat format);
// The format number of a file-name extension (with or without the dot, case
// ignored), or 0 when no format has it. SaveImage refuses the read-only ones.
int SaveTypeOfExtension(std::string_view extension);

// Recognises the picture in the first bytes of a file. Returns true and sets
// format and offset (where the picture starts) on the first match.
bool RecognisePicture(const unsigned char* head, int head_size, PictureFormat& format, int& offset);

// What LoadImageWithStatus returns: the format name LoadImage returns, and
// what became of the load. The shell shows the picture for kLoaded and
// kCancelled, and reports kRefused and kUnrecognised as failed loads (the
// reader has logged why it refused).
struct LoadImageResult {
  std::string format;
  LoadStatus status = LoadStatus::kUnrecognised;
};

// Loads a picture file into `image`. Always leaves a valid picture: a white
// 64 x 48 placeholder when the load fails before the reader creates one.
LoadImageResult LoadImageWithStatus(const std::string& path, TImage& image,
                                    const TProfile* settings);

// The format name of LoadImageWithStatus: "gif", "bmp", ... for a recognised
// file, also when its reader refused it; "???" when the file cannot be opened
// or is not recognised.
std::string LoadImage(const std::string& path, TImage& image, const TProfile* settings);

// Saves the picture with the writer chosen by the path's extension, or by
// `type` (1..kSaveTypeCount) when the path has none. Returns 0 when saved, 1 otherwise.
int SaveImage(const std::string& path, int type, TImage& image, const TProfile& settings,
              TDither& dither, const LogPalette* display_palette);
