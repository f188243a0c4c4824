// The bundled sample pictures, drawn in code: nothing comes from outside the
// project, so the samples are the same on every machine.
#pragma once

#include <string>

class TImage;

// A photo-like 24-bit picture: smooth colour fields, soft discs and a little
// grain, as cameras deliver. Any size the picture record holds.
void DrawPhoto(TImage& image, int width, int height);
// Line art in 16 colours: outlines, diagonals and filled boxes.
void DrawLineArt(TImage& image);
// Dark text on a light ground in a handful of palette colours.
void DrawText(TImage& image, const std::string& text);
// All 256 palette colours in use: a hue wheel of index blocks.
void DrawPalettePicture(TImage& image);
// Black and white only: rings and a checkerboard.
void DrawBilevel(TImage& image);
// A figure on a uniform border colour, for the transparent GIF.
void DrawFigureOnBorder(TImage& image);
