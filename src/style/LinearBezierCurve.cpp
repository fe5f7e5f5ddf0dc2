#include "style/LinearBezierCurve.h"

LinearBezierCurve::LinearBezierCurve(QPointF startPoint, QPointF endPoint)
    : BezierCurve(startPoint, endPoint)
{
}

std::shared_ptr<LinearBezierCurve> LinearBezierCurve::linearCurveWithStartPoint(
    QPointF startPoint, QPointF endPoint)
{
    return std::make_shared<LinearBezierCurve>(startPoint, endPoint);
}

QList<BezierCurvePtr> LinearBezierCurve::subdivided() const
{
    const QPointF m = midpoint(p1(), p2());
    return { std::make_shared<LinearBezierCurve>(p1(), m),
        std::make_shared<LinearBezierCurve>(m, p2()) };
}
