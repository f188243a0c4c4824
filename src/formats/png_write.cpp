#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/format_messages.h"
#include "formats/output_file.h"
#include "formats/png.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

constexpr int kCompressionLevel = 6;
// Longer comments are stored compressed.
constexpr std::size_t kLongComment = 1024;
constexpr char kCommentKeyword[] = "Comment";

struct PngWriteJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  TOutputFile* file = nullptr;
  TImage* image = nullptr;
  TDither* dither = nullptr;
  int width = 0;
  int height = 0;
  int bit_depth = 8;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int entries = 0;
  std::array<png_color, kMaxPaletteEntries> colours{};
  std::string comment;
  png_text text{};
  std::vector<std::uint8_t> line;
  bool cancelled = false;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  LogLine(kPngErrorLine, message != nullptr ? message : "");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void WriteData(png_structp png, png_bytep data, std::size_t length) {
  auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
  if (!job->file->Write(data, length)) png_error(png, kOutputWriteError.data());
}

void FlushData(png_structp) {}

// The comments window's text with plain line feeds and no trailing break.
std::string CommentForFile() {
  std::string text = GetCommentText();
  std::erase(text, '\r');
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The fewest bits per pixel that hold every index the picture uses.
void ChoosePaletteForm(PngWriteJob& job, const LogPalette& palette) {
  const TImage& image = *job.image;
  int highest = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = image.Row(y);
    highest = std::max<int>(highest, *std::max_element(row, row + image.width));
  }
  job.entries = std::clamp<int>(std::max<int>(palette.count, highest + 1), 1, kMaxPaletteEntries);
  for (int i = 0; i < job.entries; ++i) {
    job.colours[i] = {palette.entries[i].red, palette.entries[i].green, palette.entries[i].blue};
  }
  job.colour_type = PNG_COLOR_TYPE_PALETTE;
  job.bit_depth = job.entries <= 2 ? 1 : job.entries <= 4 ? 2 : job.entries <= 16 ? 4 : 8;
}

void SetComment(PngWriteJob& job) {
  if (job.comment.empty()) return;
  job.text.compression =
      job.comment.size() > kLongComment ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
  job.text.key = const_cast<png_charp>(kCommentKeyword);
  job.text.text = job.comment.data();
  job.text.text_length = job.comment.size();
  png_set_text(job.png, job.info, &job.text, 1);
}

// False on a cancel.
bool WriteRows(PngWriteJob& job) {
  TImage& image = *job.image;
  const ImageRect out = image.outputRect;
  for (int y = 0; y < job.height; ++y) {
    image.GetOutputRow(out.x, out.y + y, job.line.data(), job.width);
    job.dither->AdjustLine(job.line.data(), job.width, image.bytesPerPixel);
    png_write_row(job.png, job.line.data());
    if (PollLongOperation(static_cast<int>(std::int64_t{y} * 100 / job.height))) return false;
  }
  return true;
}

// Drives libpng from header to end. No object with a destructor lives in this
// frame or below it while libpng runs: an error jumps back to setjmp.
int DrivePngWrite(PngWriteJob& job) {
  if (setjmp(png_jmpbuf(job.png)) != 0) return 1;
  png_set_write_fn(job.png, &job, WriteData, FlushData);
  png_set_compression_level(job.png, kCompressionLevel);
  png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(job.width),
               static_cast<png_uint_32>(job.height), job.bit_depth, job.colour_type,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (job.colour_type == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(job.png, job.info, job.colours.data(), job.entries);
  }
  SetComment(job);
  png_write_info(job.png, job.info);
  if (job.bit_depth < 8) png_set_packing(job.png);
  if (job.colour_type == PNG_COLOR_TYPE_RGB) png_set_bgr(job.png);
  if (!WriteRows(job)) {
    job.cancelled = true;
    return 1;
  }
  png_write_end(job.png, job.info);
  return 0;
}

}  // namespace

int WritePng(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* /*display_palette*/) {
  SetWriterOutputSize(image, settings);
  auto job = std::make_unique<PngWriteJob>();
  job->width = image.outputRect.width;
  job->height = image.outputRect.height;
  if (job->width < 1 || job->height < 1) return 1;
  job->image = &image;
  job->dither = &dither;
  if (image.bytesPerPixel == 1) {
    LogPalette palette;
    dither.GetSourcePalette(palette);
    ChoosePaletteForm(*job, palette);
  }
  job->comment = CommentForFile();
  job->line.assign(std::size_t(job->width) * image.bytesPerPixel, 0);

  TOutputFile file;
  if (!file.Create(path)) return 1;
  job->file = &file;
  job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (job->png == nullptr) return 1;
  job->info = png_create_info_struct(job->png);
  int failed = 1;
  if (job->info != nullptr) {
    BeginLongOperation();
    failed = DrivePngWrite(*job);
    EndLongOperation();
  }
  png_destroy_write_struct(&job->png, &job->info);
  // A broken or cancelled file never replaces the target.
  if (failed != 0) {
    file.Discard();
    return 1;
  }
  return file.Close() ? 0 : 1;
}
