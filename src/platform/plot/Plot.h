#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/PlotRange.h"
#include "platform/plot/TextLayer.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace platform::plot {

class Graph;
class PlotDataSource;
class PlotDelegate;
class PlotSpace;

// One data set drawn in a graph's plot area. It reads its records from its data source
// when reloaded (not at every paint), and keeps them and their labels until the next
// reload.
class Plot {
public:
    explicit Plot(QString identifier = {});
    virtual ~Plot();
    Plot(const Plot&) = delete;
    Plot& operator=(const Plot&) = delete;

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    PlotDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(PlotDataSource* source) { m_dataSource = source; }
    PlotDelegate* delegate() const { return m_delegate; }
    void setDelegate(PlotDelegate* delegate) { m_delegate = delegate; }

    // Data labels: how far from their record, and turned by how many radians.
    double labelOffset() const { return m_labelOffset; }
    void setLabelOffset(double offset) { m_labelOffset = offset; }
    double labelRotation() const { return m_labelRotation; }
    void setLabelRotation(double radians) { m_labelRotation = radians; }

    // Reads every record and label again and asks the graph to repaint.
    void reloadData();
    qsizetype recordCount() const { return m_count; }
    // A number read at the last reload; NaN for one not read.
    double number(int field, qsizetype index) const;
    const std::optional<TextLayer>& dataLabel(qsizetype index) const;

    // The range the records take along a coordinate, none without records.
    virtual std::optional<PlotRange> plotRangeForCoordinate(int coordinate) const;
    virtual void draw(QPainter& painter, const PlotSpace& space) const = 0;
    virtual void drawLabels(QPainter& painter, const PlotSpace& space) const = 0;
    // The record under the point, if any.
    virtual std::optional<qsizetype> recordAt(const PlotSpace& space, const QPointF& point) const;
    // A tap at the point: a record under it is told to the delegate when it takes taps.
    bool pointingDeviceDown(const PlotSpace& space, const QPointF& point);

    // Legend lines: how many, their texts and swatches.
    virtual qsizetype legendEntryCount() const { return 0; }
    virtual QString legendTitle(qsizetype) const { return {}; }
    virtual Fill legendFill(qsizetype) const { return {}; }

    Graph* graph() const { return m_graph; }
    void setGraph(Graph* graph) { m_graph = graph; }

protected:
    // The fields a record has.
    virtual int fieldCount() const { return 2; }
    // Called after the records are read, for what a plot reads besides them.
    virtual void didReload() { }
    void setNeedsDisplay() const;

    // Where a record's label would go: the x of its pixel column and its weight there.
    struct LabelPlace {
        double x = 0;
        double weight = 0;
    };
    // Calls `tryLabel` for each record with a label and a place, in order. With more
    // records than pixel columns, only the heaviest of each column is tried (the first on
    // a tie), rather than measuring every label to leave out nearly all.
    void tryLabels(const PlotSpace& space,
        const std::function<std::optional<LabelPlace>(qsizetype)>& place,
        const std::function<void(qsizetype)>& tryLabel) const;

private:
    QString m_identifier;
    bool m_hidden = false;
    PlotDataSource* m_dataSource = nullptr;
    PlotDelegate* m_delegate = nullptr;
    double m_labelOffset = 0;
    double m_labelRotation = 0;
    qsizetype m_count = 0;
    QList<QList<double>> m_numbers; // by field
    QList<std::optional<TextLayer>> m_labels;
    Graph* m_graph = nullptr;
};

} // namespace platform::plot
