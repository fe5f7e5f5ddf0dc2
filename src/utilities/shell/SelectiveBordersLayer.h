#pragma once

#include "platform/ui/Layer.h"

#include <QPainterPath>

// A layer that strokes chosen edges only. Edges: 1 left, 2 right, 4 top, 8 bottom
// (default all four). Nothing is drawn until the flag is first set; each stroke lies just
// inside its edge.
class SelectiveBordersLayer : public platform::ui::Layer {
public:
    enum Edge : quint64 { Left = 1, Right = 2, Top = 4, Bottom = 8, All = 15 };

    SelectiveBordersLayer() = default;

    quint64 selectiveBorderFlag() const { return m_flag; }
    void setSelectiveBorderFlag(quint64 flag);
    QColor selectiveBordersColor() const { return m_color; }
    void setSelectiveBordersColor(const QColor& color);
    float selectiveBordersWidth() const { return m_width; }
    void setSelectiveBordersWidth(float width);

    // The path of the strokes for the bounds; empty before the flag was set.
    QPainterPath borderPath(const QRectF& bounds) const;
    bool hasBorderLayer() const { return m_hasBorderLayer; }

    void drawOver(QPainter& painter, const QRectF& bounds) override;
    void layoutSublayers() override;

private:
    quint64 m_flag = All;
    QColor m_color = Qt::black;
    float m_width = 0;
    bool m_hasBorderLayer = false;
};
