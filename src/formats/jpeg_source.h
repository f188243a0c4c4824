// The decompressor's data source over an InputStream.
#pragma once

#include <cstdio>

#include <jpeglib.h>

struct InputStream;

struct JpegStreamSource {
  jpeg_source_mgr library;  // first, so the library's pointer is ours too
  InputStream* stream;
  JOCTET* buffer;  // kFileBufferSize bytes, owned by the caller
};

// Feeds the decompressor from `stream`. At the end of the data the source
// warns "Premature EOF in JPEG file" and supplies an end-of-image marker, so a
// truncated file decodes as far as its data reaches.
void AttachJpegStreamSource(j_decompress_ptr cinfo, JpegStreamSource& source, InputStream* stream,
                            JOCTET* buffer);
