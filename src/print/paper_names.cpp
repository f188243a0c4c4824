#include "print/paper_names.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.') return false;
  }
  return true;
}

struct Dimensions {
  std::string width;
  std::string height;
  std::string unit;
};

// "210x297mm" or "8.5x11in".
bool ParseDimensions(const std::string& text, Dimensions& out) {
  const std::size_t unit_at = text.size() >= 2 ? text.size() - 2 : 0;
  const std::string unit = text.substr(unit_at);
  if (unit != "mm" && unit != "in") return false;
  const std::size_t cross = text.find('x');
  if (cross == std::string::npos || cross > unit_at) return false;
  out = Dimensions{text.substr(0, cross), text.substr(cross + 1, unit_at - cross - 1), unit};
  return IsNumber(out.width) && IsNumber(out.height);
}

// Series names ("a4", "dl", "ra3") are capitals; other words start with one.
std::string Word(std::string word) {
  bool letters_then_digits = !word.empty() && std::isalpha(static_cast<unsigned char>(word[0]));
  bool seen_digit = false;
  for (const char c : word) {
    const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (!digit && !std::isalpha(static_cast<unsigned char>(c))) letters_then_digits = false;
    if (!digit && seen_digit) letters_then_digits = false;
    seen_digit = seen_digit || digit;
  }
  const bool series = word.size() <= 2 || (letters_then_digits && seen_digit);
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (series || i == 0)
      word[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[i])));
  }
  return word;
}
}  // namespace

std::string ReadablePaperName(const std::string& media) {
  const std::vector<std::string> parts = Split(media, '_');
  Dimensions size;
  if (parts.size() < 3 || !ParseDimensions(parts[2], size)) return media;
  std::string name;
  if (parts[0] == "custom" || parts[1] == parts[2]) {
    name = "Custom";
  } else {
    for (const std::string& word : Split(parts[1], '-')) {
      if (word.empty()) continue;
      if (!name.empty()) name += ' ';
      name += Word(word);
    }
  }
  std::string readable = name + " (" + size.width + " x " + size.height + " " + size.unit;
  for (std::size_t i = 3; i < parts.size(); ++i) readable += ", " + parts[i];
  return readable + ")";
}

std::string PaperLabel(const PaperSize& paper) {
  if (!paper.label.empty() && paper.label != paper.media) return paper.label;
  return ReadablePaperName(paper.media);
}
