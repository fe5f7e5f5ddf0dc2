#pragma once

#include "style/BezierCurve.h"

#include <QList>
#include <QPointF>

// A chain of Bézier segments from a start point, each beginning where the last one ended.
class Spline {
public:
    explicit Spline(QPointF point);
    virtual ~Spline();
    static std::shared_ptr<Spline> splineAtPoint(QPointF point);

    void addLinearCurveToPoint(QPointF point);
    void addQuadCurveWithControl(QPointF control, QPointF toPoint);
    void addCubicCurveWithControl1(QPointF control1, QPointF control2, QPointF toPoint);
    // Drops the last segment; current stays where it is.
    void removeLastCurve();
    // The flattened chain: begin alone without segments, else each joint once and the end.
    QList<QPointF> asPointArray() const;

    const QList<BezierCurvePtr>& curves() const { return m_curves; }
    QPointF begin() const { return m_begin; }
    QPointF current() const { return m_current; }

protected:
    void setCurrent(QPointF point) { m_current = point; }

private:
    static constexpr qsizetype kInitialCapacity = 20;

    QList<BezierCurvePtr> m_curves;
    QPointF m_begin;
    QPointF m_current;
};
