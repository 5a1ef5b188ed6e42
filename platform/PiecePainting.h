#pragma once
// A batch picture painted on several threads at once. The pass is cut where
// a fresh renderer goes on as the whole pass would; each piece is painted on
// a raster of its own, filled with a colour no item paints, and the pieces
// are laid over the first in drawing order. No item reads pixels (a flood
// fill would, and keeps the one pass), so the picture is the one-pass
// picture pixel for pixel. The window paints on its one thread.
#include "platform/RasterSurface.h"
#include "view/LayerPainting.h"
#include "view/Renderer.h"

namespace korvane {

// Paints the list's picture (paintLayers) onto raster, with up to `threads`
// threads when the one pass in item order gives it.
void paintInPieces(RasterSurface &raster, const DisplayList &list, const LayerLook &look, RegionFill fill,
                   const PixelMapping &mapping, int threads);

// Threads worth a picture on this machine: one per core, at most four.
int pictureThreads();

}  // namespace korvane
