// Joins every format reader and writer of this layer to LoadImage and SaveImage.
#pragma once

// Registers each format's reader and writer; safe to call more than once.
void RegisterPictureFormats();
