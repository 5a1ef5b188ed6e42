#include "core/Document.h"
#include "core/MenuState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

using namespace korvane;

TEST(Document, ClockwiseKindsStoreTheirSweepPointsExchanged)
{
    Document doc;
    AppendArgs a{ItemKind::ArcCw};
    a.arcStart = {1, 0};
    a.arcEnd = {0, 1};
    a.x1 = -1, a.x2 = 1, a.y1 = -1, a.y2 = 1;
    doc.appendItem(a);
    a.kind = ItemKind::ArcCcw;
    doc.appendItem(a);
    a.kind = ItemKind::SectorCw;
    doc.appendItem(a);
    const auto &cw = doc.displayList.main()[0];
    EXPECT_EQ(cw.sweepStartX, 0);
    EXPECT_EQ(cw.sweepStartY, 1);
    EXPECT_EQ(cw.sweepEndX, 1);
    EXPECT_EQ(cw.sweepEndY, 0);
    const auto &ccw = doc.displayList.main()[1];
    EXPECT_EQ(ccw.sweepStartX, 1);
    EXPECT_EQ(ccw.sweepEndY, 1);
    ASSERT_EQ(doc.displayList.underlay().size(), 1u);
    EXPECT_EQ(doc.displayList.underlay()[0].sweepStartY, 1);
}

TEST(Document, PointKindsKeepOnlyTheirPointAndUnusedFieldsAreZero)
{
    AppendArgs a{ItemKind::UnderLineTo, 1, 2, 3, 77, 2, 0.25, {9, 9}, {8, 8}, 5, 6, 7, 8, 0.8};
    DisplayItem item = makeItem(a);
    EXPECT_EQ(item.x1, 5);
    EXPECT_EQ(item.y1, 7);
    EXPECT_EQ(item.x2, 0);
    EXPECT_EQ(item.y2, 0);
    EXPECT_EQ(item.sweepEndX, 0);
    EXPECT_EQ(item.code, 77);
    EXPECT_EQ(item.toolSize, 0.8);
    a.kind = ItemKind::PolygonClose;
    item = makeItem(a);
    EXPECT_EQ(item.x1, 0);
    EXPECT_EQ(item.width, 0.25);
}

TEST(Document, ItemsStayInOrderAcrossChunksAndLoadsAppendOnlyWhenKeeping)
{
    Document doc;
    for (int i = 0; i < 10000; ++i) {
        AppendArgs a{ItemKind::MoveTo};
        a.x1 = i;
        doc.appendItem(a);
    }
    int expected = 0;
    for (const auto &item : doc.displayList.main())
        EXPECT_EQ(item.x1, expected++);
    EXPECT_EQ(expected, 10000);

    doc.keepExisting = 1;
    doc.startLoad();
    EXPECT_EQ(doc.displayList.size(), 10000u);
    doc.keepExisting = 0;
    doc.startLoad();
    EXPECT_EQ(doc.displayList.size(), 0u);
}

namespace {

// Items of every kind with thousandths as files give them, their
// neighbours, -0, NaN, huge and tiny values and random bits.
std::vector<DisplayItem> randomItems(std::size_t count, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    auto value = [&]() -> double {
        const double thousandths = double(std::int64_t(rng() % 4'000'000) - 2'000'000) / 1000.0;
        switch (rng() % 8) {
        case 0: return 0.0;
        case 1: return -0.0;
        case 2: return std::nextafter(thousandths, 1e300);
        case 3: return double(rng() % 3'000'000'000ull) / 1000.0;
        case 4: return std::numeric_limits<double>::quiet_NaN();
        case 5: {
            const std::uint64_t bits = rng();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            return v;
        }
        default: return thousandths;
        }
    };
    std::vector<DisplayItem> items;
    for (std::size_t i = 0; i < count; ++i) {
        DisplayItem d;
        for (double *c = &d.x1; c <= &d.sweepStartY; ++c)
            *c = rng() % 3 == 0 ? value() : 0.0;
        d.width = value();
        d.toolSize = rng() % 2 ? 0.4 : value();
        d.kind = 11 + int(rng() % 9);
        d.fill = int(rng() % 5);
        d.colourLayer = int(rng() % 16);
        d.layer = 1 + int(rng() % 15);
        d.code = int(rng() % 3);
        d.role = int(rng() % 4);
        items.push_back(d);
    }
    return items;
}

std::uint64_t bitsOf(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

void expectSame(const DisplayItem &got, const DisplayItem &want, std::size_t i)
{
    for (std::size_t k = 0; k < 10; ++k)
        ASSERT_EQ(bitsOf((&got.x1)[k]), bitsOf((&want.x1)[k])) << "item " << i << " field " << k;
    ASSERT_EQ(std::memcmp(&got.kind, &want.kind, 6 * sizeof(std::int32_t)), 0) << "item " << i;
}

}  // namespace

TEST(Document, ItemsReadBackBitForBit)
{
    // Over several chunks, through the iterator and by index.
    const std::vector<DisplayItem> items = randomItems(10000, 3);
    ItemSequence seq;
    for (const DisplayItem &d : items)
        seq.append(d);
    std::size_t i = 0;
    for (const DisplayItem &got : seq) {
        expectSame(got, items[i], i);
        ++i;
    }
    ASSERT_EQ(i, items.size());
    for (std::size_t j : {std::size_t(0), std::size_t(4095), std::size_t(4096), std::size_t(9999)})
        expectSame(seq[j], items[j], j);

    // Walked as held, from the start and from inside a chunk: each item's
    // set gives its attributes, and each coordinate is held as it reads back.
    for (const std::size_t first : {std::size_t(0), std::size_t(4000)}) {
        ItemSequence::Walker at(seq, first, 9000);
        std::size_t j = first;
        for (; at.next(); ++j) {
            DisplayItem got = seq.attributeSet(at.set());
            ItemSequence::Walker::Coordinates c;
            at.held(c);
            for (unsigned k = 0; k < 8; ++k) {
                const double want = (&items[j].x1)[k];
                switch (c.form[k]) {
                case ItemSequence::Walker::Held::Zero: ASSERT_EQ(bitsOf(want), 0u) << j; break;
                case ItemSequence::Walker::Held::Thousandths:
                    ASSERT_EQ(bitsOf(c.count[k] / 1000.0), bitsOf(want)) << j;
                    break;
                case ItemSequence::Walker::Held::Exact: ASSERT_EQ(bitsOf(c.value[k]), bitsOf(want)) << j; break;
                }
                (&got.x1)[k] = want;
            }
            expectSame(got, items[j], j);
        }
        ASSERT_EQ(j, 9000u);
    }
}

// A reader on another thread is handed each chunk as it fills, and the
// attribute sets new since the last: adopted in turn, they read back as the
// items appended. Whatever takes the items away is told.
TEST(Document, FilledChunksHandedOutReadBackAlikeAndClearsAreTold)
{
    struct Collector : ItemSequence::Listener {
        std::vector<ItemSequence::FilledChunk> chunks;
        int cleared = 0;
        void chunkFilled(ItemSequence::FilledChunk chunk) override { chunks.push_back(std::move(chunk)); }
        void sequenceCleared() override { ++cleared; }
    } collector;
    const std::size_t n = 2 * ItemSequence::ChunkSize + 1000;
    const std::vector<DisplayItem> items = randomItems(n, 11);
    ItemSequence seq;
    // Sets appended before the listening are handed out with the first chunk.
    for (std::size_t i = 0; i < 10; ++i)
        seq.append(items[i]);
    seq.setListener(&collector);
    for (std::size_t i = 10; i < n; ++i)
        seq.append(items[i]);
    ASSERT_EQ(collector.chunks.size(), 2u);

    ItemSequence copy;
    for (auto &chunk : collector.chunks)
        copy.adopt(std::move(chunk));
    ASSERT_EQ(copy.size(), 2 * ItemSequence::ChunkSize);
    std::size_t i = 0;
    for (const DisplayItem &got : copy) {
        expectSame(got, items[i], i);
        ++i;
    }
    // Once it holds a partial chunk, it adopts no more.
    copy.append(items[0]);
    EXPECT_THROW(copy.adopt({}), std::logic_error);

    ItemSequence other;
    other.append(items[1]);
    seq = std::move(other);
    EXPECT_EQ(collector.cleared, 1);
    seq.clear();
    EXPECT_EQ(collector.cleared, 2);
    seq.setListener(nullptr);
    seq.clear();
    EXPECT_EQ(collector.cleared, 2);
}

TEST(Document, ClearDocumentEmptiesPendingPathsButKeepsExtentsOfTheLastLoad)
{
    Document doc;
    doc.hasData = doc.gerberLoaded = doc.drillLoaded = doc.keepExisting = 1;
    doc.minX = 3;
    doc.extentX = 10;
    doc.layers.slot(1).pendingPath = "***";
    doc.layers.slot(15).pendingPath = "/x/y.ger";
    doc.layers.slot(15).fileName = "y.ger";
    doc.appendItem({ItemKind::Ellipse});
    doc.clearDocument();
    EXPECT_EQ(doc.displayList.size(), 0u);
    EXPECT_EQ(doc.hasData + doc.gerberLoaded + doc.drillLoaded + doc.keepExisting, 0);
    EXPECT_EQ(doc.layers.slot(1).pendingPath, "");
    EXPECT_EQ(doc.layers.slot(15).pendingPath, "");
    EXPECT_EQ(doc.extentX, 0);
    EXPECT_EQ(doc.minX, 3);
    EXPECT_THROW(doc.layers.slot(0), std::out_of_range);
    EXPECT_THROW(doc.layers.slot(16), std::out_of_range);
}

TEST(Document, KindCodes)
{
    for (int code = 0; code < 70; ++code) {
        bool valid = (code >= 11 && code <= 19) || code == 41 || code == 42 || code == 43 || code == 44 || code == 47 ||
                     code == 48 || code == 49 || code == 55 || code == 56;
        EXPECT_EQ(isValidKind(code), valid) << code;
    }
}

TEST(MenuState, EventsOfTheEnablingTable)
{
    MenuState m;
    EXPECT_EQ(m, MenuState{});
    m.drillFileReadWithHits();
    EXPECT_TRUE(m.drawingCommands && m.toolListOfDisplay && m.toolMarkPanel);
    EXPECT_FALSE(m.dcodeListOfDisplay);
    m.clearAll();
    EXPECT_EQ(m, MenuState{});

    m.gerberFileRead();
    m.drillFileReadWithHits();
    m.presentDataCleared();
    EXPECT_TRUE(m.drawingCommands);
    EXPECT_FALSE(m.dcodeListOfDisplay || m.toolListOfDisplay || m.toolMarkPanel);

    MenuState w;
    w.workspaceRead();
    w.workspaceDataKind(2);
    EXPECT_TRUE(w.drawingCommands && w.dcodeListOfDisplay && w.toolListOfDisplay && w.toolMarkPanel);
    MenuState x;
    x.workspaceRead();
    x.workspaceDataKind(7);
    EXPECT_TRUE(x.drawingCommands);
    EXPECT_FALSE(x.dcodeListOfDisplay || x.toolListOfDisplay);
}
