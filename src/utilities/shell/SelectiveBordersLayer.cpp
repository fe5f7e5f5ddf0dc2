#include "utilities/shell/SelectiveBordersLayer.h"

#include <QPainter>

void SelectiveBordersLayer::setSelectiveBorderFlag(quint64 flag)
{
    m_hasBorderLayer = true;
    m_flag = flag;
    setNeedsDisplay();
}

void SelectiveBordersLayer::setSelectiveBordersColor(const QColor& color)
{
    m_color = color;
    setNeedsDisplay();
}

void SelectiveBordersLayer::setSelectiveBordersWidth(float width)
{
    m_width = width;
    setNeedsDisplay();
}

QPainterPath SelectiveBordersLayer::borderPath(const QRectF& bounds) const
{
    QPainterPath path;
    if (!m_hasBorderLayer)
        return path;
    const double half = double(m_width) / 2.0;
    const double maxX = bounds.right();
    const double maxY = bounds.bottom();
    if (m_flag & Left) {
        path.moveTo(half, 0);
        path.lineTo(half, maxY);
    }
    if (m_flag & Right) {
        path.moveTo(maxX - half, 0);
        path.lineTo(maxX - half, maxY);
    }
    if (m_flag & Top) {
        path.moveTo(0, half);
        path.lineTo(maxX, half);
    }
    if (m_flag & Bottom) {
        path.moveTo(0, maxY - half);
        path.lineTo(maxX, maxY - half);
    }
    return path;
}

void SelectiveBordersLayer::drawOver(QPainter& painter, const QRectF& bounds)
{
    if (!m_hasBorderLayer || m_width <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(m_color, double(m_width));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(borderPath(bounds));
    painter.restore();
}

void SelectiveBordersLayer::layoutSublayers()
{
    setNeedsDisplay();
}
