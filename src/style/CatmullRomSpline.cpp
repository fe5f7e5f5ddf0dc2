#include "style/CatmullRomSpline.h"

#include <cmath>

namespace {

double distance(QPointF a, QPointF b)
{
    return std::hypot(b.x() - a.x(), b.y() - a.y());
}

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length == 0.0 ? v : v / length;
}

constexpr double kThird = 3.0;
constexpr double kTailScale = 5.0;

} // namespace

CatmullRomSpline::CatmullRomSpline(QPointF point)
    : Spline(point)
    , m_p(point)
    , m_p1(point)
    , m_p2(point)
    , m_p3(point)
{
}

std::shared_ptr<CatmullRomSpline> CatmullRomSpline::catmullRomSplineAtPoint(QPointF point)
{
    return std::make_shared<CatmullRomSpline>(point);
}

void CatmullRomSpline::addPoint(QPointF point)
{
    const double d = distance(m_p, point);
    // The last segment is the previous call's provisional tail.
    if (!curves().isEmpty())
        removeLastCurve();
    if (d >= kMinimumDistance) {
        m_p3 = m_p2;
        m_p2 = m_p1;
        m_p1 = m_p;
        m_p = point;
        const double s = distance(m_p2, m_p1) / kThird;
        const QPointF t1 = unit(m_p1 - m_p3);
        const QPointF t2 = unit(m_p - m_p2);
        addCubicCurveWithControl1(m_p2 + s * t1, m_p1 - s * t2, m_p1);
    }
    const QPointF before = current();
    addQuadCurveWithControl(m_p1 + (m_p - m_p2) / kTailScale, point);
    setCurrent(before);
}
