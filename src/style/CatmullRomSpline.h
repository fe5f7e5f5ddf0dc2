#pragma once

#include "style/Spline.h"

// Turns a stream of touch points into cubic segments through them. The newest stretch is a
// provisional quadratic tail that the next point replaces.
class CatmullRomSpline : public Spline {
public:
    explicit CatmullRomSpline(QPointF point);
    static std::shared_ptr<CatmullRomSpline> catmullRomSplineAtPoint(QPointF point);

    // Points closer than kMinimumDistance to the last accepted one only move the tail.
    void addPoint(QPointF point);

    QPointF p() const { return m_p; }
    QPointF p1() const { return m_p1; }
    QPointF p2() const { return m_p2; }
    QPointF p3() const { return m_p3; }

    static constexpr double kMinimumDistance = 15.0;

private:
    QPointF m_p;
    QPointF m_p1;
    QPointF m_p2;
    QPointF m_p3;
};
