#include "formats/tiff_bridge.h"

#include <sys/types.h>
#include <algorithm>
#include <cstdarg>

#include "archive/input_stream.h"
#include "formats/format_messages.h"
#include "platform/log_sink.h"

namespace {

// libtiff's requests are split into pieces of at most this size.
constexpr tmsize_t kTiffTransferPiece = 16384;
constexpr int kTiffMessageSize = 512;

void LogTiffMessage(bool error, const char* module, const char* format, va_list arguments) {
  char text[kTiffMessageSize] = {};
  std::vsnprintf(text, sizeof text, format, arguments);
  const char* source = module != nullptr ? module : "";
  LogLine(error ? kTiffErrorLine : kTiffWarningLine, source, text);
}

void GlobalError(const char* module, const char* format, va_list arguments) {
  LogTiffMessage(true, module, format, arguments);
}

void GlobalWarning(const char* module, const char* format, va_list arguments) {
  LogTiffMessage(false, module, format, arguments);
}

int HandleError(TIFF*, void*, const char* module, const char* format, va_list arguments) {
  LogTiffMessage(true, module, format, arguments);
  return 1;
}

int HandleWarning(TIFF*, void*, const char* module, const char* format, va_list arguments) {
  LogTiffMessage(false, module, format, arguments);
  return 1;
}

// Over the input stream.

InputStream* StreamOf(thandle_t handle) {
  return static_cast<InputStream*>(handle);
}

tmsize_t ReadStream(thandle_t handle, void* buffer, tmsize_t size) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  tmsize_t done = 0;
  while (done < size) {
    const auto piece = static_cast<std::size_t>(std::min(size - done, kTiffTransferPiece));
    const std::size_t got = stream_read(bytes + done, 1, piece, StreamOf(handle));
    if (got == 0) break;
    done += static_cast<tmsize_t>(got);
  }
  return done;
}

tmsize_t WriteNothing(thandle_t, void*, tmsize_t) {
  return 0;
}

toff_t SeekStream(thandle_t handle, toff_t offset, int whence) {
  // The stream addresses at most 4 GB; anything beyond is a failed seek.
  if (offset > 0xFFFFFFFFu && whence == SEEK_SET) return static_cast<toff_t>(-1);
  if (stream_seek(StreamOf(handle), static_cast<long>(offset), whence) != 0) {
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(stream_tell(StreamOf(handle)));
}

int CloseStream(thandle_t handle) {
  return stream_close(StreamOf(handle));
}

toff_t StreamSize(thandle_t handle) {
  InputStream* stream = StreamOf(handle);
  const long position = stream_tell(stream);
  stream_seek(stream, 0, SEEK_END);
  const long size = stream_tell(stream);
  stream_seek(stream, position, SEEK_SET);
  return static_cast<toff_t>(size);
}

int MapNothing(thandle_t, void**, toff_t*) {
  return 0;
}
void UnmapNothing(thandle_t, void*, toff_t) {}

// Over an output file.

TiffOutputFile& OutputOf(thandle_t handle) {
  return *static_cast<TiffOutputFile*>(handle);
}

tmsize_t ReadFile(thandle_t handle, void* buffer, tmsize_t size) {
  auto* bytes = static_cast<char*>(buffer);
  tmsize_t done = 0;
  while (done < size) {
    const auto piece = static_cast<std::size_t>(std::min(size - done, kTiffTransferPiece));
    const std::size_t got = std::fread(bytes + done, 1, piece, OutputOf(handle).file.Stream());
    if (got == 0) break;
    done += static_cast<tmsize_t>(got);
  }
  return done;
}

tmsize_t WriteFile(thandle_t handle, void* buffer, tmsize_t size) {
  TiffOutputFile& output = OutputOf(handle);
  const auto* bytes = static_cast<const char*>(buffer);
  tmsize_t done = 0;
  while (done < size) {
    const auto piece = static_cast<std::size_t>(std::min(size - done, kTiffTransferPiece));
    const std::size_t put = std::fwrite(bytes + done, 1, piece, output.file.Stream());
    done += static_cast<tmsize_t>(put);
    if (put != piece) {
      output.failed = true;
      break;
    }
  }
  return done;
}

toff_t SeekFile(thandle_t handle, toff_t offset, int whence) {
  TiffOutputFile& output = OutputOf(handle);
  if (fseeko(output.file.Stream(), static_cast<off_t>(offset), whence) != 0) {
    output.failed = true;
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(ftello(output.file.Stream()));
}

// The writer closes (or discards) the output file once it knows the outcome.
int KeepFileOpen(thandle_t) {
  return 0;
}

toff_t FileSize(thandle_t handle) {
  std::FILE* file = OutputOf(handle).file.Stream();
  const off_t position = ftello(file);
  fseeko(file, 0, SEEK_END);
  const off_t size = ftello(file);
  fseeko(file, position, SEEK_SET);
  return static_cast<toff_t>(size);
}

struct OpenOptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

std::unique_ptr<TIFFOpenOptions, OpenOptionsDeleter> MakeOpenOptions() {
  std::unique_ptr<TIFFOpenOptions, OpenOptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (options) {
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kTiffMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), HandleError, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), HandleWarning, nullptr);
  }
  return options;
}

}  // namespace

void InstallTiffMessageHandlers() {
  TIFFSetErrorHandler(GlobalError);
  TIFFSetWarningHandler(GlobalWarning);
}

TIFF* OpenTiffOverStream(InputStream* stream, const char* path) {
  auto options = MakeOpenOptions();
  TIFF* tiff = nullptr;
  if (options && stream_seek(stream, 0, SEEK_SET) == 0) {
    tiff = TIFFClientOpenExt(path, "r", stream, ReadStream, WriteNothing, SeekStream, CloseStream,
                             StreamSize, MapNothing, UnmapNothing, options.get());
  }
  // A failed open does not call the close procedure.
  if (tiff == nullptr) stream_close(stream);
  return tiff;
}

TIFF* CreateTiffFile(const char* path, TiffOutputFile& output) {
  output.failed = false;
  if (!output.file.Create(path)) {
    TIFFErrorExtR(nullptr, "TIFFOpen", "%s: Cannot open", path);
    return nullptr;
  }
  auto options = MakeOpenOptions();
  TIFF* tiff = nullptr;
  if (options) {
    tiff = TIFFClientOpenExt(path, "wl", &output, ReadFile, WriteFile, SeekFile, KeepFileOpen,
                             FileSize, MapNothing, UnmapNothing, options.get());
  }
  if (tiff == nullptr) output.file.Discard();
  return tiff;
}

void LogTiffRefusal(std::string_view reason) {
  LogLine(kTiffRefusedLine, reason);
}
