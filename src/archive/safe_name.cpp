#include "archive/safe_name.h"

namespace {
constexpr char kReplacement = '_';

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  // Overlong and surrogate forms are not text either.
  const auto second = static_cast<unsigned char>(text[1]);
  if (lead == 0xE0 && second < 0xA0) return 0;
  if (lead == 0xED && second >= 0xA0) return 0;
  if (lead == 0xF0 && second < 0x90) return 0;
  if (lead == 0xF4 && second >= 0x90) return 0;
  return length;
}
}  // namespace

std::string ReplaceControlBytes(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  std::size_t i = 0;
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      out.push_back(c < 0x20 || c == 0x7F ? kReplacement : static_cast<char>(c));
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(name.substr(i));
    if (length == 0) {
      // Outside UTF-8 only 0x80..0x9F are controls; Latin-1 letters stay.
      out.push_back(c <= 0x9F ? kReplacement : static_cast<char>(c));
      ++i;
    } else if (c == 0xC2 && static_cast<unsigned char>(name[i + 1]) <= 0x9F) {
      out.push_back(kReplacement);  // U+0080..U+009F
      i += length;
    } else {
      out.append(name.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string ReduceToSafeFileName(std::string_view name) {
  const auto separator = name.find_last_of("/\\");
  if (separator != std::string_view::npos) name.remove_prefix(separator + 1);
  if (name.empty() || name == "." || name == "..") return {};
  return ReplaceControlBytes(name);
}
