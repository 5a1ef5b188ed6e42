#include "platform/LoadPainting.h"
#include "view/LayerPainting.h"

#include <exception>
#include <new>
#include <system_error>

namespace korvane {

PaintingWhileLoading::PaintingWhileLoading(DisplayList &list, const PictureSetup &setup)
    : list_(list), setup_(setup), clear_(unusedColour(setup.look))
{
    if (!list.main().empty() || !list.underlay().empty())
        return;
    for (std::size_t k = 0; k < tracks_.size(); ++k) {
        tracks_[k].owner = this;
        tracks_[k].index = k;
    }
    try {
        if (!tracks_[Main].start(setup, clear_))
            return;
        thread_ = std::thread([this] { follow(); });
    } catch (const std::exception &) {
        return;  // no memory or no thread: the picture is painted after the load
    }
    list.listen(&tracks_[Underlay], &tracks_[Main]);
}

PaintingWhileLoading::~PaintingWhileLoading() { stop(); }

bool PaintingWhileLoading::Track::start(const PictureSetup &setup, Colour background)
{
    raster = std::make_unique<RasterSurface>(setup.width, setup.height, background);
    if (raster->isNull())
        return false;
    renderer = std::make_unique<Renderer>(*raster, setup.look, setup.fill, setup.mapping);
    renderer->startPass();
    return true;
}

void PaintingWhileLoading::release()
{
    for (Track &t : tracks_) {
        t.renderer.reset();
        t.raster.reset();
        t.painted.clear();
    }
}

void PaintingWhileLoading::stop()
{
    if (!thread_.joinable())
        return;
    list_.listen(nullptr, nullptr);
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void PaintingWhileLoading::Track::chunkFilled(ItemSequence::FilledChunk chunk)
{
    owner->arrived(index, std::move(chunk));
}

void PaintingWhileLoading::Track::sequenceCleared() { owner->spoil(); }

void PaintingWhileLoading::arrived(std::size_t track, ItemSequence::FilledChunk chunk)
{
    {
        std::lock_guard lock(mutex_);
        if (spoiled_)
            return;
        try {
            waiting_.emplace_back(track, std::move(chunk));
        } catch (const std::bad_alloc &) {
            spoiled_ = true;  // a chunk missed: what is painted is not the pass
        }
    }
    wake_.notify_one();
}

void PaintingWhileLoading::spoil()
{
    {
        std::lock_guard lock(mutex_);
        spoiled_ = true;
        waiting_.clear();
    }
    wake_.notify_one();
}

void PaintingWhileLoading::follow()
{
    for (;;) {
        std::pair<std::size_t, ItemSequence::FilledChunk> next;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ended_ || spoiled_ || !waiting_.empty(); });
            if (spoiled_ || waiting_.empty())
                return;
            next = std::move(waiting_.front());
            waiting_.pop_front();
        }
        try {
            Track &t = tracks_[next.first];
            // Most loads append no underlay: its raster is made when needed.
            if (!t.renderer && !t.start(setup_, colours::White))
                throw std::bad_alloc();
            const std::size_t from = t.painted.size();
            t.painted.adopt(std::move(next.second));
            t.renderer->paintRange(t.painted, from, t.painted.size());
        } catch (...) {
            std::lock_guard lock(mutex_);
            failed_ = true;
            return;
        }
    }
}

bool PaintingWhileLoading::finishInto(RasterSurface &raster, const PictureSetup &setup)
{
    if (!thread_.joinable())
        return false;
    stop();
    const bool used = finish(raster, setup);
    release();  // the memory goes back before any other painting
    return used;
}

bool PaintingWhileLoading::finish(RasterSurface &raster, const PictureSetup &setup)
{
    const ItemSequence *sequences[] = {&list_.underlay(), &list_.main()};
    if (spoiled_ || failed_ || !(setup == setup_) || raster.width() != setup.width || raster.height() != setup.height ||
        !paintsWithoutReading(list_) || !paintsAsOnePass(list_, setup.look))
        return false;
    for (std::size_t k = 0; k < tracks_.size(); ++k)
        if (sequences[k]->size() < tracks_[k].painted.size())
            return false;
    const bool underlay = !list_.underlay().empty();
    if (underlay && !mainPaintsAfresh(list_, setup.look))
        return false;
    try {
        if (underlay && !tracks_[Underlay].renderer && !tracks_[Underlay].start(setup, colours::White))
            return false;
        for (std::size_t k = 0; k < tracks_.size(); ++k)
            if (tracks_[k].renderer)
                tracks_[k].renderer->paintRange(*sequences[k], tracks_[k].painted.size(), sequences[k]->size());
    } catch (...) {
        return false;
    }
    // The raster is white, as the underlay's background is.
    if (underlay)
        raster.copyPixelsOf(*tracks_[Underlay].raster);
    raster.layOver(*tracks_[Main].raster, clear_);
    return true;
}

}  // namespace korvane
