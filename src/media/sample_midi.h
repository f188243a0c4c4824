// A small Standard MIDI File (format 0) for the samples and the tests: a
// scale of quarter notes on the piano at 120 beats a minute.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> MakeSampleMidi(int notes);
// False when the file cannot be written completely.
bool WriteSampleFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
