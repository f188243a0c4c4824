#include "media/media_types.h"

#include "platform/path.h"

namespace {
constexpr int kTemplatesPerType = 5;
constexpr std::string_view kExtensions[kMediaTypeCount] = {".mid", ".wav", ".avi", ".mpg",
                                                           ".mmm", ".mov", ".fli", ".flc"};

StringKey KeyAt(MediaType type, int operation) {
  return static_cast<StringKey>(static_cast<int>(StringKey::MIDOpenCommand) +
                                static_cast<int>(type) * kTemplatesPerType + operation);
}
}  // namespace

// The settings keep the templates type by type in the order Open, Setup, Seek, Play, Close.
static_assert(static_cast<int>(StringKey::FLCCloseCommand) -
                  static_cast<int>(StringKey::MIDOpenCommand) ==
              kMediaTypeCount * kTemplatesPerType - 1);

MediaTemplates TemplatesOf(MediaType type) {
  return {KeyAt(type, 0), KeyAt(type, 1), KeyAt(type, 2), KeyAt(type, 3), KeyAt(type, 4)};
}

bool IsMovieType(MediaType type) {
  return type != MediaType::kMid && type != MediaType::kWav;
}

std::optional<MediaType> MediaTypeOfExtension(std::string_view extension) {
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (EqualsNoCase(kExtensions[index], extension)) return static_cast<MediaType>(index);
  }
  return std::nullopt;
}
