// The Zip info and Unzip operations on one archive, and the commands that run
// them over a selection of archives. Both walk local headers through the
// input stream and report every member in the log.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// A member's name as it is listed and written: cut to 259 characters, lowered,
// reduced to its file name and extension, control bytes replaced by "_".
std::string ZipDisplayName(const char* stored_name);

// The member's MS-DOS date and time as local calendar time (seconds included).
std::time_t ZipMemberTime(std::uint32_t dos_date, std::uint32_t dos_time);

// Lists the members of one archive in the log. False when it cannot be
// opened, is no zip, or is damaged.
bool ListZipArchive(const std::string& path);

// The text the destination prompt starts with: the archive's own folder.
std::string DefaultZipDestination(const std::string& path);

// Extracts one archive. `answer` is what the destination prompt returned:
// nullopt when it was cancelled; empty keeps the archive's own folder. False
// when any member was not extracted (folder entries need not be), or the
// archive cannot be opened, is no zip, or is damaged.
bool ExtractZipArchive(const std::string& path, const std::optional<std::string>& answer);

// The commands over the chosen files, with the busy cursor shown around them.
// Unzip asks for each archive's destination through `ask`, given the default.
// False when any archive failed.
using DestinationPrompt = std::optional<std::string> (*)(const std::string& initial, void* context);
bool RunZipInfo(const std::vector<std::string>& paths);
bool RunUnzip(const std::vector<std::string>& paths, DestinationPrompt ask, void* context);
