#include "platform/Exception.h"
#include "style/CatmullRomSpline.h"
#include "style/CubicBezierCurve.h"
#include "style/LinearBezierCurve.h"
#include "style/PointArray.h"
#include "style/QuadraticBezierCurve.h"
#include "style/Spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

double chordDistance(QPointF q, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    return std::fabs(d.x() * (q.y() - a.y()) - d.y() * (q.x() - a.x())) / std::hypot(d.x(), d.y());
}

// Flattens a cubic by hand, checking that each flat piece passes the half-unit test.
void checkPieces(const CubicBezierCurve& curve, int depth = 0)
{
    if (curve.isNearLinear()) {
        if (curve.p1() != curve.p2()) {
            EXPECT_LT(chordDistance(curve.ctrl1(), curve.p1(), curve.p2()), 0.5);
            EXPECT_LT(chordDistance(curve.ctrl2(), curve.p1(), curve.p2()), 0.5);
        }
        return;
    }
    ASSERT_LT(depth, 30);
    for (const auto& half : curve.subdivided())
        checkPieces(static_cast<const CubicBezierCurve&>(*half), depth + 1);
}

} // namespace

TEST(BezierCurves, HalvingAtOneHalf)
{
    const auto cubic
        = CubicBezierCurve::cubicCurveWithStart({ 0, 0 }, { 0, 8 }, { 8, 8 }, { 8, 0 });
    const auto halves = cubic->subdivided();
    ASSERT_EQ(halves.size(), 2);
    const auto& left = static_cast<const CubicBezierCurve&>(*halves[0]);
    const auto& right = static_cast<const CubicBezierCurve&>(*halves[1]);
    EXPECT_EQ(left.p2(), QPointF(4, 6)); // B(1/2) = (0 + 3*0 + 3*8 + 8) / 8, (0 + 24 + 24 + 0) / 8
    EXPECT_EQ(right.p1(), QPointF(4, 6));
    EXPECT_EQ(left.ctrl1(), QPointF(0, 4));
    EXPECT_EQ(right.ctrl2(), QPointF(8, 4));

    const auto quad
        = QuadraticBezierCurve::quadraticCurveWithStartPoint({ 0, 0 }, { 2, 4 }, { 4, 0 });
    EXPECT_EQ(quad->subdivided()[0]->p2(), QPointF(2, 2));
    EXPECT_EQ(
        LinearBezierCurve::linearCurveWithStartPoint({ 0, 0 }, { 2, 2 })->subdivided()[1]->p1(),
        QPointF(1, 1));
}

TEST(BezierCurves, FlatteningEdgeCases)
{
    // A closed cubic flattens to its two equal ends however far the controls reach.
    const CubicBezierCurve loop({ 5, 5 }, { 500, -300 }, { -400, 900 }, { 5, 5 });
    EXPECT_EQ(loop.asPointArray(), (QList<QPointF> { { 5, 5 }, { 5, 5 } }));
    // Controls on the chord: straight.
    const CubicBezierCurve straight({ 0, 0 }, { 3, 3 }, { 7, 7 }, { 10, 10 });
    EXPECT_EQ(straight.asPointArray(), (QList<QPointF> { { 0, 0 }, { 10, 10 } }));
    // A bent cubic: pieces all within half a unit of their chords, ends exact, no repeats.
    const CubicBezierCurve bent({ 0, 0 }, { 0, 100 }, { 100, 100 }, { 100, 0 });
    checkPieces(bent);
    const QList<QPointF> points = bent.asPointArray();
    EXPECT_GT(points.size(), 8);
    EXPECT_EQ(points.first(), QPointF(0, 0));
    EXPECT_EQ(points.last(), QPointF(100, 0));
    QList<QPointF> appended;
    bent.addToPointArray(appended);
    EXPECT_EQ(appended.size(), points.size() - 1);
    // Quadratic: control at an end point is flat.
    EXPECT_TRUE(QuadraticBezierCurve({ 0, 0 }, { 0, 0 }, { 9, 9 }).isNearLinear());
    EXPECT_FALSE(QuadraticBezierCurve({ 0, 0 }, { 5, 1 }, { 10, 0 }).isNearLinear());
    // Coordinates that never flatten still finish.
    const double inf = std::numeric_limits<double>::infinity();
    const CubicBezierCurve broken({ 0, 0 }, { inf, 0 }, { 0, inf }, { 1, 1 });
    EXPECT_EQ(broken.asPointArray(), (QList<QPointF> { { 0, 0 }, { 1, 1 } }));
}

TEST(Splines, PointArrayJoinsSegmentsOnce)
{
    Spline spline({ 0, 0 });
    EXPECT_EQ(spline.asPointArray(), (QList<QPointF> { { 0, 0 } }));
    spline.addLinearCurveToPoint({ 10, 0 });
    spline.addQuadCurveWithControl({ 20, 0 }, { 20, 10 });
    spline.addCubicCurveWithControl1({ 20, 20 }, { 30, 20 }, { 30, 30 });
    EXPECT_EQ(spline.current(), QPointF(30, 30));
    const QList<QPointF> points = spline.asPointArray();
    EXPECT_EQ(points.first(), QPointF(0, 0));
    EXPECT_EQ(points.last(), QPointF(30, 30));
    EXPECT_EQ(points.count(QPointF(10, 0)), 1);
    EXPECT_EQ(points.count(QPointF(20, 10)), 1);
    spline.removeLastCurve();
    EXPECT_EQ(spline.curves().size(), 2);
    EXPECT_EQ(spline.current(), QPointF(30, 30));
    EXPECT_EQ(spline.asPointArray().last(), QPointF(20, 10));
}

TEST(Splines, CatmullRomKeepsAProvisionalTail)
{
    CatmullRomSpline spline({ 0, 0 });
    spline.addPoint({ 20, 0 });
    ASSERT_EQ(spline.curves().size(), 2); // a (degenerate) first cubic and the tail
    EXPECT_EQ(spline.p(), QPointF(20, 0));
    EXPECT_EQ(spline.curves().last()->p2(), QPointF(20, 0));
    spline.addPoint({ 40, 10 });
    ASSERT_EQ(spline.curves().size(), 3);
    const auto permanent = spline.curves().mid(0, 2);
    const QPointF current = spline.current();
    EXPECT_EQ(current, QPointF(20, 0));
    // A point closer than 15 only moves the tail.
    spline.addPoint({ 45, 12 });
    ASSERT_EQ(spline.curves().size(), 3);
    EXPECT_EQ(spline.curves().mid(0, 2), permanent);
    EXPECT_EQ(spline.current(), current);
    EXPECT_EQ(spline.p(), QPointF(40, 10));
    EXPECT_EQ(spline.curves().last()->p2(), QPointF(45, 12));
    EXPECT_EQ(spline.asPointArray().last(), QPointF(45, 12));
}

TEST(PointArrays, LengthAndLocation)
{
    const QList<QPointF> line = { { 0, 0 }, { 3, 4 }, { 3, 4 }, { 3, 10 } };
    EXPECT_DOUBLE_EQ(PointArray::length(line), 11.0);
    EXPECT_EQ(PointArray::length({ { 1, 1 } }), 0.0);
    EXPECT_EQ(PointArray::length({}), 0.0);

    const PointArrayLocation mid = PointArray::locationAtDistance(line, 2.5);
    EXPECT_DOUBLE_EQ(mid.location.x(), 1.5);
    EXPECT_DOUBLE_EQ(mid.location.y(), 2.0);
    EXPECT_DOUBLE_EQ(mid.angle, std::atan2(4.0, 3.0));
    // The zero-length segment is skipped.
    const PointArrayLocation turned = PointArray::locationAtDistance(line, 6);
    EXPECT_EQ(turned.location, QPointF(3, 5));
    EXPECT_DOUBLE_EQ(turned.angle, std::numbers::pi / 2);
    const PointArrayLocation end = PointArray::locationAtDistance(line, 11);
    EXPECT_EQ(end.location, QPointF(3, 10));
    EXPECT_DOUBLE_EQ(end.angle, std::numbers::pi / 2);
    EXPECT_EQ(PointArray::locationAtDistance({}, 1).location, QPointF());
    try {
        PointArray::locationAtDistance(line, -0.1);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), "PointNotFoundException");
        EXPECT_EQ(e.reason(), "Point is before start of curve");
    }
}

TEST(PointArrays, Bounds)
{
    const QList<QPointF> line = { { 0, 0 }, { 10, 0 }, { 10, 10 } };
    PointArrayBounds b = PointArray::pointArrayBoundsFromDistance(line, 5, 15);
    EXPECT_EQ(b.startLocation, QPointF(5, 0));
    EXPECT_EQ(b.startIndex, 1);
    EXPECT_EQ(b.endLocation, QPointF(10, 5));
    EXPECT_EQ(b.endIndex, 2);
    b = PointArray::pointArrayBoundsFromDistance(line, 12, 50);
    EXPECT_EQ(b.startLocation, QPointF(10, 2));
    EXPECT_EQ(b.endLocation, QPointF(10, 10));
    EXPECT_EQ(b.endIndex, 3);
    // A smaller to-distance gives an end before the start.
    b = PointArray::pointArrayBoundsFromDistance(line, 5, 2);
    EXPECT_EQ(b.endLocation, QPointF(2, 0));
    b = PointArray::pointArrayBoundsFromDistance({}, 0, 1);
    EXPECT_EQ(b.startLocation, QPointF());
    EXPECT_EQ(b.endLocation, QPointF());
    EXPECT_EQ(b.startIndex, 0);
    EXPECT_EQ(b.endIndex, 0);
    EXPECT_THROW(PointArray::pointArrayBoundsFromDistance(line, -1, 1), platform::Exception);
}
