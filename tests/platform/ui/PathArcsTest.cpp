#include "platform/ui/PathArcs.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace platform::ui;

namespace {
constexpr double kPi = std::numbers::pi;
} // namespace

// Angles grow clockwise on screen (y grows downwards); the flag runs the arc the other
// way, and a line joins the current point to the arc's start.
TEST(PathArcs, AddArcRunsWithGrowingAnglesUnlessToldOtherwise)
{
    QPainterPath upper;
    upper.moveTo(0, 50);
    PathArcs::addArc(upper, QPointF(50, 50), 10, kPi, 0, false); // through the top
    EXPECT_NEAR(upper.currentPosition().x(), 60, 1e-6);
    EXPECT_NEAR(upper.currentPosition().y(), 50, 1e-6);
    EXPECT_LT(upper.boundingRect().top(), 41);
    EXPECT_GT(upper.boundingRect().bottom(), 49.9);
    EXPECT_LT(upper.boundingRect().bottom(), 50.1);

    QPainterPath lower;
    lower.moveTo(40, 50);
    PathArcs::addArc(lower, QPointF(50, 50), 10, -kPi, 0, true); // through the bottom
    EXPECT_GT(lower.boundingRect().bottom(), 59);
    EXPECT_NEAR(lower.boundingRect().top(), 50, 1e-6);

    // A whole turn at most, and nothing for an empty sweep.
    QPainterPath full;
    PathArcs::addArc(full, QPointF(0, 0), 5, -kPi / 2, -kPi / 2 + 4 * kPi, false);
    EXPECT_NEAR(full.boundingRect().width(), 10, 1e-6);
    QPainterPath none;
    PathArcs::addArc(none, QPointF(0, 0), 5, 1, 1, false);
    EXPECT_NEAR(none.length(), 0, 1e-9);
}

TEST(PathArcs, ArcToPointRoundsTheCornerWithTheRadius)
{
    QPainterPath path;
    path.moveTo(0, 20);
    PathArcs::addArcToPoint(path, QPointF(0, 0), QPointF(20, 0), 5);
    // Down the left side to (0, 5), round the corner to (5, 0).
    EXPECT_NEAR(path.currentPosition().x(), 5, 1e-6);
    EXPECT_NEAR(path.currentPosition().y(), 0, 1e-6);
    EXPECT_NEAR(path.pointAtPercent(0).y(), 20, 1e-6);
    const QRectF box = path.boundingRect();
    EXPECT_NEAR(box.left(), 0, 1e-6);
    EXPECT_NEAR(box.top(), 0, 1e-6);
    // The corner itself is cut off.
    path.lineTo(20, 0);
    path.lineTo(20, 20);
    path.closeSubpath();
    EXPECT_FALSE(path.contains(QPointF(0.5, 0.5)));
    EXPECT_TRUE(path.contains(QPointF(3, 3)));

    // Lines that do not turn, or no radius: a straight line to the corner.
    QPainterPath straight;
    straight.moveTo(0, 0);
    PathArcs::addArcToPoint(straight, QPointF(10, 0), QPointF(20, 0), 5);
    EXPECT_EQ(straight.currentPosition(), QPointF(10, 0));
    QPainterPath sharp;
    sharp.moveTo(0, 10);
    PathArcs::addArcToPoint(sharp, QPointF(0, 0), QPointF(10, 0), 0);
    EXPECT_EQ(sharp.currentPosition(), QPointF(0, 0));
}
