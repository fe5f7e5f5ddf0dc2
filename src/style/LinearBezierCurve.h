#pragma once

#include "style/BezierCurve.h"

// A straight segment; always flat.
class LinearBezierCurve : public BezierCurve {
public:
    LinearBezierCurve(QPointF startPoint, QPointF endPoint);
    static std::shared_ptr<LinearBezierCurve> linearCurveWithStartPoint(
        QPointF startPoint, QPointF endPoint);

    QList<BezierCurvePtr> subdivided() const override;
    bool isNearLinear() const override { return true; }
};
