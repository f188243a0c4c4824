// Facts about the platform that the program's behaviour depends on, each behind
// one query that tests (and the window backends) can change.
#pragma once

// Major version of the platform: 4 by default. The program's behaviour for
// "version 3 or lower" is reached by setting 3.
int PlatformMajorVersion();
void SetPlatformMajorVersion(int major);

// Bits per pixel times planes of the display: 24 until a backend says otherwise;
// 8, 4 and 1 emulate palette displays.
int DisplayBitsPerPixel();
void SetDisplayBitsPerPixel(int bits);
