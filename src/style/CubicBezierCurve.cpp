#include "style/CubicBezierCurve.h"

CubicBezierCurve::CubicBezierCurve(
    QPointF start, QPointF controlPoint1, QPointF controlPoint2, QPointF end)
    : BezierCurve(start, end)
    , m_ctrl1(controlPoint1)
    , m_ctrl2(controlPoint2)
{
}

std::shared_ptr<CubicBezierCurve> CubicBezierCurve::cubicCurveWithStart(
    QPointF start, QPointF controlPoint1, QPointF controlPoint2, QPointF end)
{
    return std::make_shared<CubicBezierCurve>(start, controlPoint1, controlPoint2, end);
}

QList<BezierCurvePtr> CubicBezierCurve::subdivided() const
{
    const QPointF a = midpoint(p1(), m_ctrl1);
    const QPointF b = midpoint(m_ctrl1, m_ctrl2);
    const QPointF c = midpoint(m_ctrl2, p2());
    const QPointF d = midpoint(a, b);
    const QPointF e = midpoint(b, c);
    const QPointF m = midpoint(d, e);
    return { std::make_shared<CubicBezierCurve>(p1(), a, d, m),
        std::make_shared<CubicBezierCurve>(m, e, c, p2()) };
}

bool CubicBezierCurve::isNearLinear() const
{
    // A closed loop draws as its one point, however far the controls reach.
    if (p1() == p2())
        return true;
    // A control that is not finite cannot be flattened; the chord stands for the curve.
    if (!isFinite(m_ctrl1) || !isFinite(m_ctrl2))
        return true;
    return distanceFromLine(m_ctrl1, p1(), p2()) < kFlatness
        && distanceFromLine(m_ctrl2, p1(), p2()) < kFlatness;
}
