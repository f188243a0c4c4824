// Paper sizes as people name them. CUPS names media by the PWG's
// self-describing names ("iso_a4_210x297mm"); where it has no readable name
// for one, the name is made from those parts: "A4 (210 x 297 mm)".
#pragma once

#include <string>

#include "platform/cups/cups_printer.h"

// The readable form of a PWG media name; the name itself when it is not one.
std::string ReadablePaperName(const std::string& media);

// What the set-up dialog lists for the size: CUPS's own name for it where
// that says more than the media name, else the readable form.
std::string PaperLabel(const PaperSize& paper);
