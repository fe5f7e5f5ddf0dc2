#include "widgets/GradientView.h"

#include <QLinearGradient>
#include <QPainter>

GradientView::GradientView(QWidget* parent)
    : View(parent)
{
}

GradientView::GradientView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
}

void GradientView::setColors(const QList<Color>& colors)
{
    if (colors == m_colors || colors.size() < 2)
        return;
    m_colors = colors;
    m_gradient.clear();
    for (qsizetype i = 0; i < colors.size(); ++i) {
        // A grey counts as the RGB colour of its level; a colour with no RGB form, black.
        double red = 0, green = 0, blue = 0;
        if (!colors.at(i).getRed(&red, &green, &blue, nullptr))
            red = green = blue = 0;
        m_gradient.append(
            { double(i) / double(colors.size() - 1), QColor::fromRgbF(red, green, blue) });
    }
    setNeedsDisplay();
}

void GradientView::drawRect(QPainter& painter, const QRectF& rect)
{
    if (m_gradient.isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect);
    QLinearGradient gradient(QPointF(0, 0), QPointF(rect.width(), 0));
    gradient.setStops(m_gradient);
    painter.fillRect(rect, gradient);
    painter.restore();
}
