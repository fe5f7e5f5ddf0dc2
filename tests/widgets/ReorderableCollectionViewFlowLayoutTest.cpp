#include "widgets/ReorderableCollectionViewFlowLayout.h"

#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/DisplayLink.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "widgets/ReorderableCollectionViewDataSource.h"
#include "widgets/ReorderableCollectionViewDelegateFlowLayout.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

// Items "0" to "n-1" one per line, 40 points high, 10 apart; writes down what the layout
// asks and tells.
struct Items : ReorderableCollectionViewDataSource, ReorderableCollectionViewDelegateFlowLayout {
    QStringList items;
    QStringList calls;
    bool movable = true;

    int collectionViewNumberOfItemsInSection(CollectionView*, int) override
    {
        return int(items.size());
    }
    CollectionViewCell* collectionViewCellForItemAtIndexPath(
        CollectionView* view, const IndexPath& path) override
    {
        auto* cell = view->dequeueReusableCellWithReuseIdentifier("cell", path);
        auto* label = qobject_cast<Label*>(cell->contentView()->viewWithTag(1));
        if (!label) {
            label = new Label(cell->contentView()->bounds());
            label->setTag(1);
            cell->contentView()->addSubview(label);
        }
        label->setText(items.value(path.item()));
        cell->contentView()->setBackgroundColor(QColor(90, 150, 220));
        return cell;
    }
    bool collectionViewCanMoveItemAtIndexPath(CollectionView*, const IndexPath&) override
    {
        return movable;
    }
    void collectionViewItemAtIndexPathWillMoveToIndexPath(
        CollectionView*, const IndexPath& from, const IndexPath& to) override
    {
        calls << QStringLiteral("will %1>%2").arg(from.item()).arg(to.item());
        items.move(from.item(), to.item());
    }
    void collectionViewItemAtIndexPathDidMoveToIndexPath(
        CollectionView*, const IndexPath& from, const IndexPath& to) override
    {
        calls << QStringLiteral("did %1>%2").arg(from.item()).arg(to.item());
    }
    void collectionViewLayoutWillBeginDraggingItemAtIndexPath(
        CollectionView*, CollectionViewLayout*, const IndexPath& path) override
    {
        calls << QStringLiteral("willBegin %1").arg(path.item());
    }
    void collectionViewLayoutDidBeginDraggingItemAtIndexPath(
        CollectionView*, CollectionViewLayout*, const IndexPath& path) override
    {
        calls << QStringLiteral("didBegin %1").arg(path.item());
    }
    void collectionViewLayoutWillEndDraggingItemAtIndexPath(
        CollectionView*, CollectionViewLayout*, const IndexPath& path) override
    {
        calls << QStringLiteral("willEnd %1").arg(path.item());
    }
    void collectionViewLayoutDidEndDraggingItemAtIndexPath(
        CollectionView*, CollectionViewLayout*, const IndexPath& path) override
    {
        calls << QStringLiteral("didEnd %1").arg(path.item());
    }
};

struct DragReorder : ::testing::Test {
    Items items;
    ReorderableCollectionViewFlowLayout* layout = nullptr;
    CollectionView* view = nullptr;
    std::unique_ptr<ViewController> screen;

    void SetUp() override
    {
        Animation::setInstant(true);
        screen = std::make_unique<ViewController>();
        Application::shared().setRootViewController(screen.get());
        Application::shared().makeKeyAndVisible();
    }
    void TearDown() override
    {
        delete view;
        Application::shared().reset();
        screen.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void make(int count, double height = 400)
    {
        for (int i = 0; i < count; ++i)
            items.items << QString::number(i);
        layout = new ReorderableCollectionViewFlowLayout();
        layout->setItemSize(QSizeF(300, 40));
        layout->setSectionInset(QMarginsF(10, 10, 10, 10));
        view = new CollectionView(QRectF(0, 20, 320, height), layout);
        screen->view()->addSubview(view);
        view->registerClassForCellWithReuseIdentifier<CollectionViewCell>("cell");
        view->setDataSource(&items);
        view->setDelegate(&items);
        view->show();
        view->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    // The centre of item i (one per line from y 10, 50 apart) in the view's coordinates.
    QPointF itemCentre(int i) const { return QPointF(160, 30 + 50 * i) - view->contentOffset(); }
};

} // namespace

TEST_F(DragReorder, TheLayoutInstallsItsRecognisersWithItsDefaults)
{
    make(5);
    EXPECT_EQ(layout->scrollingSpeed(), 300.0);
    EXPECT_EQ(layout->scrollingTriggerEdgeInsets(), QMarginsF(50, 50, 50, 50));
    ASSERT_NE(layout->longPressGestureRecognizer(), nullptr);
    ASSERT_NE(layout->panGestureRecognizer(), nullptr);
    EXPECT_TRUE(view->gestureRecognizers().contains(layout->longPressGestureRecognizer()));
    EXPECT_TRUE(view->gestureRecognizers().contains(layout->panGestureRecognizer()));
    EXPECT_TRUE(layout->gestureRecognizerShouldRecognizeSimultaneouslyWith(
        layout->longPressGestureRecognizer(), layout->panGestureRecognizer()));
    EXPECT_TRUE(layout->gestureRecognizerShouldRecognizeSimultaneouslyWith(
        layout->panGestureRecognizer(), layout->longPressGestureRecognizer()));
    // Nothing picked up: the pan may not begin.
    EXPECT_FALSE(layout->gestureRecognizerShouldBegin(layout->panGestureRecognizer()));
    EXPECT_TRUE(layout->gestureRecognizerShouldBegin(layout->longPressGestureRecognizer()));
}

TEST_F(DragReorder, ALongPressBetweenItemsPicksNothingUp)
{
    make(5);
    // Between item 0 (10 to 50) and item 1 (60 to 100).
    GestureSynthesizer::longPressDrag(view, QPointF(160, 55), QPointF(160, 180));
    testsupport::processEvents(10);
    EXPECT_TRUE(items.calls.isEmpty());
    EXPECT_EQ(items.items, (QStringList { "0", "1", "2", "3", "4" }));
    EXPECT_FALSE(layout->selectedItemIndexPath());
}

TEST_F(DragReorder, EachPlaceCrossedMovesOnceWillBeforeDid)
{
    make(6);
    GestureSynthesizer::press(view, itemCentre(0));
    GestureSynthesizer::move(itemCentre(0), 0.6);
    testsupport::processEvents(5);
    ASSERT_TRUE(layout->selectedItemIndexPath());
    EXPECT_EQ(layout->selectedItemIndexPath()->item(), 0);
    ASSERT_NE(layout->currentView(), nullptr);
    EXPECT_DOUBLE_EQ(layout->currentView()->scale(), 1.1);
    // The item's own place stays empty while it is dragged.
    const auto hidden = layout->layoutAttributesForItemAtIndexPath(IndexPath(0, 0));
    ASSERT_TRUE(hidden);
    EXPECT_TRUE(hidden->isHidden());

    // Over its own place: nothing moves.
    GestureSynthesizer::move(itemCentre(0) + QPointF(0, 15));
    testsupport::processEvents(5);
    EXPECT_EQ(items.calls, (QStringList { "willBegin 0", "didBegin 0" }));

    // The finger moves over time: each step's move is shown before the next.
    for (int step = 1; step <= 8; ++step) {
        GestureSynthesizer::move(itemCentre(0) + QPointF(0, 12.5 * step));
        testsupport::processEvents(5);
    }
    GestureSynthesizer::release();
    testsupport::processEvents(10);
    EXPECT_EQ(items.items, (QStringList { "1", "2", "0", "3", "4", "5" }));
    QStringList moves;
    for (const QString& call : std::as_const(items.calls))
        if (call.startsWith("will ") || call.startsWith("did "))
            moves << call;
    EXPECT_EQ(moves, (QStringList { "will 0>1", "did 0>1", "will 1>2", "did 1>2" }));
    EXPECT_EQ(items.calls.mid(items.calls.size() - 2), (QStringList { "willEnd 2", "didEnd 2" }));
    EXPECT_FALSE(layout->selectedItemIndexPath());
    EXPECT_EQ(layout->currentView(), nullptr);
    // Every item shows again, in the new order.
    const auto shown = layout->layoutAttributesForItemAtIndexPath(IndexPath(2, 0));
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->isHidden());
    auto* label = qobject_cast<Label*>(
        view->cellForItemAtIndexPath(IndexPath(2, 0))->contentView()->viewWithTag(1));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "0");
}

TEST_F(DragReorder, AnItemTheDataSourceHoldsStaysPut)
{
    make(4);
    items.movable = false;
    GestureSynthesizer::longPressDrag(view, itemCentre(0), itemCentre(3));
    testsupport::processEvents(10);
    EXPECT_TRUE(items.calls.isEmpty());
    EXPECT_EQ(items.items, (QStringList { "0", "1", "2", "3" }));
}

TEST_F(DragReorder, AutoScrollMovesFivePointsAFrameAndStopsAtTheEnds)
{
    make(30);
    // Content: 10 + 30 * 40 + 29 * 10 + 10 = 1510 points in a view of 400.
    ASSERT_DOUBLE_EQ(view->contentSize().height(), 1510);
    layout->setupScrollTimerInDirection(ReorderableCollectionViewFlowLayout::ScrollingDown);
    DisplayLink* link = layout->displayLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->userInfo().value("ReorderScrollingDirection").toInt(), 2);
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 5);
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 10);
    // Asking again for the same direction keeps the running timer.
    layout->setupScrollTimerInDirection(ReorderableCollectionViewFlowLayout::ScrollingDown);
    EXPECT_EQ(layout->displayLink(), link);

    view->setContentOffset(QPointF(0, 1107));
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 1110); // 1510 - 400
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 1110);

    layout->setupScrollTimerInDirection(ReorderableCollectionViewFlowLayout::ScrollingUp);
    EXPECT_NE(layout->displayLink(), link);
    link = layout->displayLink();
    view->setContentOffset(QPointF(0, 3));
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 0);
    link->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 0);
    layout->invalidatesScrollTimer();
    EXPECT_EQ(layout->displayLink(), nullptr);
}

TEST_F(DragReorder, ShortContentDoesNotScrollDown)
{
    make(3);
    layout->setupScrollTimerInDirection(ReorderableCollectionViewFlowLayout::ScrollingDown);
    layout->displayLink()->fire();
    EXPECT_DOUBLE_EQ(view->contentOffset().y(), 0);
    layout->invalidatesScrollTimer();
}

TEST_F(DragReorder, DraggingNearAnEdgeStartsAutoScrollAndTheSnapshotMovesAlong)
{
    make(30);
    GestureSynthesizer::press(view, itemCentre(2));
    GestureSynthesizer::move(itemCentre(2), 0.6);
    GestureSynthesizer::move(QPointF(160, 370));
    testsupport::processEvents(5);
    ASSERT_NE(layout->displayLink(), nullptr);
    EXPECT_EQ(layout->displayLink()->userInfo().value("ReorderScrollingDirection").toInt(),
        ReorderableCollectionViewFlowLayout::ScrollingDown);
    const QPointF before = layout->currentView()->center();
    layout->displayLink()->fire();
    EXPECT_DOUBLE_EQ(layout->currentView()->center().y() - before.y(), 5);
    // Back in the middle: the scrolling stops.
    GestureSynthesizer::move(QPointF(160, 200));
    EXPECT_EQ(layout->displayLink(), nullptr);
    GestureSynthesizer::release();
    testsupport::processEvents(10);
}

TEST_F(DragReorder, ResigningActiveDropsTheItemWhereItIs)
{
    make(6);
    GestureSynthesizer::press(view, itemCentre(0));
    GestureSynthesizer::move(itemCentre(0), 0.6);
    GestureSynthesizer::move(itemCentre(1));
    testsupport::processEvents(5);
    ASSERT_TRUE(layout->selectedItemIndexPath());
    EXPECT_EQ(items.items.first(), "1");

    platform::NotificationCenter::defaultCenter().post(Application::WillResignActiveNotification);
    testsupport::processEvents(10);
    EXPECT_FALSE(layout->selectedItemIndexPath());
    EXPECT_EQ(layout->currentView(), nullptr);
    EXPECT_TRUE(items.calls.contains("willEnd 1"));
    EXPECT_TRUE(items.calls.contains("didEnd 1"));

    // The rest of the touch moves nothing.
    const QStringList before = items.calls;
    GestureSynthesizer::move(itemCentre(4));
    GestureSynthesizer::release();
    testsupport::processEvents(10);
    EXPECT_EQ(items.calls, before);
    EXPECT_EQ(items.items, (QStringList { "1", "0", "2", "3", "4", "5" }));
}
