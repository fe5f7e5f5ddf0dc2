#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/LineStyle.h"
#include "platform/plot/TextStyle.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace platform::plot {

class Plot;

// The lines of a graph's plots (a swatch and a title each) in columns, row by row, in a
// rounded box anchored at the graph's lower right corner. A legend too long for its room
// ends with "…".
class Legend {
public:
    int numberOfColumns() const { return m_columns; }
    void setNumberOfColumns(int columns) { m_columns = std::max(1, columns); }
    Fill fill() const { return m_fill; }
    void setFill(const Fill& fill) { m_fill = fill; }
    std::optional<LineStyle> borderLineStyle() const { return m_border; }
    void setBorderLineStyle(const std::optional<LineStyle>& style) { m_border = style; }
    TextStyle textStyle() const { return m_textStyle; }
    void setTextStyle(const TextStyle& style) { m_textStyle = style; }
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius) { m_cornerRadius = radius; }
    // Moves the box from its corner (x right, y up).
    QPointF displacement() const { return m_displacement; }
    void setDisplacement(const QPointF& displacement) { m_displacement = displacement; }

    struct Entry {
        QString title;
        Fill swatch;
    };
    static QList<Entry> entriesOf(const QList<Plot*>& plots);

    // The box and the entries shown for the graph's bounds: as many rows as fit in the
    // room, the last cell "…" when some are left out.
    struct Layout {
        QRectF box;
        QList<Entry> shown;
        double columnWidth = 0;
        double rowHeight = 0;
    };
    Layout layout(const QList<Entry>& entries, const QRectF& bounds) const;
    void draw(QPainter& painter, const QList<Plot*>& plots, const QRectF& bounds) const;

    static const QString Ellipsis; // "…"
    // The share of the graph's height and width the box may take.
    static constexpr double MaximumHeightShare = 0.45;
    static constexpr double MaximumWidthShare = 0.6;

private:
    int m_columns = 1;
    Fill m_fill;
    std::optional<LineStyle> m_border;
    TextStyle m_textStyle;
    double m_cornerRadius = 0;
    QPointF m_displacement;
};

} // namespace platform::plot
