// Orientation codes (the Rotate bits: transpose, then mirror, then flip) as
// a group: the code that makes a camera's stored picture upright, and the
// code that shows a picture turned one way and then another.
#pragma once

// The code that shows upright a picture stored with Exif/TIFF orientation
// `tag_value` (1..8); 0 for any other value.
int OrientationOfTag(int tag_value);

// The single code that shows what `first` and then `then` show together:
// the picture turned by `first`, and that result turned by `then`.
int ComposeOrientations(int first, int then);
