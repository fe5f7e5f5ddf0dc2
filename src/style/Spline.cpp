#include "style/Spline.h"

#include "style/CubicBezierCurve.h"
#include "style/LinearBezierCurve.h"
#include "style/QuadraticBezierCurve.h"

Spline::Spline(QPointF point)
    : m_begin(point)
    , m_current(point)
{
    m_curves.reserve(kInitialCapacity);
}

Spline::~Spline() = default;

std::shared_ptr<Spline> Spline::splineAtPoint(QPointF point)
{
    return std::make_shared<Spline>(point);
}

void Spline::addLinearCurveToPoint(QPointF point)
{
    m_curves.append(std::make_shared<LinearBezierCurve>(m_current, point));
    m_current = point;
}

void Spline::addQuadCurveWithControl(QPointF control, QPointF toPoint)
{
    m_curves.append(std::make_shared<QuadraticBezierCurve>(m_current, control, toPoint));
    m_current = toPoint;
}

void Spline::addCubicCurveWithControl1(QPointF control1, QPointF control2, QPointF toPoint)
{
    m_curves.append(std::make_shared<CubicBezierCurve>(m_current, control1, control2, toPoint));
    m_current = toPoint;
}

void Spline::removeLastCurve()
{
    if (!m_curves.isEmpty())
        m_curves.removeLast();
}

QList<QPointF> Spline::asPointArray() const
{
    if (m_curves.isEmpty())
        return { m_begin };
    QList<QPointF> points;
    points.reserve(m_curves.size() * 3);
    for (const BezierCurvePtr& curve : m_curves)
        curve->addToPointArray(points);
    points.append(m_curves.last()->p2());
    return points;
}
