// The library's fatal errors must not return to it: they log the message and
// jump back to the setjmp of the one small function that drives the library
// in each direction. That function keeps no C++ object with a destructor
// alive while the library runs, and neither do the callbacks below.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// After jpeglib.h, which it needs: the message codes and ERREXIT/WARNMS.
#include <jerror.h>

struct JpegErrorManager {
  jpeg_error_mgr library;  // first, so the library's pointer is ours too
  std::jmp_buf jump;
  bool cancelled = false;  // the jump was a cancel, not an error
};

// Sets up the library's error handler with our exit and message output and
// returns the pointer to store in cinfo.err.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& manager);

// Logs `text` as "JPEG Error: %s" and jumps back to the driver's setjmp.
[[noreturn]] void FailJpeg(j_common_ptr cinfo, const char* text);

// Jumps back to the driver's setjmp without logging.
[[noreturn]] void AbandonJpeg(j_common_ptr cinfo);

// Marks the operation cancelled and abandons it.
[[noreturn]] void CancelJpeg(j_common_ptr cinfo);
