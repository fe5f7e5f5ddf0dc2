#pragma once

#include "platform/plot/LineStyle.h"
#include "platform/plot/Plot.h"
#include "platform/plot/PlotSymbol.h"

#include <optional>

namespace platform::plot {

// Records at (field 0, field 1) joined by a line in record order, each with a symbol.
class ScatterPlot : public Plot {
public:
    enum Field { X = 0, Y = 1 };

    using Plot::Plot;

    std::optional<LineStyle> dataLineStyle() const { return m_dataLineStyle; }
    void setDataLineStyle(const std::optional<LineStyle>& style) { m_dataLineStyle = style; }
    std::optional<PlotSymbol> plotSymbol() const { return m_plotSymbol; }
    void setPlotSymbol(const std::optional<PlotSymbol>& symbol) { m_plotSymbol = symbol; }

    QPointF viewPointOfRecord(const PlotSpace& space, qsizetype index) const;

    void draw(QPainter& painter, const PlotSpace& space) const override;
    void drawLabels(QPainter& painter, const PlotSpace& space) const override;
    // The nearest symbol within a finger's reach.
    std::optional<qsizetype> recordAt(const PlotSpace& space, const QPointF& point) const override;

    static constexpr double TouchReach = 15.0;

private:
    void drawSymbol(QPainter& painter, const QPointF& point) const;
    void drawSymbolImages(QPainter& painter, const PlotSpace& space) const;

    std::optional<LineStyle> m_dataLineStyle = LineStyle {};
    std::optional<PlotSymbol> m_plotSymbol;
};

} // namespace platform::plot
