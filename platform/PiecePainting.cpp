#include "platform/PiecePainting.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace korvane {

int pictureThreads() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)); }

void paintInPieces(RasterSurface &raster, const DisplayList &list, const LayerLook &look, RegionFill fill,
                   const PixelMapping &mapping, int threads)
{
    // Each piece after the first needs a raster as large as the picture, and
    // all of them together at most this much: a large true-scale picture
    // takes fewer pieces, or one pass.
    constexpr std::size_t SpareRasterBytes = std::size_t(256) << 20;
    const std::size_t bytes = std::size_t(std::max(raster.width(), 0)) * std::size_t(std::max(raster.height(), 0)) * 2;
    if (bytes > 0)
        threads =
            static_cast<int>(std::min<std::size_t>(std::size_t(std::max(threads, 1)), SpareRasterBytes / bytes + 1));
    std::vector<std::size_t> cuts;
    if (!paintsAsOnePass(list, look)) {
        paintLayers(raster, list, look, fill, mapping);
        return;
    }
    if (threads > 1 && !raster.isNull() && paintsWithoutReading(list))
        cuts = passCuts(list, look, threads);
    const Colour clear = unusedColour(look);
    std::vector<std::unique_ptr<RasterSurface>> pieces;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        pieces.push_back(std::make_unique<RasterSurface>(raster.width(), raster.height(), clear));
        if (pieces.back()->isNull()) {
            cuts.clear();  // short of memory: the one pass needs none
            break;
        }
    }
    if (cuts.empty()) {
        Renderer(raster, look, fill, mapping).paint(list);
        return;
    }
    std::vector<std::exception_ptr> failures(cuts.size());
    auto paintPiece = [&](std::size_t k) {
        try {
            const std::size_t last = k + 1 < cuts.size() ? cuts[k + 1] : list.main().size();
            Renderer(*pieces[k], look, fill, mapping).paintPiece(list, cuts[k], last);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        try {
            workers.emplace_back(paintPiece, k);
        } catch (const std::system_error &) {
            paintPiece(k);  // no thread to be had: painted here instead
        }
    }
    // The first piece, with the underlay, on this thread and straight into
    // the raster.
    Renderer(raster, look, fill, mapping).paintPiece(list, 0, cuts.front());
    for (std::thread &t : workers)
        t.join();
    for (const std::exception_ptr &e : failures)
        if (e)
            std::rethrow_exception(e);
    for (const auto &piece : pieces)
        raster.layOver(*piece, clear);
}

}  // namespace korvane
