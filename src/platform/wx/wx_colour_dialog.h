// The colour chooser: the toolkit's GTK build ships no generic colour dialog
// and GTK's own has no custom boxes, so this one is ours. It shows the
// basic colours, the 16 custom colours, red/green/blue fields with a
// preview, and "Add to Custom Colors", which puts the colour into the
// selected custom box.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/colour.h"
#include "platform/custom_colours.h"

class wxWindow;

// Runs the chooser; the chosen colour, or nothing when cancelled. `custom`
// holds the boxes before and, when confirmed, after.
std::optional<ColorRef> RunColourDialog(wxWindow* parent, const std::string& caption,
                                        ColorRef initial, bool full_open,
                                        std::array<ColorRef, kCustomColourCount>& custom);
