// The six picture formats and the dispatch between the picture record and the
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

// Also the save type numbers (the order of the save dialog's filter).
enum class PictureFormat : int { Gif = 1, Bmp = 2, Pcx = 3, Tga = 4, Jpeg = 5, Tiff = 6 };
inline constexpr int kPictureFormatCount = 6;

// The format name LoadImage returns when nothing was recognised.
inline constexpr std::string_view kUnknownFormatName = "???";

// A reader. `stream` is positioned at the first byte of the picture data
// (TIFF: at 0); `path` is the file being loaded; `settings` may be null (then
// no reduction). The reader returns nothing and leaves a valid picture: it
// calls Create once it knows the size, then SetPalette and PutRow per row,
// inside BeginLongOperation/EndLongOperation, polling once per row. It leaves
// the stream open, except the TIFF reader, which takes the stream over and
// closes it (see ReaderOwnsStream).
using PictureReader = void (*)(InputStream* stream, const std::string& path, TImage& image,
                               const TProfile* settings);

// A writer. Writes the current view in the Rotate orientation at the
// OutputWidth/OutputHeight size, through dither's adjustments. display_palette
// is given only for the desktop wallpaper (BMP at screen size and depth).
// Returns 0 when written, 1 on failure.
using PictureWriter = int (*)(const std::string& path, TImage& image, const TProfile& settings,
                              TDither& dither, const LogPalette* display_palette);

void RegisterPictureReader(PictureFormat format, PictureReader reader);
void RegisterPictureWriter(PictureFormat format, PictureWriter writer);

// "gif", "bmp", "pcx", "tga", "jpg", "tif".
std::string_view PictureFormatName(PictureFormat format);
// Whether the format's reader closes the stream itself.
bool ReaderOwnsStream(PictureFormat format);
// The save type of a file-name extension (with or without the dot, case
// ignored), or 0 when no format writes it.
int SaveTypeOfExtension(std::string_view extension);

// Recognises the picture in the first bytes of a file. Returns true and sets
// format and offset (where the picture starts) on the first match.
bool RecognisePicture(const unsigned char* head, int head_size, PictureFormat& format, int& offset);

// Loads a picture file into `image` and returns the format name, or "???"
// when the file cannot be opened or is not recognised. Always leaves a valid
// picture: a white 64 x 48 placeholder when the load fails early.
std::string LoadImage(const std::string& path, TImage& image, const TProfile* settings);

// Saves the picture with the writer chosen by the path's extension, or by
// `type` (1..6) when the path has none. Returns 0 when saved, 1 otherwise.
int SaveImage(const std::string& path, int type, TImage& image, const TProfile& settings,
              TDither& dither, const LogPalette* display_palette);
