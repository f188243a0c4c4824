#include "app/text_lines.h"

#include <algorithm>

namespace {
constexpr int kLineFeed = '\n';
constexpr int kCarriageReturn = '\r';
}  // namespace

void TTextLines::Advance() {
  current_ = (current_ + 1) % kTextLineCount;
  lines_[current_].clear();
}

void TTextLines::Clear() {
  for (std::string& line : lines_) line.clear();
  current_ = 0;
}

void TTextLines::AppendChar(int ch) {
  std::string& before = lines_[current_];
  if (ch == ' ' && static_cast<int>(before.size()) > kTextWrapColumn) ch = kLineFeed;
  if (static_cast<int>(before.size()) >= kTextLineWidth && CanAdvance()) Advance();

  std::string& line = lines_[current_];
  const bool has_room = static_cast<int>(line.size()) < kTextLineWidth;
  if (ch == 0) {
    Clear();
  } else if (ch == '\t') {
    if (has_room) {
      do {
        line += ' ';
      } while (line.size() % kTextTabWidth != 0 && static_cast<int>(line.size()) < kTextLineWidth);
    }
  } else if (ch == kCarriageReturn || (ch == kLineFeed && previous_ != kCarriageReturn)) {
    if (CanAdvance()) Advance();
  } else if (ch >= 32 && ch <= 127) {
    if (has_room) line += static_cast<char>(ch);
  }
  previous_ = ch;
}

void TTextLines::AppendLine(std::string_view text) {
  lines_[current_].assign(text.substr(0, kTextLineWidth));
  Advance();
}

bool TTextLines::IsEmpty() const {
  return std::all_of(lines_.begin(), lines_.end(),
                     [](const std::string& line) { return line.empty(); });
}

std::string_view TTextLines::DisplayLine(int row) const {
  if (row < 0 || row >= kTextLineCount) return {};
  const int start = mode_ == Mode::kCircular ? current_ : 0;
  return lines_[(row + start) % kTextLineCount];
}

std::string TTextLines::GetText() const {
  int last = -1;
  for (int row = 0; row < kTextLineCount; ++row) {
    if (!DisplayLine(row).empty()) last = row;
  }
  std::string text;
  for (int row = 0; row <= last; ++row) {
    text += DisplayLine(row);
    text += "\r\n";
  }
  return text;
}
