#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "formats/exif_orientation.h"
#include "formats/format_messages.h"
#include "formats/jpeg.h"
#include "formats/jpeg_cmyk.h"
#include "formats/jpeg_errors.h"
#include "formats/jpeg_progress.h"
#include "formats/jpeg_source.h"
#include "formats/reader_reduction.h"
#include "image/colour_quantizer.h"
#include "image/image.h"
#include "image/orientation.h"
#include "image/picture_formats.h"
#include "platform/file_buffer.h"
#include "platform/long_operation.h"
#include "settings/profile.h"

namespace {

constexpr JDIMENSION kMaxQuantizedWidth = 2048;
constexpr int kQuantizedColours = 256;
// Enough for the coefficients of a progressive photo far beyond what a
// picture holds unreduced; hostile sizes fail instead of exhausting memory.
// Full resolution keeps larger progressive photos whole, so it allows more.
constexpr long kJpegMemoryLimit = 512L * 1024 * 1024;
constexpr long kFullResolutionJpegMemoryLimit = 2048L * 1024 * 1024;
// The library decodes at 1/1, 1/2, 1/4 or 1/8 of the size.
constexpr int kMaxDctReduction = 8;

enum class JpegOutput { Colour, Grey, Quantized, CmykColour, CmykGrey, CmykQuantized };

struct JpegReadOptions {
  bool two_pass = false;
  bool dithering = true;
  bool monochrome = false;
  bool block_smoothing = false;
  bool pixel_smoothing = false;
  bool quick_look = false;
  bool exif_orientation = true;
  int reduction = 1;
  PictureLimit limit = PictureLimit::kClassic;
};

JpegReadOptions ReadOptions(const TProfile* settings) {
  JpegReadOptions options;
  options.reduction = ReaderReduction(settings);
  options.limit = ReaderLimit(settings);
  if (settings == nullptr) return options;
  options.two_pass = settings->Get(IntKey::JPEGTwoPass) != 0;
  options.dithering = settings->Get(IntKey::JPEGUseDithering) != 0;
  options.monochrome = settings->Get(IntKey::JPEGUseMonochrome) != 0;
  options.block_smoothing = settings->Get(IntKey::JPEGBlockSmoothing) != 0;
  options.pixel_smoothing = settings->Get(IntKey::JPEGPixelSmoothing) != 0;
  options.quick_look = settings->Get(IntKey::QuickLook) != 0;
  options.exif_orientation = OrientationTagsApply(settings);
  return options;
}

bool IsCmyk(JpegOutput output) {
  return output == JpegOutput::CmykColour || output == JpegOutput::CmykGrey ||
         output == JpegOutput::CmykQuantized;
}

bool QuantizesColour(JpegOutput output) {
  return output == JpegOutput::Quantized || output == JpegOutput::CmykQuantized;
}

int BytesPerPixel(JpegOutput output) {
  return output == JpegOutput::Colour || output == JpegOutput::CmykColour ? 3 : 1;
}

// What lives beside the library while it decodes: owned by ReadJpeg, touched
// by the driver only through the functions below, which never call the library.
struct JpegReadState {
  TImage* image = nullptr;
  JpegReadOptions options;
  JpegOutput output = JpegOutput::Colour;
  int dct_reduction = 1;
  bool adobe_inks = false;
  int orientation_tag = 0;  // of the Exif block; 0 when none was read
  std::vector<JSAMPLE> row;
  std::vector<std::uint8_t> converted;  // a CMYK row as blue, green, red
  std::vector<std::uint8_t> held;       // CMYK rows waiting for the quantizer
  int held_rows = 0;
  bool created = false;  // Create was called: an error after it keeps the rows read
};

struct JpegDecodeJob {
  jpeg_decompress_struct cinfo;
  JpegErrorManager errors;
  JpegStreamSource source;
  jpeg_progress_mgr progress;
  InputStream* stream;
  JOCTET* buffer;
  JpegReadState* state;
};

JpegOutput ChooseOutputKind(const jpeg_decompress_struct& cinfo, const JpegReadOptions& options) {
  const bool grey =
      cinfo.jpeg_color_space == JCS_GRAYSCALE || options.monochrome || options.quick_look;
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    if (grey) return JpegOutput::CmykGrey;
    return options.two_pass ? JpegOutput::CmykQuantized : JpegOutput::CmykColour;
  }
  if (grey) return JpegOutput::Grey;
  return options.two_pass ? JpegOutput::Quantized : JpegOutput::Colour;
}

// Sets the decompression parameters once the header is known.
void ChooseOutput(JpegDecodeJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  JpegReadState& state = *job.state;
  state.output = ChooseOutputKind(cinfo, state.options);
  state.adobe_inks = cinfo.saw_Adobe_marker != 0;
  switch (state.output) {
    case JpegOutput::Colour:
      cinfo.out_color_space = JCS_EXT_BGR;
      break;
    case JpegOutput::Grey:
      cinfo.out_color_space = JCS_GRAYSCALE;
      break;
    case JpegOutput::Quantized:
      cinfo.out_color_space = JCS_RGB;
      cinfo.quantize_colors = TRUE;
      cinfo.two_pass_quantize = TRUE;
      cinfo.dither_mode = state.options.dithering ? JDITHER_FS : JDITHER_NONE;
      cinfo.desired_number_of_colors = kQuantizedColours;
      break;
    default:
      cinfo.out_color_space = JCS_CMYK;
      break;
  }
  const bool smoothing = !state.options.quick_look;
  cinfo.do_block_smoothing = smoothing && state.options.block_smoothing ? TRUE : FALSE;
  cinfo.do_fancy_upsampling = smoothing && state.options.pixel_smoothing ? TRUE : FALSE;

  // A picture that will be stored reduced is decoded reduced: the library
  // averages blocks instead of decoding pixels that would be dropped. Nothing
  // here knows what size a window will show, so a picture kept whole is
  // decoded whole.
  const int reduction =
      PredictReduction(cinfo.image_width, cinfo.image_height, BytesPerPixel(state.output),
                       state.options.reduction, state.options.limit);
  state.dct_reduction = 1;
  while (state.dct_reduction * 2 <= std::min(reduction, kMaxDctReduction)) {
    state.dct_reduction *= 2;
  }
  cinfo.scale_num = 1;
  cinfo.scale_denom = static_cast<unsigned>(state.dct_reduction);
}

bool QuantizedTooWide(const JpegDecodeJob& job) {
  return QuantizesColour(job.state->output) && job.cinfo.image_width > kMaxQuantizedWidth;
}

void SetColourMap(TImage& image, const jpeg_decompress_struct& cinfo) {
  LogPalette palette;
  const int count = std::clamp(cinfo.actual_number_of_colors, 0, kMaxPaletteEntries);
  palette.count = static_cast<std::uint16_t>(count);
  for (int i = 0; i < count; ++i) {
    palette.entries[i].red = cinfo.colormap[0][i];
    palette.entries[i].green = cinfo.colormap[1][i];
    palette.entries[i].blue = cinfo.colormap[2][i];
  }
  image.SetPalette(palette);
}

// Creates the picture once the output is final; false when its buffers cannot be had.
bool BeginOutput(JpegDecodeJob& job) {
  const jpeg_decompress_struct& cinfo = job.cinfo;
  JpegReadState& state = *job.state;
  TImage& image = *state.image;
  image.Create(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height), 1, 1,
               BytesPerPixel(state.output), state.options.reduction, 0, TImage::RowFill::kFill,
               state.options.limit);
  state.created = true;
  image.uprightOrientation = OrientationOfTag(state.orientation_tag);
  if (state.output == JpegOutput::Quantized) SetColourMap(image, cinfo);
  try {
    state.row.assign(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components, 0);
    if (IsCmyk(state.output)) state.converted.assign(std::size_t(3) * image.width, 0);
    if (state.output == JpegOutput::CmykQuantized) {
      state.held.assign(std::size_t(3) * image.width * image.height, 0);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CopySampled(const std::uint8_t* source, std::uint8_t* target, int count, int bytes_per_pixel,
                 int step) {
  if (step == 1) {
    std::memcpy(target, source, static_cast<std::size_t>(count) * bytes_per_pixel);
    return;
  }
  const std::size_t stride = static_cast<std::size_t>(step) * bytes_per_pixel;
  for (int i = 0; i < count; ++i, source += stride, target += bytes_per_pixel) {
    std::memcpy(target, source, static_cast<std::size_t>(bytes_per_pixel));
  }
}

void StoreCmykRow(JpegReadState& state, int y, int step) {
  TImage& image = *state.image;
  std::uint8_t* bgr = state.converted.data();
  CmykToBgr(state.row.data(), image.width, step, state.adobe_inks, bgr);
  std::uint8_t* target = image.Row(y);
  if (state.output == JpegOutput::CmykColour) {
    std::memcpy(target, bgr, std::size_t(3) * image.width);
  } else if (state.output == JpegOutput::CmykGrey) {
    for (int x = 0; x < image.width; ++x) target[x] = GreyOfBgr(bgr + std::size_t(3) * x);
  } else {
    std::memcpy(&state.held[std::size_t(3) * image.width * y], bgr, std::size_t(3) * image.width);
    state.held_rows = y + 1;
  }
}

// Stores decoded row `line` (in decoded rows) where it falls in the picture.
void StoreRow(JpegReadState& state, JDIMENSION line) {
  TImage& image = *state.image;
  const std::int64_t file_row = std::int64_t{line} * state.dct_reduction;
  if (image.reduction <= 0 || file_row % image.reduction != 0) return;
  const int y = static_cast<int>(file_row / image.reduction);
  if (y >= image.height || image.width <= 0) return;
  const int step = image.reduction / state.dct_reduction;
  if (IsCmyk(state.output)) {
    StoreCmykRow(state, y, step);
  } else {
    CopySampled(state.row.data(), image.Row(y), image.width, image.bytesPerPixel, step);
  }
}

// The picture's own row for decoded row `line` when the library can write it
// there as it is (same size, same layout); otherwise null.
JSAMPROW DirectRow(JpegReadState& state, JDIMENSION line) {
  TImage& image = *state.image;
  if (IsCmyk(state.output) || image.reduction != state.dct_reduction) return nullptr;
  if (state.row.size() != static_cast<std::size_t>(image.width) * image.bytesPerPixel) {
    return nullptr;
  }
  return image.Row(static_cast<int>(line));
}

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr unsigned kLongestMarker = 0xFFFF;

// The Orientation of the first APP1 block that is Exif; 0 when there is none.
int SavedExifOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker != kExifMarker || marker->data == nullptr) continue;
    const int orientation = ReadExifOrientation({marker->data, marker->data_length});
    if (orientation != 0) return orientation;
  }
  return 0;
}

// Drives the library from header to end. No object with a destructor lives in
// this frame: an error inside the library jumps back to the setjmp below.
int DriveJpegDecode(JpegDecodeJob& job) {
  j_decompress_ptr cinfo = &job.cinfo;
  cinfo->err = InitJpegErrors(job.errors);
  if (setjmp(job.errors.jump) != 0) {
    jpeg_destroy_decompress(cinfo);
    return 1;
  }
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = job.state->options.limit == PictureLimit::kFullResolution
                                      ? kFullResolutionJpegMemoryLimit
                                      : kJpegMemoryLimit;
  AttachJpegStreamSource(cinfo, job.source, job.stream, job.buffer);
  AttachJpegProgress(reinterpret_cast<j_common_ptr>(cinfo), job.progress);
  if (job.state->options.exif_orientation) jpeg_save_markers(cinfo, kExifMarker, kLongestMarker);
  jpeg_read_header(cinfo, TRUE);
  job.state->orientation_tag = SavedExifOrientation(*cinfo);
  ChooseOutput(job);
  if (QuantizedTooWide(job)) {
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), kJpegQuantizeTooWide.data());
  }
  jpeg_start_decompress(cinfo);
  if (!BeginOutput(job)) {
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    const JDIMENSION line = cinfo->output_scanline;
    JSAMPROW direct = DirectRow(*job.state, line);
    JSAMPROW row = direct != nullptr ? direct : job.state->row.data();
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
    if (direct == nullptr) StoreRow(*job.state, line);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return 0;
}

// CMYK files are decoded to light first, so the library's quantizer (which
// works inside its own colour conversion) cannot serve; ours does.
void QuantizeHeldRows(JpegReadState& state) {
  TImage& image = *state.image;
  if (state.output != JpegOutput::CmykQuantized || state.held_rows <= 0) return;
  const auto row_bytes = std::size_t(3) * image.width;
  auto quantizer = std::make_unique<TColourQuantizer>();
  if (!quantizer->Init()) return;
  for (int y = 0; y < state.held_rows; ++y) {
    quantizer->AddPixels(&state.held[row_bytes * y], image.width);
  }
  const int count = quantizer->ChooseColours(kQuantizedColours);
  LogPalette palette;
  palette.count = static_cast<std::uint16_t>(count);
  for (int i = 0; i < count; ++i) {
    palette.entries[i] = {quantizer->Red()[i], quantizer->Green()[i], quantizer->Blue()[i], 0};
  }
  image.SetPalette(palette);
  quantizer->StartMapping();
  for (int y = 0; y < state.held_rows; ++y) {
    quantizer->MapRow(&state.held[row_bytes * y], image.Row(y), image.width);
  }
}

}  // namespace

LoadStatus ReadJpeg(InputStream* stream, TImage& image, const TProfile* settings) {
  JpegReadState state;
  state.image = &image;
  state.options = ReadOptions(settings);
  std::vector<JOCTET> buffer(kFileBufferSize);
  auto job = std::make_unique<JpegDecodeJob>();
  job->stream = stream;
  job->buffer = buffer.data();
  job->state = &state;

  BeginLongOperation();
  DriveJpegDecode(*job);
  QuantizeHeldRows(state);
  EndLongOperation();
  if (job->errors.cancelled) return LoadStatus::kCancelled;
  return state.created ? LoadStatus::kLoaded : LoadStatus::kRefused;
}
