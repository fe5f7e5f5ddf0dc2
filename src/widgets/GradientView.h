#pragma once

#include "platform/ui/View.h"
#include "style/Color.h"

#include <QGradientStops>
#include <QList>

// A horizontal strip shading evenly through its colours, the first at the left edge and
// the last at the right; the colours' own transparency is not used.
class GradientView : public platform::ui::View {
    Q_OBJECT
public:
    explicit GradientView(QWidget* parent = nullptr);
    explicit GradientView(const QRectF& frame, QWidget* parent = nullptr);

    QList<Color> colors() const { return m_colors; }
    // Fewer than two colours, or the colours already shown, change nothing.
    void setColors(const QList<Color>& colors);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QList<Color> m_colors;
    QGradientStops m_gradient;
};
