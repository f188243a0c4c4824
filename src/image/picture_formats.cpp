#include "image/picture_formats.h"

#include <algorithm>
#include <array>

#include "archive/input_stream.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/path.h"

namespace {

// GIF and JPEG signatures may start anywhere in the first kSignatureSearch
// bytes (behind a file-transfer header, say); the other formats only at 0.
constexpr int kSignatureSearch = 1024;
constexpr int kSignatureWindow = 6;
constexpr int kHeadSize = kSignatureSearch + kSignatureWindow - 1;

struct FormatEntry {
  PictureFormat format;
  std::string_view name;
  // Unused slots are empty.
  std::array<std::string_view, 3> extensions;
};

constexpr std::array<FormatEntry, kPictureFormatCount> kFormats = {{
    {PictureFormat::Gif, "gif", {{".gif"}}},
    {PictureFormat::Bmp, "bmp", {{".bmp", ".dib", ".rle"}}},
    {PictureFormat::Pcx, "pcx", {{".pcx"}}},
    {PictureFormat::Tga, "tga", {{".tga"}}},
    {PictureFormat::Jpeg, "jpg", {{".jpg"}}},
    {PictureFormat::Tiff, "tif", {{".tif"}}},
    {PictureFormat::Png, "png", {{".png"}}},
    {PictureFormat::Webp, "webp", {{".webp"}}},
}};

struct Registered {
  std::array<PictureReader, kPictureFormatCount> readers{};
  std::array<PictureWriter, kPictureFormatCount> writers{};
};

Registered& Registry() {
  static Registered registry;
  return registry;
}

int Slot(PictureFormat format) {
  return static_cast<int>(format) - 1;
}

bool ValidFormat(PictureFormat format) {
  return Slot(format) >= 0 && Slot(format) < kPictureFormatCount;
}

bool HasReader(PictureFormat format) {
  return Registry().readers[Slot(format)] != nullptr;
}

bool IsGifSignature(const unsigned char* w) {
  return w[0] == 'G' && w[1] == 'I' && w[2] == 'F' && w[3] == '8' && (w[4] == '7' || w[4] == '9') &&
         w[5] == 'a';
}

bool IsJpegSignature(const unsigned char* w) {
  return w[0] == 0xFF && w[1] == 0xD8 && w[2] == 0xFF;
}

bool IsPngSignature(const unsigned char* w) {
  static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return std::equal(std::begin(kPng), std::end(kPng), w);
}

// "RIFF", the chunk size, "WEBP".
bool IsWebpSignature(const unsigned char* w) {
  return std::equal(w, w + 4, "RIFF") && std::equal(w + 8, w + 12, "WEBP");
}

// The formats recognised only at offset 0, in the order they are tried.
bool MatchAtStart(const unsigned char* w, PictureFormat& format) {
  if ((w[0] == 'I' && w[1] == 'I') || (w[0] == 'M' && w[1] == 'M')) {
    format = PictureFormat::Tiff;
  } else if (w[0] == 'B' && w[1] == 'M') {
    format = PictureFormat::Bmp;
  } else if (w[0] == 0x0A && (w[1] == 0 || (w[1] >= 2 && w[1] <= 5))) {
    format = PictureFormat::Pcx;
  } else if (static_cast<signed char>(w[1]) <= 1 &&
             (w[2] == 1 || w[2] == 2 || w[2] == 3 || w[2] == 9 || w[2] == 10 || w[2] == 11)) {
    format = PictureFormat::Tga;
  } else if (IsPngSignature(w)) {
    format = PictureFormat::Png;
  } else if (IsWebpSignature(w)) {
    format = PictureFormat::Webp;
  } else {
    return false;
  }
  return HasReader(format);
}

}  // namespace

void RegisterPictureReader(PictureFormat format, PictureReader reader) {
  if (ValidFormat(format)) Registry().readers[Slot(format)] = reader;
}

void RegisterPictureWriter(PictureFormat format, PictureWriter writer) {
  if (ValidFormat(format)) Registry().writers[Slot(format)] = writer;
}

std::string_view PictureFormatName(PictureFormat format) {
  return ValidFormat(format) ? kFormats[Slot(format)].name : kUnknownFormatName;
}

bool ReaderOwnsStream(PictureFormat format) {
  return format == PictureFormat::Tiff;
}

int SaveTypeOfExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  if (extension.empty()) return 0;
  for (const FormatEntry& entry : kFormats) {
    for (std::string_view candidate : entry.extensions) {
      if (!candidate.empty() && EqualsNoCase(extension, candidate.substr(1))) {
        return static_cast<int>(entry.format);
      }
    }
  }
  return 0;
}

bool RecognisePicture(const unsigned char* head, int head_size, PictureFormat& format,
                      int& offset) {
  // Bytes the file does not have count as 0.
  std::array<unsigned char, kHeadSize> window{};
  std::copy_n(head, std::clamp(head_size, 0, kHeadSize), window.begin());
  for (int i = 0; i < kSignatureSearch; ++i) {
    const unsigned char* w = window.data() + i;
    bool found = false;
    if (IsGifSignature(w) && HasReader(PictureFormat::Gif)) {
      format = PictureFormat::Gif;
      found = true;
    } else if (IsJpegSignature(w) && HasReader(PictureFormat::Jpeg)) {
      format = PictureFormat::Jpeg;
      found = true;
    } else if (i == 0) {
      found = MatchAtStart(w, format);
    }
    if (found) {
      offset = i;
      return true;
    }
  }
  return false;
}

LoadImageResult LoadImageWithStatus(const std::string& path, TImage& image,
                                    const TProfile* settings) {
  AddCommentChar(0);
  image.MakePlaceholder();
  LoadImageResult result{std::string(kUnknownFormatName), LoadStatus::kUnrecognised};
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (stream == nullptr) return result;

  std::array<unsigned char, kHeadSize> head{};
  const std::size_t got = stream_read(head.data(), 1, head.size(), stream);
  PictureFormat format = PictureFormat::Gif;
  int offset = 0;
  if (!RecognisePicture(head.data(), static_cast<int>(got), format, offset) ||
      stream_seek(stream, offset, 0) != 0) {
    stream_close(stream);
    return result;
  }
  result.status = Registry().readers[Slot(format)](stream, path, image, settings);
  result.format = std::string(PictureFormatName(format));
  if (!ReaderOwnsStream(format)) stream_close(stream);
  return result;
}

std::string LoadImage(const std::string& path, TImage& image, const TProfile* settings) {
  return LoadImageWithStatus(path, image, settings).format;
}

int SaveImage(const std::string& path, int type, TImage& image, const TProfile& settings,
              TDither& dither, const LogPalette* display_palette) {
  const int by_extension = SaveTypeOfExtension(SplitPath(path).extension);
  if (by_extension != 0) type = by_extension;
  if (type < 1 || type > kPictureFormatCount) return 1;
  // Null for the formats that are only read.
  const PictureWriter writer = Registry().writers[type - 1];
  if (writer == nullptr) return 1;
  return writer(path, image, settings, dither, display_palette);
}
