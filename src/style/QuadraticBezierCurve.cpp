#include "style/QuadraticBezierCurve.h"

QuadraticBezierCurve::QuadraticBezierCurve(
    QPointF startPoint, QPointF controlPoint, QPointF endPoint)
    : BezierCurve(startPoint, endPoint)
    , m_ctrl(controlPoint)
{
}

std::shared_ptr<QuadraticBezierCurve> QuadraticBezierCurve::quadraticCurveWithStartPoint(
    QPointF startPoint, QPointF controlPoint, QPointF endPoint)
{
    return std::make_shared<QuadraticBezierCurve>(startPoint, controlPoint, endPoint);
}

QList<BezierCurvePtr> QuadraticBezierCurve::subdivided() const
{
    const QPointF a = midpoint(p1(), m_ctrl);
    const QPointF b = midpoint(m_ctrl, p2());
    const QPointF m = midpoint(a, b);
    return { std::make_shared<QuadraticBezierCurve>(p1(), a, m),
        std::make_shared<QuadraticBezierCurve>(m, b, p2()) };
}

bool QuadraticBezierCurve::isNearLinear() const
{
    // A control that is not finite cannot be flattened; the chord stands for the curve.
    if (p1() == p2() || m_ctrl == p1() || m_ctrl == p2() || !isFinite(m_ctrl))
        return true;
    return distanceFromLine(m_ctrl, p1(), p2()) < kFlatness;
}
