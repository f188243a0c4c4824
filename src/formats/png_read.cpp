#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "archive/input_stream.h"
#include "formats/alpha_background.h"
#include "formats/format_messages.h"
#include "formats/png.h"
#include "formats/reader_reduction.h"
#include "image/image.h"
#include "platform/file_buffer.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// libpng's own default, stated so that a library built otherwise cannot widen it.
constexpr png_uint_32 kMaxSide = 1000000;
// Interlaced rows are gathered before they are stored; beyond this they are refused.
constexpr std::uint64_t kMaxInterlacedBytes = std::uint64_t{1} << 30;
constexpr std::string_view kCommentKeyword = "Comment";

enum class PngOutput { kIndexed, kBgr, kBgra };

struct PngReadState {
  TImage* image = nullptr;
  int requested_reduction = 1;
  PictureLimit limit = PictureLimit::kClassic;
  PaletteEntry background{};
  PngOutput output = PngOutput::kIndexed;
  int width = 0;
  int height = 0;
  int colour_type = 0;  // as the file has them, before the transformations
  int bit_depth = 0;
  int passes = 1;
  std::size_t row_bytes = 0;
  bool direct = false;  // decoded rows are the picture's own rows as they are
  std::vector<std::uint8_t> scratch;
  std::vector<std::uint8_t> kept;  // interlaced rows y % reduction == 0, in full
  int rows_done = 0;               // rows stored in full (not counted when interlaced)
  std::int64_t rows_expected = 0;  // row callbacks with pixels, over every pass
  std::int64_t rows_seen = 0;
  bool created = false;
  bool cancelled = false;
  bool finished = false;  // the end of the picture was read
  int texts_sent = 0;
};

struct PngReadJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  InputStream* stream = nullptr;
  std::uint8_t* buffer = nullptr;  // kFileBufferSize bytes, owned by the caller
  PngReadState* state = nullptr;
};

void LogPngError(png_const_charp message) {
  LogLine(kPngErrorLine, message != nullptr ? message : "");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  LogPngError(message);
  png_longjmp(png, 1);
}

// Warnings concern chunks the picture does without (a damaged text chunk is
// dropped); they are not news to the user.
void OnPngWarning(png_structp, png_const_charp) {}

void SendText(const char* text) {
  for (; *text != '\0'; ++text) AddCommentChar(static_cast<unsigned char>(*text));
}

// Text chunks not sent yet: "Comment" chunks as they are, others as
// "Keyword: text", one per line.
void SendComments(const PngReadJob& job) {
  png_textp texts = nullptr;
  int count = 0;
  png_get_text(job.png, job.info, &texts, &count);
  for (int i = job.state->texts_sent; i < count; ++i) {
    if (texts[i].text == nullptr || texts[i].key == nullptr) continue;
    if (job.state->texts_sent > 0) SendText("\r\n");
    job.state->texts_sent = i + 1;
    if (kCommentKeyword != texts[i].key) {
      SendText(texts[i].key);
      SendText(": ");
    }
    SendText(texts[i].text);
  }
}

// The level libpng's transformations give a grey sample.
int ScaledGrey(int value, int bit_depth) {
  // png_set_scale_16's rounding.
  if (bit_depth == 16) return (value * 255 + 32895) >> 16;
  if (bit_depth < 8) return value * (255 / ((1 << bit_depth) - 1));
  return value & 0xFF;
}

// A palette picture's colours, each composed over the background by its
// alpha; returns the first wholly transparent index, or -1.
int IndexedColours(const PngReadJob& job, LogPalette& palette) {
  png_colorp colours = nullptr;
  int count = 0;
  png_get_PLTE(job.png, job.info, &colours, &count);
  count = std::clamp(count, 0, kMaxPaletteEntries);
  palette.count = static_cast<std::uint16_t>(count);
  for (int i = 0; i < count; ++i) {
    palette.entries[i] = {colours[i].red, colours[i].green, colours[i].blue, 0};
  }
  png_bytep alphas = nullptr;
  int alpha_count = 0;
  if (png_get_tRNS(job.png, job.info, &alphas, &alpha_count, nullptr) == 0 || alphas == nullptr) {
    return -1;
  }
  int transparent = -1;
  for (int i = 0; i < std::min(alpha_count, count); ++i) {
    palette.entries[i] = ComposeColour(palette.entries[i], alphas[i], job.state->background);
    if (alphas[i] == 0 && transparent < 0) transparent = i;
  }
  return transparent;
}

// A grey picture's transparent level, or -1.
int TransparentGrey(const PngReadJob& job, int bit_depth) {
  png_color_16p colour = nullptr;
  if (png_get_tRNS(job.png, job.info, nullptr, nullptr, &colour) == 0 || colour == nullptr) {
    return -1;
  }
  return ScaledGrey(colour->gray, bit_depth);
}

// Sets libpng's transformations; the colour type decides what is stored.
void ChooseTransforms(PngReadJob& job, int colour_type, int bit_depth) {
  png_structp png = job.png;
  PngReadState& state = *job.state;
  if (bit_depth == 16) png_set_scale_16(png);
  if (colour_type == PNG_COLOR_TYPE_PALETTE || colour_type == PNG_COLOR_TYPE_GRAY) {
    state.output = PngOutput::kIndexed;
    if (bit_depth < 8) {
      if (colour_type == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
      png_set_packing(png);
    }
    return;
  }
  bool alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0;
  if (colour_type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (!alpha && png_get_valid(png, job.info, PNG_INFO_tRNS) != 0) {
    png_set_tRNS_to_alpha(png);
    alpha = true;
  }
  png_set_bgr(png);
  state.output = alpha ? PngOutput::kBgra : PngOutput::kBgr;
}

int StoredBytesPerPixel(PngOutput output) {
  return output == PngOutput::kIndexed ? 1 : 3;
}

int DecodedBytesPerPixel(PngOutput output) {
  return output == PngOutput::kIndexed ? 1 : output == PngOutput::kBgr ? 3 : 4;
}

// False (logged) when the picture is refused before it is created.
bool PlanPicture(PngReadJob& job) {
  png_structp png = job.png;
  PngReadState& state = *job.state;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = 0;
  png_get_IHDR(png, job.info, &width, &height, &bit_depth, &colour_type, &interlace, nullptr,
               nullptr);
  state.width = static_cast<int>(width);
  state.height = static_cast<int>(height);
  state.colour_type = colour_type;
  state.bit_depth = bit_depth;
  ChooseTransforms(job, colour_type, bit_depth);
  state.passes = png_set_interlace_handling(png);
  png_read_update_info(png, job.info);
  state.row_bytes = png_get_rowbytes(png, job.info);
  const int decoded = DecodedBytesPerPixel(state.output);
  if (state.row_bytes != std::size_t(width) * decoded) {
    LogLine(kPngErrorLine, FormatLogText(kSizeNotRead, state.width, state.height));
    return false;
  }
  for (int pass = 0; pass < state.passes; ++pass) {
    const bool whole = state.passes == 1;
    if (whole || PNG_PASS_COLS(width, pass) > 0) {
      state.rows_expected += whole ? height : PNG_PASS_ROWS(height, pass);
    }
  }
  const int stored = StoredBytesPerPixel(state.output);
  const int reduction =
      PredictReduction(width, height, stored, std::max(state.requested_reduction, 1), state.limit);
  if (state.passes > 1 &&
      state.row_bytes * ((height + reduction - 1) / reduction) > kMaxInterlacedBytes) {
    LogLine(kPngErrorLine, FormatLogText(kPngInterlaceTooLarge, state.width, state.height));
    return false;
  }
  return true;
}

// Creates the picture and the row buffers; false when they cannot be had.
bool BeginPicture(PngReadJob& job) {
  PngReadState& state = *job.state;
  TImage& image = *state.image;
  LogPalette palette;
  int transparent = -1;
  const bool grey = state.colour_type == PNG_COLOR_TYPE_GRAY;
  if (state.output == PngOutput::kIndexed && !grey) transparent = IndexedColours(job, palette);
  if (grey) transparent = TransparentGrey(job, state.bit_depth);
  // Every row is stored unless the file is cut short; those rows are then filled.
  const auto row_fill =
      state.passes == 1 ? TImage::RowFill::kCallerStoresEveryPixel : TImage::RowFill::kFill;
  image.Create(state.width, state.height, 1, 1, StoredBytesPerPixel(state.output),
               state.requested_reduction, static_cast<std::uint8_t>(std::max(transparent, 0)),
               row_fill, state.limit);
  state.created = true;
  if (state.output == PngOutput::kIndexed && !grey) image.SetPalette(palette);
  if (grey && transparent >= 0) image.SetColourEntry(transparent, state.background);
  state.direct = image.reduction == 1 && state.output != PngOutput::kBgra;
  try {
    if (!state.direct) state.scratch.assign(state.row_bytes, 0);
    if (!state.direct && state.passes > 1) {
      const std::size_t kept_rows = (std::size_t(state.height) + image.reduction - 1) /
                                    static_cast<std::size_t>(image.reduction);
      state.kept.assign(state.row_bytes * kept_rows, 0);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Where libpng puts row y: the picture's own row, a kept row, or the scratch row.
png_bytep RowTarget(PngReadState& state, int y) {
  TImage& image = *state.image;
  if (state.direct) return image.Row(y);
  if (state.passes > 1 && y % image.reduction == 0) {
    return state.kept.data() + state.row_bytes * static_cast<std::size_t>(y / image.reduction);
  }
  return state.scratch.data();
}

// Stores decoded row y, every reduction-th pixel of it.
void StoreRow(PngReadState& state, int y, const std::uint8_t* decoded) {
  TImage& image = *state.image;
  const int step = image.reduction;
  if (y % step != 0 || y / step >= image.height) return;
  std::uint8_t* target = image.Row(y / step);
  const int count = image.width;
  switch (state.output) {
    case PngOutput::kIndexed:
      for (int x = 0; x < count; ++x) target[x] = decoded[std::size_t(x) * step];
      break;
    case PngOutput::kBgr:
      for (int x = 0; x < count; ++x) {
        std::memcpy(target + std::size_t(3) * x, decoded + std::size_t(3) * x * step, 3);
      }
      break;
    case PngOutput::kBgra:
      ComposeBgraRow(decoded, count, step, state.background, target);
      break;
  }
}

int Percent(std::int64_t done, std::int64_t total) {
  return total > 0 ? static_cast<int>(done * 100 / total) : 100;
}

PngReadJob& JobOf(png_structp png) {
  return *static_cast<PngReadJob*>(png_get_progressive_ptr(png));
}

// The header is in: plan and create the picture, or give up.
void OnInfo(png_structp png, png_infop) {
  PngReadJob& job = JobOf(png);
  SendComments(job);
  // PlanPicture has said why.
  if (!PlanPicture(job)) png_longjmp(png, 1);
  if (!BeginPicture(job)) png_error(png, "Insufficient memory");
}

// Row y of a pass is in; null when the pass has no pixels in it.
void OnRow(png_structp png, png_bytep decoded, png_uint_32 row, int pass) {
  PngReadJob& job = JobOf(png);
  PngReadState& state = *job.state;
  const int y = static_cast<int>(row);
  if (decoded == nullptr || y >= state.height || state.cancelled) return;
  ++state.rows_seen;
  png_bytep target = RowTarget(state, y);
  if (state.passes > 1) {
    png_progressive_combine_row(png, target, decoded);
  } else {
    if (state.direct) std::memcpy(target, decoded, state.row_bytes);
    if (!state.direct) StoreRow(state, y, decoded);
    state.rows_done = y + 1;
  }
  const std::int64_t total = std::int64_t{state.passes} * state.height;
  const std::int64_t done = std::int64_t{state.passes > 1 ? pass : 0} * state.height + y + 1;
  if (PollLongOperation(Percent(done, total))) {
    state.cancelled = true;
    png_process_data_pause(png, 0);
  }
}

void OnEnd(png_structp png, png_infop) {
  PngReadJob& job = JobOf(png);
  SendComments(job);
  job.state->finished = true;
  // The end came before the last row; libpng lets that pass.
  if (job.state->rows_seen < job.state->rows_expected) {
    LogLine(kPngErrorLine, kPictureDataEndsEarly);
  }
}

// Interlaced rows gathered aside reach the picture once every pass is in.
void StoreKeptRows(PngReadState& state) {
  if (state.direct || state.passes == 1 || state.kept.empty()) return;
  const int step = state.image->reduction;
  for (int y = 0; y < state.height; y += step) {
    StoreRow(state, y, state.kept.data() + state.row_bytes * static_cast<std::size_t>(y / step));
  }
}

// Feeds libpng the file a buffer at a time; the callbacks above do the rest.
// No object with a destructor lives in this frame or below it while libpng
// runs: an error jumps back to setjmp.
int DrivePngRead(PngReadJob& job) {
  if (setjmp(png_jmpbuf(job.png)) != 0) return 1;
  png_set_progressive_read_fn(job.png, &job, OnInfo, OnRow, OnEnd);
  png_set_user_limits(job.png, kMaxSide, kMaxSide);
  while (!job.state->finished && !job.state->cancelled) {
    const std::size_t got = stream_read(job.buffer, 1, kFileBufferSize, job.stream);
    // Rows decoded before the end stay.
    if (got == 0) png_error(job.png, kFileEndsEarly.data());
    png_process_data(job.png, job.info, job.buffer, got);
  }
  return 0;
}

// Rows a short or cancelled file did not reach show the fill, not an earlier
// picture's pixels.
void FillUnreadRows(PngReadState& state) {
  if (!state.created || state.passes > 1) return;
  TImage& image = *state.image;
  const int first = (state.rows_done + image.reduction - 1) / image.reduction;
  image.FillRows(first, image.height);
}

}  // namespace

LoadStatus ReadPng(InputStream* stream, TImage& image, const TProfile* settings) {
  PngReadState state;
  state.image = &image;
  state.requested_reduction = ReaderReduction(settings);
  state.limit = ReaderLimit(settings);
  state.background = BackgroundColour(settings);
  std::vector<std::uint8_t> buffer(kFileBufferSize);
  auto job = std::make_unique<PngReadJob>();
  job->stream = stream;
  job->buffer = buffer.data();
  job->state = &state;
  job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (job->png == nullptr) return LoadStatus::kRefused;
  job->info = png_create_info_struct(job->png);
  if (job->info != nullptr) {
    BeginLongOperation();
    DrivePngRead(*job);
    StoreKeptRows(state);
    FillUnreadRows(state);
    EndLongOperation();
  }
  png_destroy_read_struct(&job->png, &job->info, nullptr);
  if (state.cancelled) return LoadStatus::kCancelled;
  return state.created ? LoadStatus::kLoaded : LoadStatus::kRefused;
}
