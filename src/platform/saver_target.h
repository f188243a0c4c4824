// The window the running saver draws into when the desktop's saver runs it as
// one of its hacks: the root window ("-root") or the window named by
// $XSCREENSAVER_WINDOW. Without one the saver makes its own full-screen window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SaverTarget {
  // The id as given (decimal or 0x hex); empty means the root window.
  std::string window_id;
};

// The target that a saver run asks for: $XSCREENSAVER_WINDOW when set (the
// desktop's saver sets it even with "-root"), else the root window when
// "-root" is among the arguments. `environment` looks a variable up.
std::optional<SaverTarget> SaverTargetFromStart(const std::vector<std::string>& arguments,
                                                const char* (*environment)(const char*));

// Set once at start by the saver run; the desktop backend embeds its first
// window in it.
void RequestSaverTarget(std::optional<SaverTarget> target);
const std::optional<SaverTarget>& RequestedSaverTarget();

// An X window id: decimal or "0x" hex, non-zero and within 32 bits. Nothing
// for anything else, so that a mistyped id is never taken for another window.
std::optional<std::uint32_t> ParseXWindowId(std::string_view text);
