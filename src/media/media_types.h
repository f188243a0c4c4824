// The eight file types that play through command templates, and the five
// templates (Open, Setup, Seek, Play, Close) each type has in the settings.
#pragma once

#include <optional>
#include <string_view>

#include "settings/profile_keys.h"

enum class MediaType : int { kMid, kWav, kAvi, kMpg, kMmm, kMov, kFli, kFlc };
inline constexpr int kMediaTypeCount = 8;
inline constexpr MediaType kSoundTypes[] = {MediaType::kMid, MediaType::kWav};
// The order in which a looping movie's type is looked for.
inline constexpr MediaType kMovieTypes[] = {MediaType::kAvi, MediaType::kMpg, MediaType::kMmm,
                                            MediaType::kMov, MediaType::kFli, MediaType::kFlc};

struct MediaTemplates {
  StringKey open;
  StringKey setup;
  StringKey seek;
  StringKey play;
  StringKey close;
};

MediaTemplates TemplatesOf(MediaType type);
bool IsMovieType(MediaType type);
// ".mid" .. ".flc", case ignored; nothing for other extensions (".mci" included).
std::optional<MediaType> MediaTypeOfExtension(std::string_view extension);
