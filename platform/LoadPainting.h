#pragma once
// A batch picture painted while the load appends to the display list: a
// thread follows both sequences chunk by chunk, the underlay on a raster of
// its own and the main sequence on a raster of a colour no item paints, so
// that the pass is all but done when the load ends; the main picture is
// then laid over the underlay's. That is the one-pass picture when the list
// was empty at the start and only appended to, no item reads pixels (no
// flood fill), the main sequence paints from its start as it does after
// the underlay, and the picture is set up as the painting was. Otherwise
// it is not used and the picture is painted as usual. The window paints on
// its one thread.
#include "platform/PiecePainting.h"
#include "platform/RasterSurface.h"
#include "view/Renderer.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace korvane {

// What a picture is painted with.
struct PictureSetup {
    int width = 0, height = 0;
    LayerLook look;
    RegionFill fill = RegionFill::Solid;
    PixelMapping mapping;

    bool operator==(const PictureSetup &) const = default;
};

class PaintingWhileLoading {
public:
    // Follows the list from now on, if it is empty (else it does nothing).
    // Qt's GUI application must exist. Destroy it before the list.
    PaintingWhileLoading(DisplayList &list, const PictureSetup &setup);
    ~PaintingWhileLoading();
    PaintingWhileLoading(const PaintingWhileLoading &) = delete;
    PaintingWhileLoading &operator=(const PaintingWhileLoading &) = delete;

    // After the load: ends the following and, when what was followed gives
    // the list's one pass with this set-up, paints the items still left and
    // puts the picture into raster. False: raster is untouched.
    bool finishInto(RasterSurface &raster, const PictureSetup &setup);

private:
    // One sequence followed: the chunks painted so far (shared with the
    // list), its renderer and its raster.
    struct Track : ItemSequence::Listener {
        void chunkFilled(ItemSequence::FilledChunk chunk) override;
        void sequenceCleared() override;
        // The raster and renderer: false when there is no memory for them.
        bool start(const PictureSetup &setup, Colour background);
        PaintingWhileLoading *owner = nullptr;
        std::size_t index = 0;
        ItemSequence painted;
        std::unique_ptr<RasterSurface> raster;
        std::unique_ptr<Renderer> renderer;
    };
    enum { Underlay, Main };

    void arrived(std::size_t track, ItemSequence::FilledChunk chunk);
    void spoil();
    void follow();
    void stop();
    bool finish(RasterSurface &raster, const PictureSetup &setup);
    void release();

    DisplayList &list_;
    PictureSetup setup_;
    // The main raster's background, which no item paints.
    Colour clear_;
    std::array<Track, 2> tracks_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::size_t, ItemSequence::FilledChunk>> waiting_;
    bool ended_ = false;    // the load is over: no chunk comes any more
    bool spoiled_ = false;  // the items followed are no longer the list's
    bool failed_ = false;   // painting ran out of memory or threw
    std::thread thread_;
};

}  // namespace korvane
