#include "platform/ui/CollectionView.h"
#include "ScrollTestSupport.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ui/Animation.h"
#include "platform/ui/CollectionViewDelegateFlowLayout.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace platform::ui;

namespace {

constexpr int TitleTag = 3000;

class CountingCell : public CollectionViewCell {
public:
    int reuses = 0;
    void prepareForReuse() override
    {
        CollectionViewCell::prepareForReuse();
        ++reuses;
    }
};

// A grid of numbered tiles: the data source, the flow-layout delegate and a log of what
// the view told it.
class Tiles : public CollectionViewDataSource, public CollectionViewDelegateFlowLayout {
public:
    std::vector<std::vector<int>> items; // the numbers shown, per section
    QSizeF itemSize { 300, 50 };
    QSizeF headerSize;
    int cellRequests = 0;
    int sizeRequests = 0;
    int labelsMade = 0;
    QStringList log;
    bool refuseSelection = false;

    explicit Tiles(int count, int sections = 1)
    {
        for (int s = 0; s < sections; ++s) {
            items.emplace_back();
            for (int i = 0; i < count; ++i)
                items.back().push_back(i);
        }
    }

    int numberOfSectionsInCollectionView(CollectionView*) override { return int(items.size()); }
    int collectionViewNumberOfItemsInSection(CollectionView*, int section) override
    {
        return int(items[size_t(section)].size());
    }
    CollectionViewCell* collectionViewCellForItemAtIndexPath(
        CollectionView* view, const IndexPath& path) override
    {
        ++cellRequests;
        CollectionViewCell* cell
            = view->dequeueReusableCellWithReuseIdentifier("CELL_CONTENT", path);
        auto* title = static_cast<Label*>(cell->contentView()->viewWithTag(TitleTag));
        if (!title) {
            title = new Label(QRectF(0, 0, 100, 20));
            title->setTag(TitleTag);
            cell->contentView()->addSubview(title);
            ++labelsMade;
        }
        title->setText(QString::number(items[size_t(path.section())][size_t(path.item())]));
        return cell;
    }
    CollectionReusableView* collectionViewViewForSupplementaryElementOfKind(
        CollectionView* view, const QString& kind, const IndexPath& path) override
    {
        return view->dequeueReusableSupplementaryViewOfKind(kind, "CELL_HEADER", path);
    }
    QSizeF collectionViewSizeForItemAtIndexPath(
        CollectionView*, CollectionViewLayout*, const IndexPath& path) override
    {
        ++sizeRequests;
        return sizeOf ? sizeOf(path) : itemSize;
    }
    // A size per item, in place of itemSize.
    std::function<QSizeF(const IndexPath&)> sizeOf;
    QSizeF collectionViewReferenceSizeForHeaderInSection(
        CollectionView*, CollectionViewLayout*, int) override
    {
        return headerSize;
    }
    bool collectionViewShouldSelectItemAtIndexPath(CollectionView*, const IndexPath& p) override
    {
        log << QString("should %1").arg(p.item());
        return !refuseSelection;
    }
    void collectionViewDidSelectItemAtIndexPath(CollectionView*, const IndexPath& p) override
    {
        log << QString("select %1").arg(p.item());
    }
    void collectionViewDidDeselectItemAtIndexPath(CollectionView*, const IndexPath& p) override
    {
        log << QString("deselect %1").arg(p.item());
    }
    void collectionViewDidHighlightItemAtIndexPath(CollectionView*, const IndexPath& p) override
    {
        log << QString("highlight %1").arg(p.item());
    }
    void collectionViewDidUnhighlightItemAtIndexPath(CollectionView*, const IndexPath& p) override
    {
        log << QString("unhighlight %1").arg(p.item());
    }
};

struct Grid {
    explicit Grid(int count, const QRectF& frame = QRectF(0, 0, 768, 1024), int sections = 1)
        : tiles(count, sections)
    {
        Animation::setInstant(true);
        layout = new FlowLayout;
        layout->setSectionInset(QMarginsF(15, 15, 15, 15));
        view = std::make_unique<CollectionView>(frame, layout);
        view->registerClassForCellWithReuseIdentifier<CountingCell>("CELL_CONTENT");
        view->registerClassForSupplementaryViewOfKind<CollectionReusableView>(
            CollectionView::ElementKindSectionHeader, "CELL_HEADER");
        view->setDelegate(&tiles);
        view->setDataSource(&tiles);
        view->show();
        view->layoutIfNeeded();
    }

    QList<CountingCell*> allCells() const { return view->findChildren<CountingCell*>(); }
    int shownCells() const
    {
        int n = 0;
        for (auto* cell : allCells())
            n += cell->isHidden() ? 0 : 1;
        return n;
    }
    QString textOf(CollectionViewCell* cell) const
    {
        return static_cast<Label*>(cell->contentView()->viewWithTag(TitleTag))->text();
    }

    Tiles tiles;
    FlowLayout* layout = nullptr;
    std::unique_ptr<CollectionView> view;
};

} // namespace

TEST(CollectionView, ScrollingAHundredThousandItemsKeepsOnlyTheCellsInSightAndARowEachSide)
{
    Grid grid(100000);
    const int perRow = 2; // 768 points hold two tiles of 300
    const double rowHeight = 50 + 10;
    ASSERT_EQ(grid.tiles.sizeRequests, 100000);
    EXPECT_DOUBLE_EQ(grid.view->contentSize().height(), 15 + 50000 * rowHeight - 10 + 15);

    const int sizesAfterLayout = grid.tiles.sizeRequests;
    size_t most = 0;
    const double end = grid.view->maximumContentOffset().y();
    for (double y = 0; y <= end + 997; y += 997) {
        grid.view->setContentOffset(QPointF(0, std::min(y, end)));
        const QRectF visible = grid.view->visibleRect();
        // The tiles in sight, counted from the geometry of the rows.
        const int firstRow = std::max(0, int((visible.top() - 15) / rowHeight));
        const int lastRow = std::min(49999, int((visible.bottom() - 15) / rowHeight));
        const int inSight = (lastRow - firstRow + 1) * perRow;
        const int shown = grid.shownCells();
        ASSERT_LE(shown, inSight + 2 * perRow) << "at offset " << y;
        ASSERT_GE(shown, inSight - perRow) << "at offset " << y;
        // A cell back in the queue is hidden once the scroll is done.
        for (auto* cell : grid.allCells())
            ASSERT_EQ(cell->isHidden(), !grid.view->indexPathForCell(cell).has_value())
                << "at offset " << y;
        most = std::max(most, size_t(inSight + 2 * perRow));
        ASSERT_LE(size_t(grid.allCells().size()), most) << "at offset " << y;
    }
    // The last tile shows at the end, and scrolling asked no size again.
    EXPECT_NE(grid.view->cellForItemAtIndexPath(IndexPath(99999, 0)), nullptr);
    EXPECT_EQ(grid.tiles.sizeRequests, sizesAfterLayout);
    EXPECT_LE(grid.tiles.labelsMade, int(most));
}

TEST(CollectionView, ADequeuedCellKeepsItsSubviewsAndIsPreparedForReuse)
{
    Grid grid(1000);
    auto* first = static_cast<CountingCell*>(grid.view->cellForItemAtIndexPath(IndexPath(0, 0)));
    ASSERT_NE(first, nullptr);
    QPointer<View> label = first->contentView()->viewWithTag(TitleTag);
    grid.view->setContentOffset(QPointF(0, 3000));
    // The first tile's cell went back to the queue and came out again for another item,
    // with the label it was given the first time.
    EXPECT_EQ(grid.view->cellForItemAtIndexPath(IndexPath(0, 0)), nullptr);
    EXPECT_GT(first->reuses, 0);
    EXPECT_FALSE(first->isHidden());
    EXPECT_EQ(first->contentView()->viewWithTag(TitleTag), label.data());
    const auto path = grid.view->indexPathForCell(first);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(grid.textOf(first), QString::number(path->item()));
    // Every cell made its label once, however often it was reused.
    EXPECT_EQ(grid.tiles.labelsMade, grid.allCells().size());

    EXPECT_THROW(grid.view->dequeueReusableCellWithReuseIdentifier("NEVER", IndexPath(0, 0)),
        platform::Exception);
}

// Tiles a third of a line wide lie between whole pixels; a cell shows at its item's frame
// whichever cell it was before, fresh or reused from another place.
TEST(CollectionView, EveryCellShowsAtItsLayoutFrameWhicheverCellItWas)
{
    Grid grid(2, QRectF(0, 0, 1024, 768));
    grid.tiles.itemSize = QSizeF((1024 - 60) / 3.0, 90);
    grid.layout->setMinimumInteritemSpacing(15);
    const auto expectAtLayoutFrames = [&](const char* when) {
        const QList<IndexPath> shown = grid.view->indexPathsForVisibleItems();
        ASSERT_EQ(shown.size(), grid.tiles.items[0].size()) << when;
        for (const IndexPath& path : shown) {
            const auto attributes = grid.view->layoutAttributesForItemAtIndexPath(path);
            ASSERT_TRUE(attributes) << when;
            EXPECT_EQ(grid.view->cellForItemAtIndexPath(path)->frame(), attributes->frame())
                << when << ", item " << path.item();
        }
    };
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(grid.view->layoutAttributesForItemAtIndexPath(IndexPath(1, 0))->frame().left(),
        15 + (1024 - 60) / 3.0 + 15);
    expectAtLayoutFrames("made");
    // A full line and one on the next: the cells come back out of the queue in new places.
    grid.tiles.items[0] = { 0, 1, 2, 3 };
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    expectAtLayoutFrames("reloaded");
    grid.tiles.items[0] = { 0, 1, 2, 3, 4 };
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    expectAtLayoutFrames("reloaded again");
}

namespace {

// Counts the restackings (raised or lowered) of the widgets it watches.
class RaiseCounter : public QObject {
public:
    int raises = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        raises += event->type() == QEvent::ZOrderChange;
        return false;
    }
};

// The shown cells in their stacking order, bottom first, as item numbers.
QList<int> stackedItems(Grid& grid)
{
    QList<int> items;
    for (QObject* child : grid.view->subviewContainer()->children()) {
        auto* cell = qobject_cast<CollectionViewCell*>(child);
        if (cell && !cell->isHidden())
            items << grid.view->indexPathForCell(cell).value_or(IndexPath(-1, 0)).item();
    }
    return items;
}

} // namespace

TEST(CollectionView, ScrollingRestacksOnlyTheCellsOutOfTheirStackingOrder)
{
    Grid grid(1000);
    RaiseCounter counter;
    const auto watch = [&] {
        for (auto* cell : grid.allCells())
            cell->installEventFilter(&counter);
    };
    const auto inOrder = [&] {
        const QList<int> items = stackedItems(grid);
        return std::is_sorted(items.cbegin(), items.cend()) && !items.contains(-1);
    };
    ASSERT_TRUE(inOrder());
    // Pages down and up: the cells stay stacked in their items' order.
    for (const double y : { 1000.0, 2000.0, 5000.0, 4000.0, 0.0, 3000.0 }) {
        grid.view->setContentOffset(QPointF(0, y));
        grid.view->layoutIfNeeded();
        EXPECT_TRUE(inOrder()) << "at offset " << y;
    }
    // One line down: at most the two cells coming in go on top.
    watch();
    counter.raises = 0;
    grid.view->setContentOffset(QPointF(0, 3060));
    grid.view->layoutIfNeeded();
    EXPECT_TRUE(inOrder());
    EXPECT_LE(counter.raises, 2);
    // A screen down at a time, as a scroll bar's page step goes.
    for (double y = 3060 + 1024; y < 20000; y += 1024) {
        watch();
        counter.raises = 0;
        grid.view->setContentOffset(QPointF(0, y));
        grid.view->layoutIfNeeded();
        EXPECT_TRUE(inOrder()) << "at offset " << y;
        // The cells of the lines gone, oldest first, are already stacked in the order
        // of the lines coming in: few need moving.
        EXPECT_LE(counter.raises, grid.shownCells() / 4) << "at offset " << y;
    }
}

TEST(FlowLayout, VerticalLinesSpreadTheirRoomAndTheLastKeepsTheSpacingAbove)
{
    Grid grid(5, QRectF(0, 0, 700, 400));
    grid.tiles.itemSize = QSizeF(200, 50);
    grid.tiles.headerSize = QSizeF(0, 30);
    grid.layout->setSectionInset(QMarginsF(10, 5, 10, 20));
    grid.view->layoutIfNeeded();
    auto frameOf = [&](int item) {
        return grid.view->layoutAttributesForItemAtIndexPath(IndexPath(item, 0))->frame();
    };
    // 680 points hold three tiles and 80 to spare: two gaps of 40.
    EXPECT_EQ(frameOf(0), QRectF(10, 35, 200, 50));
    EXPECT_EQ(frameOf(1), QRectF(250, 35, 200, 50));
    EXPECT_EQ(frameOf(2), QRectF(490, 35, 200, 50));
    EXPECT_EQ(frameOf(3), QRectF(10, 95, 200, 50));
    EXPECT_EQ(frameOf(4), QRectF(250, 95, 200, 50));
    EXPECT_EQ(grid.view
                  ->layoutAttributesForSupplementaryElementOfKind(
                      CollectionView::ElementKindSectionHeader, IndexPath(0, 0))
                  ->frame(),
        QRectF(0, 0, 700, 30));
    EXPECT_EQ(grid.view->contentSize(), QSizeF(700, 30 + 5 + 50 + 10 + 50 + 20));
    EXPECT_FALSE(grid.view->layoutAttributesForItemAtIndexPath(IndexPath(5, 0)).has_value());

    // A line of one tile centres it; a narrower view wraps sooner.
    grid.view->setFrame(QRectF(0, 0, 300, 400));
    grid.view->layoutIfNeeded();
    EXPECT_EQ(frameOf(0), QRectF(50, 35, 200, 50));
    EXPECT_EQ(frameOf(4), QRectF(50, 275, 200, 50));
}

TEST(FlowLayout, ALineThatIsNotFullKeepsTheSpacingOfAFullOneFromTheStart)
{
    Grid grid(2, QRectF(0, 0, 700, 400));
    grid.tiles.itemSize = QSizeF(200, 50);
    grid.layout->setSectionInset(QMarginsF(10, 5, 10, 20));
    grid.view->layoutIfNeeded();
    auto frameOf = [&](int item) {
        return grid.view->layoutAttributesForItemAtIndexPath(IndexPath(item, 0))->frame();
    };
    // Three would fit with gaps of 40; two alone keep that gap from the left edge.
    EXPECT_EQ(frameOf(0), QRectF(10, 5, 200, 50));
    EXPECT_EQ(frameOf(1), QRectF(250, 5, 200, 50));

    // One alone starts at the left as well.
    grid.tiles.items[0].resize(1);
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    EXPECT_EQ(frameOf(0), QRectF(10, 5, 200, 50));

    // Four: the one below sits under the first.
    grid.tiles.items[0] = { 0, 1, 2, 3 };
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    EXPECT_EQ(frameOf(2), QRectF(490, 5, 200, 50));
    EXPECT_EQ(frameOf(3), QRectF(10, 65, 200, 50));
}

TEST(FlowLayout, HorizontalColumnsFillDownwardsAndItemsSitInTheMiddleOfTheirLine)
{
    Grid grid(9, QRectF(0, 0, 500, 250));
    grid.layout->setScrollDirection(FlowLayout::ScrollDirection::Horizontal);
    grid.layout->setSectionInset(QMarginsF(20, 10, 20, 10));
    grid.layout->setMinimumLineSpacing(8);
    grid.tiles.itemSize = QSizeF(100, 100);
    grid.tiles.headerSize = QSizeF(40, 0);
    grid.view->layoutIfNeeded();
    auto frameOf = [&](int item) {
        return grid.view->layoutAttributesForItemAtIndexPath(IndexPath(item, 0))->frame();
    };
    // 230 points across hold two tiles; the spare 20 goes between them.
    EXPECT_EQ(frameOf(0), QRectF(60, 10, 100, 100));
    EXPECT_EQ(frameOf(1), QRectF(60, 140, 100, 100));
    EXPECT_EQ(frameOf(2), QRectF(168, 10, 100, 100));
    EXPECT_EQ(frameOf(4), QRectF(276, 10, 100, 100));
    EXPECT_EQ(grid.view
                  ->layoutAttributesForSupplementaryElementOfKind(
                      CollectionView::ElementKindSectionHeader, IndexPath(0, 0))
                  ->frame(),
        QRectF(0, 0, 40, 250));
    EXPECT_EQ(grid.view->contentSize(), QSizeF(40 + 20 + 5 * 100 + 4 * 8 + 20, 250));
    // The wheel moves sideways content sideways.
    EXPECT_TRUE(scrolltest::wheel(grid.view.get(), QPointF(100, 100), QPoint(0, -120)));
    EXPECT_GT(grid.view->contentOffset().x(), 0);
    EXPECT_EQ(grid.view->contentOffset().y(), 0);
}

TEST(FlowLayout, RectangleQueriesFindExactlyTheElementsThatIntersect)
{
    Grid grid(0, QRectF(0, 0, 640, 480), 3);
    for (int s = 0; s < 3; ++s)
        grid.tiles.items[size_t(s)].resize(size_t(40 + 13 * s));
    grid.tiles.headerSize = QSizeF(0, 24);
    grid.view->reloadData();
    grid.view->layoutIfNeeded();
    auto* layout = grid.view->collectionViewLayout();
    const double height = layout->collectionViewContentSize().height();
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 200; ++round) {
        const QRectF rect(random->bounded(640.0), random->bounded(height), random->bounded(300.0),
            random->bounded(400.0));
        std::set<std::pair<int, int>> expected;
        for (int s = 0; s < 3; ++s)
            for (int i = 0; i < grid.view->numberOfItemsInSection(s); ++i)
                if (layout->layoutAttributesForItemAtIndexPath(IndexPath(i, s))
                        ->frame()
                        .intersects(rect))
                    expected.insert({ s, i });
        std::set<std::pair<int, int>> found;
        for (const auto& a : layout->layoutAttributesForElementsInRect(rect))
            if (a.representedElementCategory() == CollectionViewLayoutAttributes::Category::Cell)
                found.insert({ a.indexPath().section(), a.indexPath().item() });
        ASSERT_EQ(found, expected) << "round " << round;
    }
}

TEST(FlowLayout, TilesOfOneSizeLieToTheBitWhereMixedSizesPutThemOnTheLinesBefore)
{
    // Sizes and spacings no binary fraction holds, over many lines: any step worked out
    // otherwise than the layout adds it up would show.
    constexpr int Count = 20000;
    const auto exact = [](const QRectF& a, const QRectF& b) {
        return a.x() == b.x() && a.y() == b.y() && a.width() == b.width()
            && a.height() == b.height();
    };
    for (const auto direction :
        { FlowLayout::ScrollDirection::Vertical, FlowLayout::ScrollDirection::Horizontal }) {
        const QRectF frame(0, 0, 1000.3, 700.7);
        Grid same(Count, frame);
        Grid mixed(Count, frame);
        for (Grid* grid : { &same, &mixed }) {
            grid->layout->setScrollDirection(direction);
            grid->layout->setMinimumLineSpacing(9.9);
            grid->layout->setMinimumInteritemSpacing(7.3);
            grid->tiles.itemSize = QSizeF(123.3, 47.7);
        }
        // Only the last tile differs: the lines before it are placed alike.
        mixed.tiles.sizeOf = [](const IndexPath& path) {
            return path.item() == Count - 1 ? QSizeF(123.3, 61.1) : QSizeF(123.3, 47.7);
        };
        for (Grid* grid : { &same, &mixed }) {
            grid->view->reloadData();
            grid->view->layoutIfNeeded();
        }
        auto* layout = same.view->collectionViewLayout();
        auto* other = mixed.view->collectionViewLayout();
        const QRectF last
            = other->layoutAttributesForItemAtIndexPath(IndexPath(Count - 1, 0))->frame();
        int compared = 0;
        for (int i = 0; i < Count; ++i) {
            const QRectF expected
                = other->layoutAttributesForItemAtIndexPath(IndexPath(i, 0))->frame();
            const bool lastLine = direction == FlowLayout::ScrollDirection::Vertical
                ? expected.bottom() > last.top()
                : expected.right() > last.left();
            if (lastLine)
                continue;
            ++compared;
            ASSERT_TRUE(exact(
                layout->layoutAttributesForItemAtIndexPath(IndexPath(i, 0))->frame(), expected))
                << "item " << i;
        }
        EXPECT_GT(compared, Count - 10);
        // A rectangle far down the lines finds the same tiles at the same frames.
        const double along = direction == FlowLayout::ScrollDirection::Vertical
            ? layout->collectionViewContentSize().height()
            : layout->collectionViewContentSize().width();
        const QRectF rect = direction == FlowLayout::ScrollDirection::Vertical
            ? QRectF(0, along * 0.7, 1000.3, 700.7)
            : QRectF(along * 0.7, 0, 1000.3, 700.7);
        const auto found = layout->layoutAttributesForElementsInRect(rect);
        const auto expected = other->layoutAttributesForElementsInRect(rect);
        ASSERT_EQ(found.size(), expected.size());
        ASSERT_FALSE(found.isEmpty());
        for (qsizetype i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].indexPath().item(), expected[i].indexPath().item());
            EXPECT_TRUE(exact(found[i].frame(), expected[i].frame()));
        }
        EXPECT_FALSE(layout->layoutAttributesForItemAtIndexPath(IndexPath(Count, 0)).has_value());
        EXPECT_FALSE(layout->layoutAttributesForItemAtIndexPath(IndexPath(-1, 0)).has_value());
    }
}

TEST(CollectionView, BatchDeleteAndInsertKeepsTheStayingCellsAndRunsTheCompletion)
{
    Grid grid(20, QRectF(0, 0, 320, 600));
    CollectionViewCell* two = grid.view->cellForItemAtIndexPath(IndexPath(2, 0));
    CollectionViewCell* five = grid.view->cellForItemAtIndexPath(IndexPath(5, 0));
    grid.view->selectItemAtIndexPath(IndexPath(5, 0), false, CollectionView::ScrollPositionNone);
    const int requests = grid.tiles.cellRequests;

    bool completed = false;
    bool finishedFlag = false;
    grid.view->performBatchUpdates(
        [&] {
            auto& items = grid.tiles.items[0];
            items.erase(items.begin() + 3);
            items.erase(items.begin() + 1);
            items.insert(items.begin(), 100);
            grid.view->deleteItemsAtIndexPaths({ IndexPath(1, 0), IndexPath(3, 0) });
            grid.view->insertItemsAtIndexPaths({ IndexPath(0, 0) });
        },
        [&](bool finished) {
            completed = true;
            finishedFlag = finished;
        });
    // Item 2 stays at 2 (one deleted before it, one inserted), item 5 moves to 4.
    EXPECT_EQ(grid.view->cellForItemAtIndexPath(IndexPath(2, 0)), two);
    EXPECT_EQ(grid.view->cellForItemAtIndexPath(IndexPath(4, 0)), five);
    EXPECT_EQ(grid.textOf(five), "5");
    EXPECT_EQ(grid.view->indexPathsForSelectedItems(), QList<IndexPath>({ IndexPath(4, 0) }));
    EXPECT_EQ(grid.textOf(grid.view->cellForItemAtIndexPath(IndexPath(0, 0))), "100");
    EXPECT_EQ(grid.view->numberOfItemsInSection(0), 19);
    // Only the new item and the one brought into sight were asked for.
    EXPECT_LE(grid.tiles.cellRequests - requests, 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return completed; }));
    EXPECT_TRUE(finishedFlag);
    EXPECT_EQ(grid.view->cellForItemAtIndexPath(IndexPath(4, 0))->frame(),
        grid.view->layoutAttributesForItemAtIndexPath(IndexPath(4, 0))->frame());

    // Counts that do not add up raise, and the view shows what the data source holds.
    grid.tiles.items[0].push_back(7);
    EXPECT_THROW(grid.view->performBatchUpdates([] {}), platform::Exception);
    EXPECT_EQ(grid.view->numberOfItemsInSection(0), 20);
    EXPECT_TRUE(grid.view->indexPathsForSelectedItems().isEmpty());
}

TEST(CollectionView, TheItemAtAPointIsTheOneWhoseFrameHoldsIt)
{
    Grid grid(7, QRectF(0, 0, 700, 400));
    grid.tiles.itemSize = QSizeF(200, 50);
    grid.tiles.headerSize = QSizeF(0, 30);
    grid.layout->setSectionInset(QMarginsF(10, 5, 10, 20));
    grid.view->layoutIfNeeded();
    EXPECT_EQ(grid.view->indexPathForItemAtPoint(QPointF(11, 36)), IndexPath(0, 0));
    EXPECT_EQ(grid.view->indexPathForItemAtPoint(QPointF(260, 100)), IndexPath(4, 0));
    EXPECT_EQ(grid.view->indexPathForItemAtPoint(QPointF(689, 144)), IndexPath(5, 0));
    EXPECT_FALSE(grid.view->indexPathForItemAtPoint(QPointF(230, 40)).has_value()); // a gap
    EXPECT_FALSE(grid.view->indexPathForItemAtPoint(QPointF(100, 10)).has_value()); // header
    EXPECT_FALSE(grid.view->indexPathForItemAtPoint(QPointF(100, 2000)).has_value());
    // The point is in content coordinates: scrolling does not change the answer.
    grid.view->setContentOffset(QPointF(0, 60));
    EXPECT_EQ(grid.view->indexPathForItemAtPoint(QPointF(260, 100)), IndexPath(4, 0));
}

TEST(CollectionView, SelectingInCodeNeitherScrollsNorTellsTheDelegateATapDoes)
{
    Grid grid(400, QRectF(0, 0, 320, 480));
    grid.view->setContentOffset(QPointF(0, 130));
    grid.view->selectItemAtIndexPath(IndexPath(300, 0), true, CollectionView::ScrollPositionNone);
    EXPECT_EQ(grid.view->contentOffset(), QPointF(0, 130));
    EXPECT_EQ(grid.view->indexPathsForSelectedItems(), QList<IndexPath>({ IndexPath(300, 0) }));
    EXPECT_TRUE(grid.tiles.log.isEmpty());
    // Out of range: ignored.
    grid.view->selectItemAtIndexPath(IndexPath(400, 0), false, CollectionView::ScrollPositionNone);
    EXPECT_EQ(grid.view->indexPathsForSelectedItems(), QList<IndexPath>({ IndexPath(300, 0) }));

    // A tap on item 4 (fourth row; rows start at 15 + 60 per row, offset 130).
    const QPointF onItem4(100, 15 + 4 * 60 + 25 - 130);
    ASSERT_EQ(grid.view->indexPathForItemAtPoint(onItem4 + QPointF(0, 130)), IndexPath(4, 0));
    scrolltest::click(grid.view.get(), onItem4);
    EXPECT_EQ(grid.tiles.log,
        QStringList({ "highlight 4", "unhighlight 4", "should 4", "deselect 300", "select 4" }));
    EXPECT_EQ(grid.view->indexPathsForSelectedItems(), QList<IndexPath>({ IndexPath(4, 0) }));
    EXPECT_TRUE(grid.view->cellForItemAtIndexPath(IndexPath(4, 0))->isSelected());
    EXPECT_EQ(grid.view->contentOffset(), QPointF(0, 130));

    // The delegate may refuse; then nothing changes.
    grid.tiles.log.clear();
    grid.tiles.refuseSelection = true;
    scrolltest::click(grid.view.get(), onItem4 + QPointF(0, 60));
    EXPECT_EQ(grid.view->indexPathsForSelectedItems(), QList<IndexPath>({ IndexPath(4, 0) }));
    EXPECT_FALSE(grid.tiles.log.contains("select 5"));

    // Scrolling to an item with a position does move the content.
    grid.view->selectItemAtIndexPath(
        IndexPath(300, 0), false, CollectionView::ScrollPositionCenteredVertically);
    EXPECT_NEAR(grid.view->contentOffset().y(), 15 + 300 * 60 + 25 - 240, 0.5);
}

namespace {

// Hides one item, lifts another above its neighbours and counts how often the view asks
// whether a move of its bounds invalidates the layout.
class Lifting : public FlowLayout {
public:
    int asked = 0;
    int prepared = 0;
    bool invalidateOnScroll = false;
    void prepareLayout() override
    {
        ++prepared;
        FlowLayout::prepareLayout();
    }
    QList<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
        const QRectF& rect) const override
    {
        auto list = FlowLayout::layoutAttributesForElementsInRect(rect);
        for (auto& a : list) {
            if (a.indexPath().item() == 1)
                a.setHidden(true);
            if (a.indexPath().item() == 2) {
                a.setZIndex(5);
                a.setFrame(a.frame().translated(0, 30));
            }
        }
        return list;
    }
    bool shouldInvalidateLayoutForBoundsChange(const QRectF& bounds) const override
    {
        ++const_cast<Lifting*>(this)->asked;
        return invalidateOnScroll || FlowLayout::shouldInvalidateLayoutForBoundsChange(bounds);
    }
};

} // namespace

TEST(CollectionView, HonoursTheAttributesASubclassGivesAndAsksAboutBoundsChanges)
{
    Animation::setInstant(true);
    Tiles tiles(30);
    tiles.itemSize = QSizeF(150, 50);
    auto* layout = new Lifting;
    CollectionView view(QRectF(0, 0, 320, 300), layout);
    view.registerClassForCellWithReuseIdentifier<CollectionViewCell>("CELL_CONTENT");
    view.setDelegate(&tiles);
    view.setDataSource(&tiles);
    view.layoutIfNeeded();
    EXPECT_TRUE(view.cellForItemAtIndexPath(IndexPath(1, 0))->isHidden());
    CollectionViewCell* lifted = view.cellForItemAtIndexPath(IndexPath(2, 0));
    EXPECT_EQ(lifted->frame().top(), 60 + 30);
    // In front of the tile it overlaps.
    const QObjectList order = view.subviewContainer()->children();
    EXPECT_GT(order.indexOf(lifted), order.indexOf(view.cellForItemAtIndexPath(IndexPath(4, 0))));

    const int prepared = layout->prepared;
    view.setContentOffset(QPointF(0, 40));
    EXPECT_GT(layout->asked, 0);
    EXPECT_EQ(layout->prepared, prepared); // a scroll does not invalidate a flow layout
    layout->invalidateOnScroll = true;
    view.setContentOffset(QPointF(0, 80));
    EXPECT_EQ(layout->prepared, prepared + 1);
    // A new width does.
    layout->invalidateOnScroll = false;
    view.setFrame(QRectF(0, 0, 480, 300));
    view.layoutIfNeeded();
    EXPECT_EQ(layout->prepared, prepared + 2);
    EXPECT_EQ(view.layoutAttributesForItemAtIndexPath(IndexPath(2, 0))->frame().top(), 0);
}

TEST(CollectionViewCell, TheContentShadowShowsAroundTheCellAndHighlightingReachesTheLabels)
{
    Animation::setInstant(true);
    View root(QRectF(0, 0, 200, 200));
    root.setBackgroundColor(Qt::white);
    auto* cell = new CollectionViewCell(&root);
    cell->setFrame(QRectF(50, 50, 100, 60));
    cell->contentView()->setBackgroundColor(QColor(200, 220, 255));
    auto* label = new Label(QRectF(5, 5, 90, 20));
    label->setHighlightedTextColor(Qt::white);
    cell->contentView()->addSubview(label);
    auto* selected = new View;
    selected->setBackgroundColor(Qt::darkBlue);
    cell->setSelectedBackgroundView(selected);
    root.show();

    auto below = [&] {
        const QImage shot = root.snapshot();
        const double scale = shot.devicePixelRatio();
        return shot.pixelColor(int(100 * scale), int(114 * scale)).lightness();
    };
    EXPECT_EQ(below(), 255);
    Animation::animate(0.5, [&] {
        cell->contentView()->layer()->setShadowOffset(QPointF(0, 6));
        cell->contentView()->layer()->setShadowRadius(6);
        cell->contentView()->layer()->setShadowOpacity(0.7);
    });
    EXPECT_LT(below(), 200);
    cell->contentView()->layer()->setShadowOpacity(0);
    EXPECT_EQ(below(), 255);

    EXPECT_DOUBLE_EQ(selected->alpha(), 0);
    cell->setHighlighted(true);
    EXPECT_TRUE(label->isHighlighted());
    EXPECT_DOUBLE_EQ(selected->alpha(), 1);
    cell->setHighlighted(false);
    cell->setSelected(true);
    EXPECT_TRUE(label->isHighlighted());
    cell->prepareForReuse();
    EXPECT_FALSE(cell->isSelected());
    EXPECT_FALSE(label->isHighlighted());

    // Labels and images deeper inside are highlighted too.
    auto* group = new View(QRectF(0, 30, 100, 30));
    cell->contentView()->addSubview(group);
    auto* inner = new Label(QRectF(0, 0, 50, 30));
    auto* image = new ImageView;
    image->setFrame(QRectF(50, 0, 30, 30));
    group->addSubview(inner);
    group->addSubview(image);
    cell->setSelected(true);
    EXPECT_TRUE(inner->isHighlighted());
    EXPECT_TRUE(image->isHighlighted());
    cell->setSelected(false);
    EXPECT_FALSE(inner->isHighlighted());
    EXPECT_FALSE(image->isHighlighted());
    EXPECT_DOUBLE_EQ(selected->alpha(), 0);
}

TEST(CollectionView, AHeaderOfACellClassIsReusedAsAHeaderAndNeverSelected)
{
    Animation::setInstant(true);
    Tiles tiles(200);
    tiles.headerSize = QSizeF(0, 30);
    CollectionView view(QRectF(0, 0, 320, 300), new FlowLayout);
    view.registerClassForCellWithReuseIdentifier<CollectionViewCell>("CELL_CONTENT");
    view.registerClassForSupplementaryViewOfKind<CollectionViewCell>(
        CollectionView::ElementKindSectionHeader, "CELL_HEADER");
    view.setDelegate(&tiles);
    view.setDataSource(&tiles);
    view.layoutIfNeeded();
    auto* header = qobject_cast<CollectionViewCell*>(view.supplementaryViewForElementKind(
        CollectionView::ElementKindSectionHeader, IndexPath(0, 0)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame(), QRectF(0, 0, 320, 30));
    view.selectItemAtIndexPath(IndexPath(0, 0), false, CollectionView::ScrollPositionNone);
    EXPECT_FALSE(header->isSelected());
    EXPECT_TRUE(view.cellForItemAtIndexPath(IndexPath(0, 0))->isSelected());

    view.setContentOffset(QPointF(0, 2000));
    EXPECT_EQ(view.supplementaryViewForElementKind(
                  CollectionView::ElementKindSectionHeader, IndexPath(0, 0)),
        nullptr);
    view.setContentOffset(QPointF(0, 0));
    EXPECT_EQ(view.supplementaryViewForElementKind(
                  CollectionView::ElementKindSectionHeader, IndexPath(0, 0)),
        header);
    EXPECT_FALSE(header->isSelected());
}
