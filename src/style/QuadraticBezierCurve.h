#pragma once

#include "style/BezierCurve.h"

class QuadraticBezierCurve : public BezierCurve {
public:
    QuadraticBezierCurve(QPointF startPoint, QPointF controlPoint, QPointF endPoint);
    static std::shared_ptr<QuadraticBezierCurve> quadraticCurveWithStartPoint(
        QPointF startPoint, QPointF controlPoint, QPointF endPoint);

    QList<BezierCurvePtr> subdivided() const override;
    bool isNearLinear() const override;

    QPointF ctrl() const { return m_ctrl; }

private:
    QPointF m_ctrl;
};
