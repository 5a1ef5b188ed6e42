#pragma once
// Each file is an image of its own. Every visible layer is painted apart,
// where a clear object erases from that layer only and the holes of a flash
// show what lies beneath it, and the layers are laid over one another in
// slot order in their colours. A layer without clear objects or holes that
// is not negative needs no image of its own: it is painted straight onto
// the picture, as the one pass in item order paints it.
#include "view/Renderer.h"

namespace korvane {

// Paints the list onto the picture layer by layer. At most one layer image
// (a surface of the picture's size) exists at a time; a surface that makes
// none (a printer page) has every layer painted straight onto it.
void paintLayers(DrawingSurface &picture, const DisplayList &list, const LayerLook &look, RegionFill fill,
                 const PixelMapping &mapping);

// Whether the one pass in item order (Renderer::paint, and the pieces and
// the painting while loading, which give its pixels) paints what
// paintLayers paints: no visible layer needs an image of its own, and the
// visible items come in slot order.
bool paintsAsOnePass(const DisplayList &list, const LayerLook &look);

// A colour whose 16-bit pixel is none of the look's, nor white, nor that of
// `besides`: the background of a raster painted to be laid over another.
Colour unusedColour(const LayerLook &look, Colour besides = colours::White);

}  // namespace korvane
