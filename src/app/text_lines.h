// The lines of a text window: a hundred fixed-size lines fed one character
// (comments) or one whole line (log) at a time. The comments fill up and then
// stop; the log is circular and overwrites its oldest line.
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int kTextLineCount = 100;
inline constexpr int kTextLineWidth = 132;
// A space after this column breaks the line, so words are not cut at 132.
inline constexpr int kTextWrapColumn = 99;
inline constexpr int kTextTabWidth = 8;

class TTextLines {
 public:
  enum class Mode { kFixed, kCircular };

  explicit TTextLines(Mode mode) : mode_(mode) {}

  // One character of comment text; 0 clears every line. Tabs expand to the
  // next multiple of eight, CR, LF and CR LF each end a line, other control
  // characters and bytes above 127 are ignored.
  void AppendChar(int ch);
  // A whole line (cut to 132 characters); the line after it becomes current
  // and is cleared.
  void AppendLine(std::string_view text);
  void Clear();

  bool IsEmpty() const;
  // Every line up to the last non-empty one, in display order, each followed
  // by CR LF; empty when no line holds text.
  std::string GetText() const;
  // The line shown in row `row` (0..99): the fixed lines in order, or the log
  // starting at the line being filled, so its oldest line comes second.
  std::string_view DisplayLine(int row) const;
  int CurrentLine() const { return current_; }

 private:
  // The comments stop on their last line; the log wraps around.
  bool CanAdvance() const { return mode_ == Mode::kCircular || current_ < kTextLineCount - 1; }
  void Advance();

  Mode mode_;
  std::array<std::string, kTextLineCount> lines_;
  int current_ = 0;
  int previous_ = 0;
};
