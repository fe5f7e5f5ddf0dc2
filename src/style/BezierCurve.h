#pragma once

#include <QList>
#include <QPointF>

#include <memory>

class BezierCurve;
using BezierCurvePtr = std::shared_ptr<BezierCurve>;

// A Bézier segment from p1 to p2 that flattens itself into a polyline by halving until
// each piece lies within half a unit of its chord.
class BezierCurve {
public:
    virtual ~BezierCurve();

    // The two halves at parameter one half, of the same kind as this curve.
    virtual QList<BezierCurvePtr> subdivided() const = 0;
    // True when the curve may be drawn as the straight segment from p1 to p2.
    virtual bool isNearLinear() const = 0;
    // A new polyline from p1 to p2 inclusive.
    QList<QPointF> asPointArray() const;
    // Appends the curve's points except its end point p2.
    void addToPointArray(QList<QPointF>& pointArray) const;

    QPointF p1() const { return m_p1; }
    QPointF p2() const { return m_p2; }

    // How far from its chord a control point may lie for the curve to count as straight.
    static constexpr double kFlatness = 0.5;

protected:
    BezierCurve(QPointF p1, QPointF p2);

    // Distance of point q from the line through a and b.
    static double distanceFromLine(QPointF q, QPointF a, QPointF b);
    static QPointF midpoint(QPointF a, QPointF b);
    static bool isFinite(QPointF p);

private:
    void flatten(QList<QPointF>& pointArray, int depth) const;

    QPointF m_p1;
    QPointF m_p2;
};
