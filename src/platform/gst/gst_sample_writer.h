// Sample sounds and movies made from GStreamer's test sources, for the
// demonstration and the tests: a tone as WAV, a moving test picture as AVI
// (Motion JPEG), MPEG-1 and QuickTime (Motion JPEG).
#pragma once

#include <string>

enum class GstSampleKind { kWav, kAvi, kMpg, kMov };

// Writes `tenths` tenths of a second of the sample to `path`; false with the
// reason in `error` when GStreamer lacks an element or the file cannot be written.
bool WriteGstSample(GstSampleKind kind, int tenths, const std::string& path, std::string* error);
