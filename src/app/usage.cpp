#include "app/usage.h"

#include "settings/profile_keys.h"

namespace {
constexpr const char* kOptionsText =
    "Shows, converts and prints pictures (GIF, BMP, PCX, TGA, JPEG, TIFF), plays\n"
    "sounds and movies, and reads pictures out of zip archives and encoded text.\n"
    "\n"
    "Arguments are read left to right. An argument that starts with '-' and a\n"
    "letter is an option; every other argument is a file, a wildcard, a folder, a\n"
    "slideshow list (.sli) or a zip archive. One file alone brings its whole folder\n"
    "into the list. Option names may be abbreviated and ignore case.\n"
    "\n"
    "Options:\n"
    "  -Directory=PATH   change to PATH before reading the following files\n"
    "  -Print            print every picture once, then exit\n"
    "  -ConvertToGIF     save every picture as GIF once, then exit\n"
    "  -ConvertToBMP     ... as BMP\n"
    "  -ConvertToPCX     ... as PCX\n"
    "  -ConvertToTGA     ... as TGA\n"
    "  -ConvertToJPG     ... as JPEG\n"
    "  -ConvertToTIF     ... as TIFF\n"
    "  -Install          install the program and its screen saver\n"
    "  -KEY[=NUMBER]     set an integer setting (NUMBER defaults to 1)\n"
    "  --help            show this text and exit\n"
    "  --version         show the version and exit\n";

constexpr const char* kFileTypesText =
    "File types (OpenIndex):\n"
    "  1 GIF (.gif)  2 bitmap (.bmp .dib .rle)  3 Paintbrush (.pcx)  4 Targa (.tga)\n"
    "  5 JPEG (.jpg)  6 TIFF (.tif)  7 all images  8 sounds (.mid .wav .mci)\n"
    "  9 movies (.avi .mpg .mmm .mov .fli .flc)  10 slide shows (.sli)\n"
    "  11 uuencoded (.uue .uu1 .01)  12 zip (.zip)  13 all known types  14 all files\n";

constexpr std::size_t kKeysPerLine = 3;
constexpr std::size_t kKeyColumnWidth = 28;

std::string IntegerKeysText() {
  std::string text = "Integer settings (KEY MIN..MAX):\n";
  std::string line;
  std::size_t column = 0;
  for (const auto& info : IntKeyTable()) {
    if (column > 0) {
      const std::size_t target = column * kKeyColumnWidth;
      line.append(line.size() < target ? target - line.size() : 1, ' ');
    }
    line += std::string(info.name) + " " + std::to_string(info.minimum) + ".." +
            std::to_string(info.maximum);
    if (++column == kKeysPerLine) {
      text += "  " + line + "\n";
      line.clear();
      column = 0;
    }
  }
  if (!line.empty()) text += "  " + line + "\n";
  return text;
}
}  // namespace

std::string UsageText(const std::string& program_name) {
  return "Usage: " + program_name + " [OPTION]... [FILE]...\n" + kOptionsText + "\n" +
         IntegerKeysText() + "\n" + kFileTypesText;
}

std::string VersionText() {
  return std::string("Zentrope ") + kProgramVersion + "\n";
}
