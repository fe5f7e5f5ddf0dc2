#include "platform/ui/DisplayLink.h"

#include "common/TestSupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using platform::ui::DisplayLink;

TEST(DisplayLink, TicksAboutSixtyTimesASecondUntilInvalidated)
{
    int ticks = 0;
    DisplayLink link([&](DisplayLink*) { ++ticks; });
    link.setUserInfo({ { "direction", 2 } });
    testsupport::processEvents(50);
    EXPECT_EQ(ticks, 0) << "not added to the run loop yet";

    link.addToRunLoop();
    QElapsedTimer clock;
    clock.start();
    // A busy machine may skip frames, never add them: the first three are waited for.
    EXPECT_TRUE(testsupport::waitUntil([&] { return ticks >= 3; }));
    testsupport::processEvents(300);
    const double expected = double(clock.elapsed()) / 1000.0 * 60.0;
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, expected * 1.2 + 2);
    EXPECT_EQ(link.userInfo().value("direction").toInt(), 2);

    link.setPaused(true);
    const int paused = ticks;
    testsupport::processEvents(60);
    EXPECT_EQ(ticks, paused);

    link.setPaused(false);
    link.invalidate();
    EXPECT_FALSE(link.isValid());
    const int stopped = ticks;
    testsupport::processEvents(60);
    link.fire();
    EXPECT_EQ(ticks, stopped);
}

TEST(DisplayLink, ATargetMayInvalidateItsLinkFromInsideATick)
{
    int ticks = 0;
    DisplayLink link([&](DisplayLink* self) {
        ++ticks;
        self->invalidate();
    });
    link.addToRunLoop();
    // The first tick, then the time a second would take.
    EXPECT_TRUE(testsupport::waitUntil([&] { return ticks >= 1; }));
    testsupport::processEvents(100);
    EXPECT_EQ(ticks, 1);
}
