#include "archive/stream_text_decode.h"

#include <string_view>

#include "archive/encoded_text.h"
#include "archive/regular_input.h"
#include "platform/path.h"

namespace {
constexpr std::string_view kBase64Marker = "Content-transfer-encoding: base64";
constexpr int kBase64MaxLine = 76;

std::string PartPath(const std::string& path, int part) {
  return part == 1 ? path : StreamPartName(path, part);
}

struct UuState {
  bool in_body = false;
  bool exact = false;
  bool last_full = false;
  bool finished = false;
};

bool ValidUuCharacters(const TextLine& line, bool& saw_backquote) {
  saw_backquote = false;
  for (std::size_t i = 0; i < line.length; ++i) {
    const auto c = static_cast<unsigned char>(line.text[i]);
    if (!IsUuChar(c)) return false;
    if (c == '`') saw_backquote = true;
  }
  return true;
}

void UudecodeLine(TextLine& line, UuState& state, OutputBuffer& out) {
  StripTrailing(line, ' ');
  if (!state.in_body) {
    if (line.StartsWith("begin ")) {
      state.in_body = true;
      state.last_full = true;
      state.exact = false;
    }
    return;
  }
  if (line.StartsWith("begin ") || (line.length == 3 && line.StartsWith("end"))) {
    state.finished = true;
    return;
  }
  const bool previous_full = state.last_full;
  state.last_full = false;
  if (line.length == kUuCheckedLineLength) line.length = kUuFullLineLength;
  if (line.length > kUuFullLineLength) return;
  bool saw_backquote = false;
  if (!ValidUuCharacters(line, saw_backquote)) return;
  if (line.text[0] == 'M' && line.length == kUuFullLineLength &&
      (saw_backquote || line.text[line.length - 1] == ' ')) {
    state.exact = true;
  }
  const int n = static_cast<int>(UuValue(line.text[0]));
  const std::size_t expected = static_cast<std::size_t>((n + 2) / 3 * 4 + 1);
  if (state.exact ? line.length != expected : line.length > expected) return;
  if (n == 0 || n > kUuFullLineBytes) return;
  if (n == kUuFullLineBytes) state.last_full = true;
  if (!previous_full && n != kUuFullLineBytes) return;
  unsigned char bytes[kUuFullLineBytes];
  DecodeUuGroups(line.text + 1, n, bytes);
  out.Write(bytes, static_cast<std::size_t>(n));
}

bool Base64Valid(const TextLine& line) {
  if (line.length < 4 || line.length > kBase64MaxLine || line.length % 4 != 0) return false;
  for (std::size_t i = 0; i < line.length; ++i) {
    if (Base64Value(static_cast<unsigned char>(line.text[i])) < 0) return false;
  }
  return true;
}

// Returns false when the line ends the decoding.
bool Base64DecodeLine(TextLine& line, bool& in_body, OutputBuffer& out) {
  StripTrailing(line, ' ' + 1);
  if (!in_body) {
    if (StartsWithNoCase(std::string_view(line.text, line.length), kBase64Marker)) in_body = true;
    return true;
  }
  if (line.StartsWith(kBase64Marker) || line.StartsWith("--")) return false;
  // A line that opens with padding ("====", which ends sharutils' form)
  // carries no data; counting it would add a stray byte.
  if (!Base64Valid(line) || line.text[0] == '=') return true;
  std::size_t bytes = line.length * 3 / 4;
  if (line.text[line.length - 1] == '=') {
    --bytes;
    if (line.text[line.length - 2] == '=') --bytes;
  }
  unsigned char decoded[kBase64MaxLine / 4 * 3];
  std::size_t produced = 0;
  for (std::size_t i = 0; i < line.length; i += 4) {
    const auto v = [&](std::size_t k) {
      return static_cast<unsigned>(Base64Value(static_cast<unsigned char>(line.text[i + k])));
    };
    const unsigned group = v(0) << 18 | v(1) << 12 | v(2) << 6 | v(3);
    decoded[produced++] = static_cast<unsigned char>(group >> 16);
    decoded[produced++] = static_cast<unsigned char>(group >> 8);
    decoded[produced++] = static_cast<unsigned char>(group);
  }
  out.Write(decoded, bytes);
  return true;
}
}  // namespace

bool UudecodeToFile(const std::string& path, int out) {
  OutputBuffer buffer(out);
  UuState state;
  TextLine line;
  for (int part = 1; part <= kMaxParts && !state.finished; ++part) {
    const std::string name = PartPath(path, part);
    if (name.empty()) break;
    TRegularInput input(name);
    if (input.fd() < 0) break;
    LineReader reader(input.fd());
    while (!state.finished && reader.Next(line)) {
      if (line.length == 0) continue;
      UudecodeLine(line, state, buffer);
    }
  }
  return buffer.Flush();
}

bool Base64DecodeToFile(const std::string& path, int out) {
  OutputBuffer buffer(out);
  bool in_body = false;
  bool finished = false;
  TextLine line;
  for (int part = 1; part <= kMaxParts && !finished; ++part) {
    const std::string name = PartPath(path, part);
    if (name.empty()) break;
    TRegularInput input(name);
    if (input.fd() < 0) break;
    LineReader reader(input.fd());
    while (!finished && reader.Next(line)) {
      if (line.length == 0) continue;
      finished = !Base64DecodeLine(line, in_body, buffer);
    }
  }
  return buffer.Flush();
}
