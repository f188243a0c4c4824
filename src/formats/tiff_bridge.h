// How libtiff reaches the program's input stream and output files, and how
// its messages reach the log.
#pragma once

#include <cstdio>
#include <string_view>

#include <tiffio.h>

#include "formats/output_file.h"

struct InputStream;

// The largest single allocation libtiff may make for one file, so that sizes
// announced by a hostile file cannot exhaust memory.
inline constexpr tmsize_t kTiffMaxSingleAllocation = tmsize_t{256} * 1024 * 1024;

// Opens `stream` (from offset 0) for reading; the TIFF handle then owns the
// stream and TIFFClose closes it. On failure the stream is closed here and
// null is returned.
TIFF* OpenTiffOverStream(InputStream* stream, const char* path);

// A file being written: the program's output file (temporary until it is
// complete), and whether libtiff's writing or seeking through it failed.
struct TiffOutputFile {
  TOutputFile file;
  bool failed = false;
};

// Creates `path` and opens it for writing a little-endian TIFF. Null when the
// file cannot be created (reported as "%s: Cannot open") or libtiff refuses.
// TIFFClose leaves the file open: the caller closes or discards it.
TIFF* CreateTiffFile(const char* path, TiffOutputFile& output);

// Logs the reader's own refusal of a file as "TIFF Error: %s".
void LogTiffRefusal(std::string_view reason);

// Routes libtiff's process-wide error and warning handlers to the log.
void InstallTiffMessageHandlers();
