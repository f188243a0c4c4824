// The GStreamer engine of the media command interpreter: each device is a
// playbin. Sounds decode through whatever GStreamer has (MIDI through
// midiparse and fluiddec with a General MIDI soundfont); movies show in a
// window of their own. This folder is the only code that includes GStreamer.
#pragma once

#include <memory>
#include <string>

#include "platform/media_engine.h"

struct GstEngineOptions {
  // Sound and picture go to fake sinks that do not keep time, so a stream
  // plays as fast as it decodes (tests).
  bool fake_sinks = false;
  // Movies go to a fake sink at the real pace (no display to show them on).
  bool fake_video = false;
  // The soundfont the MIDI synthesizer loads; empty lets it search its own folders.
  std::string soundfont;
};

// The Debian General MIDI soundfont when it is installed, else empty.
std::string DefaultSoundfont();

// Opening a file fails with MediaFault::kEngineUnavailable when GStreamer
// cannot start.
std::unique_ptr<MediaEngine> MakeGstMediaEngine(const GstEngineOptions& options);

// Whether GStreamer starts and knows every one of these element factories;
// otherwise false with the first missing name in `missing`.
bool GstHasElements(std::initializer_list<const char*> names, std::string* missing);
