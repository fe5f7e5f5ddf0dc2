#include "widgets/HUDBarProgressView.h"

#include "platform/ui/PathArcs.h"
#include "widgets/ProgressHUDFailures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

using platform::ui::PathArcs::addArc;
using platform::ui::PathArcs::addArcToPoint;

HUDBarProgressView::HUDBarProgressView(QWidget* parent)
    : HUDBarProgressView(QRectF(0, 0, 120, 20), parent)
{
}

HUDBarProgressView::HUDBarProgressView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setBackgroundColor(Qt::transparent);
}

void HUDBarProgressView::setProgress(float progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    setNeedsDisplay();
}

void HUDBarProgressView::setProgressRemainingColor(const QColor& color)
{
    ProgressHUDFailures::requireColor(color);
    if (color == m_progressRemainingColor)
        return;
    m_progressRemainingColor = color;
    setNeedsDisplay();
}

void HUDBarProgressView::setProgressColor(const QColor& color)
{
    ProgressHUDFailures::requireColor(color);
    if (color == m_progressColor)
        return;
    m_progressColor = color;
    setNeedsDisplay();
}

QSizeF HUDBarProgressView::intrinsicContentSize() const
{
    return QSizeF(120, 10);
}

void HUDBarProgressView::drawRect(QPainter& painter, const QRectF& rect)
{
    const double w = rect.width();
    const double h = rect.height();
    painter.save();
    painter.translate(rect.topLeft());

    // The outline, filled with the remaining colour.
    double r = h / 2 - 2;
    QPainterPath outline;
    outline.moveTo(2, h / 2);
    addArcToPoint(outline, QPointF(2, 2), QPointF(r + 2, 2), r);
    addArcToPoint(outline, QPointF(w - 2, 2), QPointF(w - 2, h / 2), r);
    addArcToPoint(outline, QPointF(w - 2, h - 2), QPointF(w - r - 2, h - 2), r);
    addArcToPoint(outline, QPointF(2, h - 2), QPointF(2, h / 2), r);
    outline.closeSubpath();
    painter.fillPath(outline, m_progressRemainingColor);
    painter.strokePath(outline, QPen(m_lineColor, 2.0));

    // The progress, two halves about the middle line.
    r -= 2;
    const double amount = double(m_progress) * w;
    QPainterPath upper;
    QPainterPath lower;
    upper.setFillRule(Qt::WindingFill);
    lower.setFillRule(Qt::WindingFill);
    upper.moveTo(4, h / 2);
    addArcToPoint(upper, QPointF(4, 4), QPointF(r + 4, 4), r);
    lower.moveTo(4, h / 2);
    addArcToPoint(lower, QPointF(4, h - 4), QPointF(r + 4, h - 4), r);
    bool draw = true;
    if (amount >= r + 4 && amount <= w - r - 4) {
        upper.lineTo(amount, 4);
        upper.lineTo(amount, r + 4);
        lower.lineTo(amount, h - 4);
        lower.lineTo(amount, r + 4);
    } else if (amount > r + 4) {
        // Into the right-hand cap.
        const double x = amount - (w - r - 4);
        double angle = std::acos(x / r);
        if (std::isnan(angle))
            angle = 0;
        const QPointF center(w - r - 4, h / 2);
        upper.lineTo(w - r - 4, 4);
        addArc(upper, center, r, std::numbers::pi, -angle, false);
        upper.lineTo(amount, h / 2);
        lower.lineTo(w - r - 4, h - 4);
        addArc(lower, center, r, -std::numbers::pi, angle, true);
        lower.lineTo(amount, h / 2);
    } else if (amount > 0) {
        // Inside the left-hand cap: the cap is drawn whole.
        upper.lineTo(r + 4, h / 2);
        lower.lineTo(r + 4, h / 2);
    } else {
        draw = false;
    }
    if (draw) {
        painter.fillPath(upper, m_progressColor);
        painter.fillPath(lower, m_progressColor);
    }
    painter.restore();
}
