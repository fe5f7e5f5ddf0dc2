#pragma once

#include "platform/plot/Plot.h"

#include <QList>
#include <QPointF>

#include <optional>

namespace platform::plot {

// Slices of a circle, one per record, sized by field 0 against the total of the positive
// values. A record without a positive value gets no slice (its legend line stays).
class PieChart : public Plot {
public:
    enum Field { SliceWidth = 0 };
    enum class Direction { Clockwise, CounterClockwise };

    using Plot::Plot;

    double pieRadius() const { return m_radius; }
    void setPieRadius(double radius) { m_radius = radius; }
    // Radians, counter-clockwise from the x axis.
    double startAngle() const { return m_startAngle; }
    void setStartAngle(double radians) { m_startAngle = radians; }
    // The angle drawn while an animation runs; none draws startAngle.
    std::optional<double> presentedStartAngle() const { return m_presentedStartAngle; }
    void setPresentedStartAngle(std::optional<double> radians);
    Direction sliceDirection() const { return m_direction; }
    void setSliceDirection(Direction direction) { m_direction = direction; }
    Fill overlayFill() const { return m_overlayFill; }
    void setOverlayFill(const Fill& fill) { m_overlayFill = fill; }
    bool labelRotationRelativeToRadius() const { return m_relativeRotation; }
    void setLabelRotationRelativeToRadius(bool relative) { m_relativeRotation = relative; }
    // The centre as fractions of the plot area, y up.
    QPointF centerAnchor() const { return m_centerAnchor; }
    void setCenterAnchor(const QPointF& anchor) { m_centerAnchor = anchor; }

    // The centre in painted coordinates.
    QPointF center(const PlotSpace& space) const;
    struct Slice {
        qsizetype index = 0;
        double start = 0; // radians
        double sweep = 0; // radians, signed by the direction
        QPointF center; // moved out by the radial offset
    };
    QList<Slice> slices(const PlotSpace& space) const;

    std::optional<PlotRange> plotRangeForCoordinate(int coordinate) const override;
    void draw(QPainter& painter, const PlotSpace& space) const override;
    void drawLabels(QPainter& painter, const PlotSpace& space) const override;
    std::optional<qsizetype> recordAt(const PlotSpace& space, const QPointF& point) const override;

    qsizetype legendEntryCount() const override { return recordCount(); }
    QString legendTitle(qsizetype index) const override;
    Fill legendFill(qsizetype index) const override;

protected:
    int fieldCount() const override { return 1; }
    void didReload() override;

private:
    Fill sliceFill(qsizetype index) const;

    double m_radius = 40;
    double m_startAngle = 0;
    std::optional<double> m_presentedStartAngle;
    Direction m_direction = Direction::Clockwise;
    Fill m_overlayFill;
    bool m_relativeRotation = false;
    QPointF m_centerAnchor { 0.5, 0.5 };
    QList<Fill> m_fills;
    QList<double> m_offsets;
    QList<QString> m_legendTitles;
};

} // namespace platform::plot
