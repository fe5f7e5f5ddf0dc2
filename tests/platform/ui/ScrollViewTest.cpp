#include "platform/ui/ScrollView.h"
#include "ScrollTestSupport.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

class ScrollListener : public ScrollViewDelegate {
public:
    QStringList log;
    int scrolls = 0;
    void scrollViewDidScroll(ScrollView*) override { ++scrolls; }
    void scrollViewWillBeginDragging(ScrollView*) override { log << "begin"; }
    void scrollViewDidEndDragging(ScrollView*, bool decelerate) override
    {
        log << (decelerate ? "end, gliding" : "end");
    }
    void scrollViewDidEndDecelerating(ScrollView*) override { log << "stopped"; }
    void scrollViewDidEndScrollingAnimation(ScrollView*) override { log << "arrived"; }
};

} // namespace

TEST(ScrollView, SubviewsLiveInTheContentAndMoveWithTheOffset)
{
    View window(QRectF(0, 0, 400, 400));
    auto* scroll = new ScrollView(QRectF(100, 50, 200, 200), &window);
    scroll->setContentSize(QSizeF(200, 1000));
    auto* child = new View(QRectF(0, 500, 50, 50));
    scroll->addSubview(child);
    EXPECT_EQ(child->superview(), scroll);
    EXPECT_TRUE(scroll->subviews().contains(child));

    scroll->setContentOffset(QPointF(0, 450));
    // The frame stays in content coordinates; on screen the child is 50 points down.
    EXPECT_EQ(child->frame(), QRectF(0, 500, 50, 50));
    EXPECT_EQ(child->mapTo(&window, QPoint(0, 0)), QPoint(100, 100));
    EXPECT_EQ(child->convertPointToView(QPointF(5, 5), scroll), QPointF(5, 505));
    EXPECT_EQ(scroll->convertPointToView(QPointF(5, 505), &window), QPointF(105, 105));
    EXPECT_EQ(window.hitTest(QPointF(110, 110)), child);
    EXPECT_EQ(window.hitTest(QPointF(110, 160)), scroll);
    EXPECT_EQ(scroll->visibleRect(), QRectF(0, 450, 200, 200));

    // Subviews follow the scroll view's size, not the content's.
    auto* overlay = new View(QRectF(0, 0, 200, 200));
    overlay->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    scroll->addSubview(overlay);
    scroll->setContentSize(QSizeF(200, 3000));
    EXPECT_EQ(overlay->frame(), QRectF(0, 0, 200, 200));
    scroll->setFrame(QRectF(100, 50, 250, 300));
    EXPECT_EQ(overlay->frame(), QRectF(0, 0, 250, 300));
}

TEST(ScrollView, KeepsToItsRangeAndScrollsARectangleIntoSight)
{
    ScrollView scroll(QRectF(0, 0, 320, 480));
    scroll.setContentSize(QSizeF(320, 2000));
    scroll.setContentInset(QMarginsF(0, 64, 0, 44));
    EXPECT_EQ(scroll.minimumContentOffset(), QPointF(0, -64));
    EXPECT_EQ(scroll.maximumContentOffset(), QPointF(0, 2000 + 44 - 480));

    scroll.setContentOffset(QPointF(0, 100));
    scroll.scrollRectToVisible(QRectF(0, 200, 320, 40), false); // already in sight
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 100));
    scroll.scrollRectToVisible(QRectF(0, 700, 320, 40), false); // below: up to the bar
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 740 - 480 + 44));
    scroll.scrollRectToVisible(QRectF(0, 10, 320, 40), false); // above: under the top inset
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 10 - 64));
    scroll.scrollRectToVisible(QRectF(0, 1000, 320, 900), false); // too tall: its start
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 1000 - 64));
    scroll.scrollRectToVisible(QRectF(0, 1990, 320, 10), false); // never past the end
    EXPECT_EQ(scroll.contentOffset(), scroll.maximumContentOffset());

    // Content that shrinks pulls the view back at the next layout.
    scroll.setContentSize(QSizeF(320, 600));
    scroll.layoutIfNeeded();
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 600 + 44 - 480));
    // Code may still place the content anywhere.
    scroll.setContentOffset(QPointF(0, -300));
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, -300));
}

TEST(ScrollView, AnAnimatedOffsetMovesThereAndTellsTheDelegate)
{
    Animation::setInstant(false);
    ScrollListener listener;
    ScrollView scroll(QRectF(0, 0, 200, 200));
    scroll.setDelegate(&listener);
    scroll.setContentSize(QSizeF(200, 2000));
    scroll.setContentOffset(QPointF(0, 1000), true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return scroll.contentOffset().y() > 0; }));
    EXPECT_LT(scroll.contentOffset().y(), 1000);
    ASSERT_TRUE(testsupport::waitUntil([&] { return listener.log.contains("arrived"); }));
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 1000));
    EXPECT_GT(listener.scrolls, 2);

    // Instant animations still report arriving, after the change.
    Animation::setInstant(true);
    listener.log.clear();
    scroll.setContentOffset(QPointF(0, 20), true);
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 20));
    ASSERT_TRUE(testsupport::waitUntil([&] { return listener.log == QStringList({ "arrived" }); }));
}

TEST(ScrollView, TheWheelScrollsWithinTheRangeAndReportsTheUsersScroll)
{
    Animation::setInstant(true);
    ScrollListener listener;
    ScrollView scroll(QRectF(0, 0, 200, 200));
    scroll.setDelegate(&listener);
    scroll.setContentSize(QSizeF(600, 400));
    EXPECT_TRUE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120)));
    EXPECT_TRUE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120)));
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 120));
    EXPECT_TRUE(scroll.isDragging());
    EXPECT_EQ(listener.log, QStringList({ "begin" }));
    EXPECT_EQ(listener.scrolls, 2);
    // Past the end the wheel is left for an enclosing view.
    EXPECT_TRUE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120)));
    EXPECT_TRUE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120)));
    EXPECT_EQ(scroll.contentOffset(), QPointF(0, 200));
    EXPECT_FALSE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120)));
    // Shift turns it sideways.
    EXPECT_TRUE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, -120), Qt::ShiftModifier));
    EXPECT_EQ(scroll.contentOffset(), QPointF(60, 200));
    ASSERT_TRUE(testsupport::waitUntil([&] { return listener.log.size() == 2; }));
    EXPECT_EQ(listener.log, QStringList({ "begin", "end" }));
    EXPECT_FALSE(scroll.isDragging());

    scroll.setScrollEnabled(false);
    EXPECT_FALSE(scrolltest::wheel(&scroll, QPointF(50, 50), QPoint(0, 120)));
    EXPECT_EQ(scroll.contentOffset(), QPointF(60, 200));
}

TEST(ScrollView, DraggingTheContentMovesItAndAFlickGlidesOn)
{
    Animation::setInstant(true);
    ScrollListener listener;
    View window(QRectF(0, 0, 300, 300));
    auto* scroll = new ScrollView(QRectF(0, 0, 300, 300), &window);
    scroll->setDelegate(&listener);
    scroll->setContentSize(QSizeF(300, 3000));
    window.show();

    // A slow drag: the content follows the pointer and stops when let go.
    scrolltest::press(&window, QPointF(100, 250));
    scrolltest::drag(scroll, &window, QPointF(100, 240));
    scrolltest::drag(scroll, &window, QPointF(100, 150));
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 100));
    QThread::msleep(120);
    scrolltest::release(scroll, &window, QPointF(100, 150));
    EXPECT_EQ(listener.log, QStringList({ "begin", "end" }));
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 100));

    // A quick one glides further, and the delegate hears when it stops.
    listener.log.clear();
    scrolltest::press(&window, QPointF(100, 250));
    scrolltest::drag(scroll, &window, QPointF(100, 200));
    QThread::msleep(20);
    scrolltest::drag(scroll, &window, QPointF(100, 100));
    scrolltest::release(scroll, &window, QPointF(100, 100));
    ASSERT_TRUE(testsupport::waitUntil([&] { return listener.log.size() == 3; }));
    EXPECT_EQ(listener.log, QStringList({ "begin", "end, gliding", "stopped" }));
    EXPECT_GT(scroll->contentOffset().y(), 250);
    EXPECT_LE(scroll->contentOffset().y(), scroll->maximumContentOffset().y());

    // A press without moving is no drag.
    listener.log.clear();
    scrolltest::click(&window, QPointF(100, 100));
    EXPECT_TRUE(listener.log.isEmpty());
}

TEST(ScrollView, TheScrollBarShowsWhereTheContentIsAndMovesIt)
{
    Animation::setInstant(true);
    View window(QRectF(0, 0, 300, 400));
    auto* scroll = new ScrollView(QRectF(0, 0, 300, 400), &window);
    window.show();
    scroll->setContentSize(QSizeF(300, 300));
    EXPECT_TRUE(scroll->verticalScrollIndicator()->isHidden()); // nothing to scroll
    scroll->setContentSize(QSizeF(300, 4000));
    View* bar = scroll->verticalScrollIndicator();
    ASSERT_FALSE(bar->isHidden());
    EXPECT_NEAR(bar->frame().right(), 300, 0.5);
    EXPECT_TRUE(scroll->horizontalScrollIndicator()->isHidden());

    // A click below the thumb turns a page.
    const QPointF track = bar->frame().center() + QPointF(0, 150);
    scrolltest::click(&window, track);
    EXPECT_NEAR(scroll->contentOffset().y(), 400 * 0.9, 0.5);

    // Dragging the thumb to the end of the track brings the content's end into sight.
    scroll->setContentOffset(QPointF(0, 0));
    const QPointF thumb(bar->frame().center().x(), bar->frame().top() + 5);
    scrolltest::press(&window, thumb);
    scrolltest::drag(bar, &window, QPointF(thumb.x(), 399));
    scrolltest::release(bar, &window, QPointF(thumb.x(), 399));
    EXPECT_EQ(scroll->contentOffset(), scroll->maximumContentOffset());

    scroll->setShowsVerticalScrollIndicator(false);
    EXPECT_TRUE(bar->isHidden());
}
