// The Orientation tag of a JPEG's Exif block, read by a small parser that
// checks every offset and count against the block it was given.
#pragma once

#include <cstdint>
#include <span>

class TProfile;

// `app1` is an APP1 segment's payload (after its length field), starting
// with "Exif\0\0" and a TIFF header in either byte order. Returns the
// Orientation of the first image directory, 1..8, or 0 when the block is
// not Exif, is malformed, or has no valid Orientation.
int ReadExifOrientation(std::span<const std::uint8_t> app1);

// Whether readers turn pictures upright by their orientation tag: the
// ExifOrientation setting, on when there are no settings.
bool OrientationTagsApply(const TProfile* settings);
