#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "formats/format_messages.h"
#include "formats/output_file.h"
#include "formats/pcx.h"
#include "formats/pcx_header.h"
#include "formats/pcx_row_coder.h"
#include "formats/writer_output.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

constexpr std::uint8_t kWrittenVersion = 5;
constexpr std::uint8_t kRunLengthEncoding = 1;
constexpr std::uint8_t kWrittenBits = 8;
constexpr std::uint8_t kWrittenPlanes = 1;
constexpr int kWrittenResolution = 72;
constexpr int kPaletteInfoColour = 1;
constexpr int kPcxColours = 256;

void PutU16(std::array<std::uint8_t, kPcxHeaderSize>& header, std::size_t offset, int value) {
  header[offset] = static_cast<std::uint8_t>(value);
  header[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::array<std::uint8_t, kPcxHeaderSize> MakeHeader(int width, int height) {
  std::array<std::uint8_t, kPcxHeaderSize> header{};
  header[0] = kPcxManufacturer;
  header[kPcxVersionOffset] = kWrittenVersion;
  header[kPcxEncodingOffset] = kRunLengthEncoding;
  header[kPcxBitsOffset] = kWrittenBits;
  PutU16(header, kPcxXMaxOffset, width - 1);
  PutU16(header, kPcxYMaxOffset, height - 1);
  PutU16(header, kPcxHResOffset, kWrittenResolution);
  PutU16(header, kPcxVResOffset, kWrittenResolution);
  header[kPcxPlanesOffset] = kWrittenPlanes;
  // Not rounded up to an even count: readers take the field as it stands.
  PutU16(header, kPcxBytesPerLineOffset, width);
  PutU16(header, kPcxPaletteInfoOffset, kPaletteInfoColour);
  PutU16(header, kPcxHScreenOffset, width);
  PutU16(header, kPcxVScreenOffset, height);
  return header;
}

void AppendRun(std::vector<std::uint8_t>& out, std::uint8_t value, int length) {
  if (length == 1 && value < kPcxRunFlag) {
    out.push_back(value);
  } else {
    out.push_back(static_cast<std::uint8_t>(kPcxRunFlag + length));
    out.push_back(value);
  }
}

struct PcxWriterState {
  TOutputFile file;
  int width = 0;
  int height = 0;
  int rows_written = 0;
  std::array<std::uint8_t, kPcxPaletteBytes> palette{};
  std::vector<std::uint8_t> coded;
};

void RaiseError(std::string_view message) {
  LogLine(kJpegErrorLine, message);
}

bool BeginFile(void* context) {
  auto& state = *static_cast<PcxWriterState*>(context);
  const auto header = MakeHeader(state.width, state.height);
  if (!state.file.Write(header.data(), header.size())) {
    RaiseError(kPcxHeaderWriteError);
    return false;
  }
  return true;
}

bool StoreColourMap(void* context, int count, const std::uint8_t* red, const std::uint8_t* green,
                    const std::uint8_t* blue) {
  auto& state = *static_cast<PcxWriterState*>(context);
  count = std::clamp(count, 0, kPcxColours);
  for (int i = 0; i < count; ++i) {
    state.palette[3 * i] = red[i];
    state.palette[3 * i + 1] = green[i];
    state.palette[3 * i + 2] = blue[i];
  }
  return true;
}

bool WriteCodedRow(void* context, const std::uint8_t* indices, int count) {
  auto& state = *static_cast<PcxWriterState*>(context);
  EncodePcxRow(indices, count, state.coded);
  if (!state.file.Write(state.coded.data(), state.coded.size())) {
    RaiseError(kOutputWriteError);
    return false;
  }
  ++state.rows_written;
  return true;
}

void EndFile(void* context) {
  auto& state = *static_cast<PcxWriterState*>(context);
  const std::uint8_t marker = kPcxPaletteMarker;
  if (!state.file.Write(&marker, 1) ||
      !state.file.Write(state.palette.data(), state.palette.size())) {
    RaiseError(kPcxColourMapWriteError);
  }
}

}  // namespace

void EncodePcxRow(const std::uint8_t* row, int count, std::vector<std::uint8_t>& out) {
  out.clear();
  int i = 0;
  while (i < count) {
    const std::uint8_t value = row[i];
    int length = 1;
    while (i + length < count && length < kPcxMaxRun && row[i + length] == value) ++length;
    AppendRun(out, value, length);
    i += length;
  }
}

int WritePcx(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* /*display_palette*/) {
  PcxWriterState state;
  if (!state.file.Create(path)) return 1;
  SetWriterOutputSize(image, settings);
  state.width = image.outputRect.width;
  state.height = image.outputRect.height;

  QuantizeSink sink;
  sink.begin = BeginFile;
  sink.colour_map = StoreColourMap;
  sink.pixel_row = WriteCodedRow;
  sink.end = EndFile;
  sink.context = &state;
  BeginLongOperation();
  int result = QuantizeToOutput(image, &dither, false, kPcxColours, sink);
  EndLongOperation();

  // A cancel ends the pipeline without an error, but the file's header
  // promises rows it lacks: it must not count as saved.
  if (result == 0 && state.rows_written != state.height) result = 1;
  if (result != 0) {
    state.file.Discard();
    return result;
  }
  return state.file.Close() ? 0 : 1;
}
