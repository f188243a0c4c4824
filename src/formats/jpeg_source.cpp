#include "formats/jpeg_source.h"

#include "archive/input_stream.h"
#include "formats/jpeg_errors.h"
#include "platform/file_buffer.h"

namespace {

JpegStreamSource& SourceOf(j_decompress_ptr cinfo) {
  return *reinterpret_cast<JpegStreamSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr /*cinfo*/) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  JpegStreamSource& source = SourceOf(cinfo);
  std::size_t got = stream_read(source.buffer, 1, kFileBufferSize, source.stream);
  if (got == 0) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source.buffer[0] = 0xFF;
    source.buffer[1] = JPEG_EOI;
    got = 2;
  }
  source.library.next_input_byte = source.buffer;
  source.library.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& library = SourceOf(cinfo).library;
  auto left = static_cast<std::size_t>(count);
  // Each fill supplies at least two bytes, so this ends even past the end.
  while (left > library.bytes_in_buffer) {
    left -= library.bytes_in_buffer;
    FillInputBuffer(cinfo);
  }
  library.next_input_byte += left;
  library.bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr /*cinfo*/) {}

}  // namespace

void AttachJpegStreamSource(j_decompress_ptr cinfo, JpegStreamSource& source, InputStream* stream,
                            JOCTET* buffer) {
  source.library.init_source = InitSource;
  source.library.fill_input_buffer = FillInputBuffer;
  source.library.skip_input_data = SkipInputData;
  source.library.resync_to_restart = jpeg_resync_to_restart;
  source.library.term_source = TermSource;
  source.library.bytes_in_buffer = 0;
  source.library.next_input_byte = nullptr;
  source.stream = stream;
  source.buffer = buffer;
  cinfo->src = &source.library;
}
