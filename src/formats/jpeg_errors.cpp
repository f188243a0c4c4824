#include "formats/jpeg_errors.h"

#include "formats/format_messages.h"
#include "platform/log_sink.h"

namespace {

// The library formats its messages with up to eight numeric parameters.
constexpr int kJpegMessageSize = 256;
static_assert(kJpegMessageSize >= JMSG_LENGTH_MAX);

void LogJpegText(bool error, const char* text) {
  LogLine(error ? kJpegErrorLine : kJpegWarningLine, text);
}

[[noreturn]] void ExitOnError(j_common_ptr cinfo) {
  char text[kJpegMessageSize] = {};
  (*cinfo->err->format_message)(cinfo, text);
  LogJpegText(true, text);
  AbandonJpeg(cinfo);
}

// With trace level 0 the library only gets here for the first corrupt-data
// warning of a file, so each file logs at most one warning.
void OutputWarning(j_common_ptr cinfo) {
  // The program's own wording for the warning its data source raises.
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
    LogJpegText(false, kJpegPrematureEof.data());
    return;
  }
  char text[kJpegMessageSize] = {};
  (*cinfo->err->format_message)(cinfo, text);
  LogJpegText(false, text);
}

}  // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager& manager) {
  jpeg_error_mgr* errors = jpeg_std_error(&manager.library);
  errors->error_exit = ExitOnError;
  errors->output_message = OutputWarning;
  errors->trace_level = 0;
  return errors;
}

void FailJpeg(j_common_ptr cinfo, const char* text) {
  LogJpegText(true, text);
  AbandonJpeg(cinfo);
}

void AbandonJpeg(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void CancelJpeg(j_common_ptr cinfo) {
  reinterpret_cast<JpegErrorManager*>(cinfo->err)->cancelled = true;
  AbandonJpeg(cinfo);
}
