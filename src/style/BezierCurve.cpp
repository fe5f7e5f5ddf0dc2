#include "style/BezierCurve.h"

#include <cmath>

namespace {

// Halving stops here whatever the curve: 16 halvings flatten controls up to 2^31 units off
// their chord, and the work stays bounded for absurd input.
constexpr int kMaxDepth = 16;

} // namespace

BezierCurve::BezierCurve(QPointF p1, QPointF p2)
    : m_p1(p1)
    , m_p2(p2)
{
}

BezierCurve::~BezierCurve() = default;

QList<QPointF> BezierCurve::asPointArray() const
{
    QList<QPointF> points;
    flatten(points, 0);
    points.append(m_p2);
    return points;
}

void BezierCurve::addToPointArray(QList<QPointF>& pointArray) const
{
    flatten(pointArray, 0);
}

void BezierCurve::flatten(QList<QPointF>& pointArray, int depth) const
{
    // Ends that are not finite never flatten: such a piece is drawn as its chord.
    if (depth >= kMaxDepth || !isFinite(m_p1) || !isFinite(m_p2) || isNearLinear()) {
        pointArray.append(m_p1);
        return;
    }
    for (const BezierCurvePtr& half : subdivided())
        half->flatten(pointArray, depth + 1);
}

bool BezierCurve::isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

double BezierCurve::distanceFromLine(QPointF q, QPointF a, QPointF b)
{
    const QPointF chord = b - a;
    const double length = std::hypot(chord.x(), chord.y());
    if (length == 0.0)
        return std::hypot(q.x() - a.x(), q.y() - a.y());
    const QPointF offset = q - a;
    return std::fabs(chord.x() * offset.y() - chord.y() * offset.x()) / length;
}

QPointF BezierCurve::midpoint(QPointF a, QPointF b)
{
    return QPointF((a.x() + b.x()) / 2.0, (a.y() + b.y()) / 2.0);
}
