// Whether the settings ask for a thumbnail sheet, as the slideshow sees it.
#pragma once

class TProfile;

// Several pictures to a page: thumbnails on and more than one cell.
bool ThumbnailSheetOn(const TProfile& settings);
// A sheet on a fixed grid (not at random places).
bool SequentialThumbnailSheet(const TProfile& settings);
