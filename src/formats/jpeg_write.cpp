#include <cstdint>
#include <memory>
#include <vector>

#include "formats/jpeg.h"
#include "formats/jpeg_errors.h"
#include "formats/output_file.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/file_buffer.h"
#include "platform/long_operation.h"
#include "settings/profile.h"

namespace {

struct JpegWriteOptions {
  int quality = 75;
  int smoothing = 0;
  bool optimize = false;
  bool monochrome = false;
};

// The compressor's destination: the program's output file.
struct JpegFileDestination {
  jpeg_destination_mgr library;  // first, so the library's pointer is ours too
  TOutputFile* file;
  JOCTET* buffer;  // kFileBufferSize bytes
};

JpegFileDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<JpegFileDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  JpegFileDestination& destination = DestinationOf(cinfo);
  destination.library.next_output_byte = destination.buffer;
  destination.library.free_in_buffer = kFileBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  JpegFileDestination& destination = DestinationOf(cinfo);
  if (!destination.file->Write(destination.buffer, kFileBufferSize))
    ERREXIT(cinfo, JERR_FILE_WRITE);
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  JpegFileDestination& destination = DestinationOf(cinfo);
  const std::size_t used = kFileBufferSize - destination.library.free_in_buffer;
  if (!destination.file->Write(destination.buffer, used) || !destination.file->Flush()) {
    ERREXIT(cinfo, JERR_FILE_WRITE);
  }
}

// Pixels leave the picture through the output mapping and the adjusted
// palette; a 24-bit picture's adjusted palette is a curve per channel.
struct JpegRowSource {
  TImage* image = nullptr;
  LogPalette palette;
  // A 24-bit picture without adjustments goes to the library as it is held.
  bool unadjusted_bgr = false;
  std::vector<std::uint8_t> line;  // one output row as the picture holds it
  std::vector<JSAMPLE> rgb;        // the same row as red, green, blue
};

bool IsIdentityPalette(const LogPalette& palette) {
  if (palette.count < kMaxPaletteEntries) return false;
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const PaletteEntry& entry = palette.entries[i];
    if (entry.red != i || entry.green != i || entry.blue != i) return false;
  }
  return true;
}

struct JpegEncodeJob {
  jpeg_compress_struct cinfo;
  JpegErrorManager errors;
  JpegFileDestination destination;
  JpegWriteOptions options;
  JpegRowSource* rows;
};

// Fills the source's rgb row with output row y; false on a cancel.
bool FetchRow(JpegRowSource& source, int y) {
  TImage& image = *source.image;
  const ImageRect out = image.outputRect;
  if (PollLongOperation(static_cast<int>(std::int64_t{y} * 100 / out.height))) return false;
  image.GetOutputRow(out.x, out.y + y, source.line.data(), out.width);
  if (source.unadjusted_bgr) return true;
  const PaletteEntry* colours = source.palette.entries.data();
  JSAMPLE* rgb = source.rgb.data();
  const std::uint8_t* pixel = source.line.data();
  if (image.bytesPerPixel == 1) {
    for (int x = 0; x < out.width; ++x, rgb += 3) {
      const PaletteEntry& colour = colours[pixel[x]];
      rgb[0] = colour.red;
      rgb[1] = colour.green;
      rgb[2] = colour.blue;
    }
  } else {
    for (int x = 0; x < out.width; ++x, rgb += 3, pixel += 3) {
      rgb[0] = colours[pixel[2]].red;
      rgb[1] = colours[pixel[1]].green;
      rgb[2] = colours[pixel[0]].blue;
    }
  }
  return true;
}

void SetParameters(jpeg_compress_struct& cinfo, const JpegWriteOptions& options, int width,
                   int height, bool bgr_input) {
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  // The defaults below depend on the colour space, not on the byte order.
  cinfo.in_color_space = bgr_input ? JCS_EXT_BGR : JCS_RGB;
  cinfo.data_precision = 8;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.quality, FALSE);
  if (options.monochrome) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  cinfo.optimize_coding = options.optimize ? TRUE : FALSE;
  cinfo.smoothing_factor = options.smoothing;
}

// Drives the library from set-up to the last row. No object with a destructor
// lives in this frame: an error inside the library jumps back to the setjmp.
int DriveJpegEncode(JpegEncodeJob& job, int width, int height) {
  j_compress_ptr cinfo = &job.cinfo;
  cinfo->err = InitJpegErrors(job.errors);
  if (setjmp(job.errors.jump) != 0) {
    jpeg_destroy_compress(cinfo);
    return 1;
  }
  jpeg_create_compress(cinfo);
  job.destination.library.init_destination = InitDestination;
  job.destination.library.empty_output_buffer = EmptyOutputBuffer;
  job.destination.library.term_destination = TermDestination;
  cinfo->dest = &job.destination.library;
  SetParameters(*cinfo, job.options, width, height, job.rows->unadjusted_bgr);
  jpeg_start_compress(cinfo, TRUE);
  JSAMPROW row = job.rows->unadjusted_bgr ? job.rows->line.data() : job.rows->rgb.data();
  while (cinfo->next_scanline < cinfo->image_height) {
    if (!FetchRow(*job.rows, static_cast<int>(cinfo->next_scanline))) {
      jpeg_destroy_compress(cinfo);
      return 1;
    }
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return 0;
}

JpegWriteOptions WriteOptions(const TProfile& settings) {
  JpegWriteOptions options;
  options.quality = settings.Get(IntKey::JPEGOutputQuality);
  options.smoothing = settings.Get(IntKey::JPEGOutputSmoothing);
  options.optimize = settings.Get(IntKey::JPEGOutputOptimize) != 0;
  options.monochrome = settings.Get(IntKey::JPEGOutputMonochrome) != 0;
  return options;
}

}  // namespace

int WriteJpeg(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
              const LogPalette* /*display_palette*/) {
  SetWriterOutputSize(image, settings);
  const int width = image.outputRect.width;
  const int height = image.outputRect.height;
  if (width < 1 || height < 1) return 1;

  TOutputFile file;
  if (!file.Create(path)) return 1;
  JpegRowSource rows;
  rows.image = &image;
  dither.GetSourcePalette(rows.palette);
  rows.unadjusted_bgr = image.bytesPerPixel == 3 && IsIdentityPalette(rows.palette);
  rows.line.resize(static_cast<std::size_t>(width) * image.bytesPerPixel);
  rows.rgb.resize(std::size_t(3) * width);
  std::vector<JOCTET> buffer(kFileBufferSize);
  auto job = std::make_unique<JpegEncodeJob>();
  job->destination.file = &file;
  job->destination.buffer = buffer.data();
  job->options = WriteOptions(settings);
  job->rows = &rows;

  BeginLongOperation();
  const int result = DriveJpegEncode(*job, width, height);
  EndLongOperation();
  // A broken or cancelled file never replaces the target.
  if (result != 0) {
    file.Discard();
    return 1;
  }
  return file.Close() ? 0 : 1;
}
