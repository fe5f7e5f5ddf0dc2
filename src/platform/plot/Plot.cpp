#include "platform/plot/Plot.h"

#include "platform/plot/Graph.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotDelegate.h"
#include "platform/plot/PlotSpace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::plot {

Plot::Plot(QString identifier)
    : m_identifier(std::move(identifier))
{
}

Plot::~Plot() = default;

void Plot::setHidden(bool hidden)
{
    m_hidden = hidden;
    setNeedsDisplay();
}

void Plot::reloadData()
{
    m_count = m_dataSource ? std::max<qsizetype>(0, m_dataSource->numberOfRecordsForPlot(this)) : 0;
    m_numbers.clear();
    m_labels.clear();
    for (int field = 0; field < fieldCount(); ++field) {
        QList<double> values;
        values.reserve(m_count);
        for (qsizetype i = 0; i < m_count; ++i)
            values.append(m_dataSource->numberForPlot(this, field, i));
        m_numbers.append(values);
    }
    m_labels.reserve(m_count);
    for (qsizetype i = 0; i < m_count; ++i)
        m_labels.append(m_dataSource->dataLabelForPlot(this, i));
    didReload();
    setNeedsDisplay();
}

double Plot::number(int field, qsizetype index) const
{
    if (field < 0 || field >= m_numbers.size() || index < 0 || index >= m_numbers[field].size())
        return std::numeric_limits<double>::quiet_NaN();
    return m_numbers[field][index];
}

const std::optional<TextLayer>& Plot::dataLabel(qsizetype index) const
{
    static const std::optional<TextLayer> none;
    return index >= 0 && index < m_labels.size() ? m_labels[index] : none;
}

std::optional<PlotRange> Plot::plotRangeForCoordinate(int coordinate) const
{
    if (coordinate >= fieldCount())
        return std::nullopt;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (qsizetype i = 0; i < m_count; ++i) {
        const double value = number(coordinate, i);
        if (!std::isfinite(value))
            continue;
        low = std::min(low, value);
        high = std::max(high, value);
    }
    if (low > high)
        return std::nullopt;
    return PlotRange::spanning(low, high);
}

std::optional<qsizetype> Plot::recordAt(const PlotSpace&, const QPointF&) const
{
    return std::nullopt;
}

bool Plot::pointingDeviceDown(const PlotSpace& space, const QPointF& point)
{
    if (m_hidden || !m_delegate || !m_delegate->respondsToRecordSelection())
        return false;
    const auto index = recordAt(space, point);
    if (!index)
        return false;
    m_delegate->recordWasSelected(this, *index);
    return true;
}

void Plot::setNeedsDisplay() const
{
    if (m_graph)
        m_graph->setNeedsDisplay();
}

void Plot::tryLabels(const PlotSpace& space,
    const std::function<std::optional<LabelPlace>(qsizetype)>& place,
    const std::function<void(qsizetype)>& tryLabel) const
{
    const bool dense = recordCount() > space.plotArea().width();
    qsizetype best = -1;
    double bestWeight = 0;
    double column = 0;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const auto& label = dataLabel(i);
        if (!label || label->text.isEmpty())
            continue;
        const std::optional<LabelPlace> at = place(i);
        if (!at)
            continue;
        if (!dense) {
            tryLabel(i);
            continue;
        }
        const double here = std::floor(at->x);
        if (best >= 0 && here == column) {
            if (at->weight > bestWeight) {
                best = i;
                bestWeight = at->weight;
            }
            continue;
        }
        if (best >= 0)
            tryLabel(best);
        best = i;
        bestWeight = at->weight;
        column = here;
    }
    if (best >= 0)
        tryLabel(best);
}

} // namespace platform::plot
