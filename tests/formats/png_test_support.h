// PNG files built in code through libpng itself (so the reader is checked
// against the library's writer, not our own), and chunk surgery for damaged
// files.
#pragma once

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "jpeg_tiff_support.h"

namespace png_test {

using format_test::Bytes;
using jpeg_tiff_test::MaxDifference;
using jpeg_tiff_test::PeerRgb;
using jpeg_tiff_test::TCapture;

struct PngText {
  std::string key;
  std::string text;
  int compression = PNG_TEXT_COMPRESSION_NONE;
};

struct PngSpec {
  int width = 0;
  int height = 0;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<std::uint8_t> alphas;  // tRNS of a palette picture
  bool has_trans_colour = false;
  png_color_16 trans_colour{};  // tRNS of a grey or RGB picture
  std::vector<PngText> texts;
  std::vector<PngText> trailing_texts;  // after the picture data
  Bytes samples;                        // packed as the file holds them, rows in order
};

inline PngSpec Spec(int width, int height, int colour_type, int bit_depth,
                    bool interlaced = false) {
  PngSpec spec;
  spec.width = width;
  spec.height = height;
  spec.colour_type = colour_type;
  spec.bit_depth = bit_depth;
  spec.interlaced = interlaced;
  return spec;
}

inline void AppendBytes(png_structp png, png_bytep data, std::size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

inline std::vector<png_text> TextsOf(const std::vector<PngText>& source) {
  std::vector<png_text> texts(source.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i].compression = source[i].compression;
    texts[i].key = const_cast<char*>(source[i].key.c_str());
    texts[i].text = const_cast<char*>(source[i].text.c_str());
  }
  return texts;
}

struct MakeJob {
  const PngSpec* spec = nullptr;
  Bytes* out = nullptr;
  std::vector<png_text>* texts = nullptr;
  std::vector<png_text>* trailing = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
};

// Nothing with a destructor lives here: libpng's errors jump back to setjmp.
inline bool DriveMake(MakeJob& job) {
  png_structp png = job.png;
  png_infop info = job.info;
  const PngSpec& spec = *job.spec;
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, job.out, AppendBytes, nullptr);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bit_depth, spec.colour_type,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!spec.palette.empty()) {
    png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
  }
  if (!spec.alphas.empty() || spec.has_trans_colour) {
    png_set_tRNS(png, info, spec.alphas.empty() ? nullptr : spec.alphas.data(),
                 static_cast<int>(spec.alphas.size()),
                 spec.has_trans_colour ? &spec.trans_colour : nullptr);
  }
  if (!job.texts->empty()) {
    png_set_text(png, info, job.texts->data(), static_cast<int>(job.texts->size()));
  }
  png_write_info(png, info);
  const std::size_t row_bytes = png_get_rowbytes(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < spec.height; ++y) {
      png_write_row(png, const_cast<png_bytep>(spec.samples.data() + row_bytes * y));
    }
  }
  if (!job.trailing->empty()) {
    png_set_text(png, info, job.trailing->data(), static_cast<int>(job.trailing->size()));
  }
  png_write_end(png, info);
  return true;
}

// The file libpng writes for `spec`; empty when libpng refused it.
inline Bytes MakePng(const PngSpec& spec) {
  Bytes out;
  std::vector<png_text> texts = TextsOf(spec.texts);
  std::vector<png_text> trailing = TextsOf(spec.trailing_texts);
  MakeJob job{&spec, &out, &texts, &trailing, nullptr, nullptr};
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  job.info = png_create_info_struct(job.png);
  if (!DriveMake(job)) out.clear();
  png_destroy_write_struct(&job.png, &job.info);
  return out;
}

// Offset of the first chunk of this type (its length field), or 0.
inline std::size_t FindChunk(const Bytes& file, const char* type) {
  for (std::size_t at = 8; at + 8 <= file.size();) {
    const std::uint32_t length =
        (std::uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
    if (std::equal(type, type + 4, file.begin() + static_cast<long>(at) + 4)) return at;
    at += 12 + std::size_t(length);
  }
  return 0;
}

// Rewrites the IHDR size and its CRC, so only the size is wrong.
inline void SetHeaderSize(Bytes& file, std::uint32_t width, std::uint32_t height) {
  const std::size_t at = FindChunk(file, "IHDR");
  for (int i = 0; i < 4; ++i) {
    file[at + 8 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    file[at + 12 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, file.data() + at + 4, 17);
  for (int i = 0; i < 4; ++i) file[at + 21 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

// A gradient of 8-bit samples, `channels` per pixel.
inline Bytes Gradient(int width, int height, int channels) {
  Bytes samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        samples.push_back(static_cast<std::uint8_t>((x * 7 + y * 13 + c * 50) & 0xFF));
      }
    }
  }
  return samples;
}

}  // namespace png_test
