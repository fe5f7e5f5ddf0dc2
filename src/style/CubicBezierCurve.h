#pragma once

#include "style/BezierCurve.h"

class CubicBezierCurve : public BezierCurve {
public:
    CubicBezierCurve(QPointF start, QPointF controlPoint1, QPointF controlPoint2, QPointF end);
    static std::shared_ptr<CubicBezierCurve> cubicCurveWithStart(
        QPointF start, QPointF controlPoint1, QPointF controlPoint2, QPointF end);

    QList<BezierCurvePtr> subdivided() const override;
    bool isNearLinear() const override;

    QPointF ctrl1() const { return m_ctrl1; }
    QPointF ctrl2() const { return m_ctrl2; }

private:
    QPointF m_ctrl1;
    QPointF m_ctrl2;
};
