#include "ScrollTestSupport.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SwipeGestureRecognizer.h"

#include <QThread>
#include <gtest/gtest.h>

#include <memory>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

class Listener : public ScrollViewDelegate {
public:
    QStringList log;
    void scrollViewWillBeginDragging(ScrollView*) override { log << "begin"; }
    void scrollViewDidEndDragging(ScrollView*, bool decelerate) override
    {
        log << (decelerate ? "end, gliding" : "end");
    }
    void scrollViewDidEndDecelerating(ScrollView*) override { log << "stopped"; }
    void scrollViewDidEndScrollingAnimation(ScrollView*) override { log << "arrived"; }
};

// A strip of ten pages, 100 points each, in the middle of a window, on each device.
class ScrollViewPaging : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Device::current().selectModel(GetParam()));
        Animation::setInstant(true);
        window = std::make_unique<View>(QRectF(0, 0, 400, 100));
        window->setBackgroundColor(Qt::white);
        scroll = new ScrollView(QRectF(150, 25, 100, 50), window.get());
        scroll->setPagingEnabled(true);
        scroll->setContentSize(QSizeF(1000, 50));
        scroll->setDelegate(&listener);
        window->show();
    }

    void TearDown() override
    {
        window.reset();
        Animation::setInstant(false);
        EXPECT_TRUE(Device::current().selectModel("tablet"));
    }

    // Waits until the scroll has come to rest, then long enough for a second report.
    bool comesToRest()
    {
        const bool stopped
            = testsupport::waitUntil([&] { return listener.log.contains("stopped"); });
        testsupport::processEvents(100);
        return stopped;
    }

    // A drag held still before letting go, so nothing is thrown.
    void slowDrag(double distance)
    {
        GestureSynthesizer::press(scroll, QPointF(80, 25));
        for (int i = 1; i <= 4; ++i)
            GestureSynthesizer::move(QPointF(80 - distance * i / 4, 25));
        QThread::msleep(120);
        GestureSynthesizer::release();
    }

    double x() const { return scroll->contentOffset().x(); }

    Listener listener;
    std::unique_ptr<View> window;
    ScrollView* scroll = nullptr;
};

} // namespace

TEST_P(ScrollViewPaging, ADragComesToRestOnTheNearestPageAndReportsOnce)
{
    slowDrag(130);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 100);
    EXPECT_EQ(listener.log, QStringList({ "begin", "end, gliding", "stopped" }));

    listener.log.clear();
    slowDrag(60); // from 100 to 160: past the middle of the next page
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 200);
    EXPECT_EQ(listener.log.count("stopped"), 1);

    // Let go right on a page: still one report, for a picker that waits for it.
    listener.log.clear();
    slowDrag(100);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 300);
    EXPECT_EQ(listener.log, QStringList({ "begin", "end, gliding", "stopped" }));

    // Back past the start, it rests on the first page.
    listener.log.clear();
    slowDrag(-400);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 0);
    EXPECT_EQ(listener.log.count("stopped"), 1);
}

TEST_P(ScrollViewPaging, AFlickTurnsToTheNextPageItsWayAndNoFurther)
{
    using Swipe = SwipeGestureRecognizer;
    GestureSynthesizer::swipe(scroll, Swipe::Left, QPointF(80, 25), 30);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 100);
    EXPECT_EQ(listener.log.count("stopped"), 1);

    // However fast, one page per flick from where it was let go.
    listener.log.clear();
    GestureSynthesizer::swipe(scroll, Swipe::Left, QPointF(90, 25), 80, 0.05);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 200);

    listener.log.clear();
    GestureSynthesizer::swipe(scroll, Swipe::Right, QPointF(10, 25), 20);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 100);
    EXPECT_EQ(listener.log.count("stopped"), 1);

    // At the last page a flick onwards stays there.
    scroll->setContentOffset(QPointF(900, 0));
    listener.log.clear();
    GestureSynthesizer::swipe(scroll, Swipe::Left, QPointF(90, 25), 40);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 900);
    EXPECT_EQ(listener.log.count("stopped"), 1);
}

TEST_P(ScrollViewPaging, TheWheelTurnsAPageANotchAndReportsOnceItRests)
{
    // The strip only scrolls sideways, so the wheel turns it sideways.
    EXPECT_TRUE(scrolltest::wheel(scroll, QPointF(50, 25), QPoint(0, -120)));
    EXPECT_EQ(x(), 100);
    EXPECT_TRUE(scrolltest::wheel(scroll, QPointF(50, 25), QPoint(0, -120)));
    EXPECT_EQ(x(), 200);
    EXPECT_FALSE(listener.log.contains("stopped"));
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 200);
    EXPECT_EQ(listener.log, QStringList({ "begin", "end, gliding", "stopped" }));

    // A trackpad moves the strip by its own amount (72 points, from 200); it rests on the
    // nearest page.
    listener.log.clear();
    GestureSynthesizer::trackpadSwipe(scroll, SwipeGestureRecognizer::Left, QPointF(50, 25), 72);
    EXPECT_EQ(x(), 128);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 100);
    EXPECT_EQ(listener.log.count("stopped"), 1);

    listener.log.clear();
    EXPECT_TRUE(scrolltest::wheel(scroll, QPointF(50, 25), QPoint(0, -240)));
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 300);
    EXPECT_EQ(listener.log.count("stopped"), 1);
}

TEST_P(ScrollViewPaging, OffsetsSetInCodeReportNothing)
{
    scroll->setContentOffset(QPointF(250, 0));
    EXPECT_EQ(x(), 250); // code places the content anywhere, pages or not
    scroll->setContentOffset(QPointF(400, 0), true);
    testsupport::processEvents(100);
    EXPECT_EQ(x(), 400);
    EXPECT_EQ(listener.log, QStringList({ "arrived" }));

    // An offset set while the user's scroll glides ends it without a report.
    Animation::setInstant(false);
    listener.log.clear();
    GestureSynthesizer::swipe(scroll, SwipeGestureRecognizer::Left, QPointF(80, 25), 30);
    ASSERT_TRUE(scroll->isDecelerating());
    scroll->setContentOffset(QPointF(700, 0));
    testsupport::processEvents(700);
    EXPECT_EQ(x(), 700);
    EXPECT_EQ(listener.log, QStringList({ "begin", "end, gliding" }));
    EXPECT_FALSE(scroll->isDecelerating());
}

TEST_P(ScrollViewPaging, APressThatStopsTheGlideSettlesOnAPageWhenLetGo)
{
    Animation::setInstant(false);
    GestureSynthesizer::swipe(scroll, SwipeGestureRecognizer::Left, QPointF(80, 25), 30);
    ASSERT_TRUE(testsupport::waitUntil([&] { return x() > 50; }));
    ASSERT_TRUE(scroll->isDecelerating());
    GestureSynthesizer::press(scroll, QPointF(50, 25));
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_FALSE(listener.log.contains("stopped")); // held between pages: not at rest yet
    GestureSynthesizer::release(0.1);
    ASSERT_TRUE(comesToRest());
    EXPECT_EQ(x(), 100);
    EXPECT_EQ(listener.log.count("stopped"), 1);

    // A press while at rest reports nothing.
    listener.log.clear();
    GestureSynthesizer::tap(scroll, QPointF(50, 25));
    testsupport::processEvents(100);
    EXPECT_TRUE(listener.log.isEmpty());
}

TEST_P(ScrollViewPaging, ContentShowsBeyondTheBoundsOnlyWhenNotClipping)
{
    // A red page right of the one in view, and a green one left of it.
    scroll->setContentOffset(QPointF(100, 0));
    scroll->addSubview(new View(QRectF(200, 0, 100, 50)));
    scroll->subviews().last()->setBackgroundColor(Qt::red);
    scroll->addSubview(new View(QRectF(0, 0, 100, 50)));
    scroll->subviews().last()->setBackgroundColor(Qt::green);
    auto pixel = [&](int px) {
        testsupport::processEvents(20);
        const QImage shot = window->snapshot();
        return shot.pixelColor(QPoint(px, 50) * shot.devicePixelRatio());
    };
    EXPECT_TRUE(scroll->clipsToBounds());
    EXPECT_EQ(pixel(300), QColor(Qt::white));

    scroll->setClipsToBounds(false);
    EXPECT_EQ(pixel(300), QColor(Qt::red));
    EXPECT_EQ(pixel(100), QColor(Qt::green));
    EXPECT_EQ(pixel(200), QColor(Qt::white)); // the page in view has nothing
    // It goes with the content as it scrolls.
    scroll->setContentOffset(QPointF(200, 0));
    EXPECT_EQ(pixel(200), QColor(Qt::red));
    EXPECT_EQ(pixel(300), QColor(Qt::white));
    EXPECT_EQ(pixel(20), QColor(Qt::green));
    // Touches there reach the superview, not the content, as on the platform.
    EXPECT_EQ(window->childAt(QPoint(20, 50)), nullptr);

    scroll->setClipsToBounds(true);
    EXPECT_EQ(pixel(20), QColor(Qt::white));
}

INSTANTIATE_TEST_SUITE_P(Devices, ScrollViewPaging, ::testing::Values("tablet", "phone"));
