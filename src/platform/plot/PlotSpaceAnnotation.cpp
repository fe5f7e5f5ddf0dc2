#include "platform/plot/PlotSpaceAnnotation.h"

#include "platform/plot/PlotSpace.h"

#include <QPainter>

namespace platform::plot {

void PlotSpaceAnnotation::draw(QPainter& painter, const PlotSpace& space) const
{
    const QPointF anchor
        = space.viewPoint(anchorX, anchorY) + QPointF(displacement.x(), -displacement.y());
    if (!space.drawableArea().contains(anchor))
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    content.draw(painter, anchor, QPointF(0.5, 0.5), 0);
    painter.restore();
}

} // namespace platform::plot
