#pragma once

#include "grid/BaseDataController.h"
#include "model/RowValueCompare.h"
#include "model/Rows.h"
#include "platform/Date.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <optional>

class BaseChart;
class ChartInfo;
class TemplateColumn;

// Turns a chart definition into a chart of the rows shown by a user table's rows screen:
// the rows that pass the grid's filters and lie within the x range, in x order, grouped by
// x (by day, month or year for a date), each group's y values counted, summed, averaged
// or reduced to their minimum or maximum; then pushes the chart screen. Each row is
// decoded once, and only the columns the chart and the filters need.
class ChartDataController {
public:
    // initWithDataController:. The data controller (a user table's) is held weakly.
    explicit ChartDataController(BaseDataController* dataController);

    BaseDataController* dataController() const { return m_dataController; }

    // Builds the chart and pushes its screen on the grid's navigation controller; shows
    // the reason instead when there is none to draw.
    void plotChart(const QVariantMap& definition);
    // The chart of the definition, or null with the message to show.
    std::shared_ptr<ChartInfo> buildChart(const QVariantMap& definition, QString* message);
    // The chart kind the definition's type names; null for another type.
    static std::shared_ptr<BaseChart> chartForType(
        const QString& type, const std::shared_ptr<ChartInfo>& info);

    // The x position of a date group as Unix time: the day's first instant (Daily), the
    // first of the month (Monthly) or 31 December (Yearly) at 12:00; the date itself for
    // another grouping.
    static double groupingDate(const platform::Date& date, const QString& grouping);
    // That day at 12:00:00 in the device's time zone.
    static QDateTime dateWithYear(int year, int month, int day);
    // Seven ticks from the first point's x to the last one's for 8 or more points of a
    // date or number x column; none otherwise.
    static void createXTicks(ChartInfo& chart, TemplateColumn* xcolumn, const QString& grouping);

    // One row as the chart reads it.
    struct XYRow {
        QVariant x;
        QVariant y;
        RowValueCompare::Key key; // of x
    };
    // The table's rows that pass the filters and lie within the bounds (an invalid bound
    // sets none), sorted by x, rows without an x (or, with a y column, a y) value left
    // out. Null, with the message, when a row cannot be read with the password.
    static std::optional<QList<XYRow>> readRows(const QString& userTemplateId,
        const Rows::Columns& columns, const Rows::Filters& filters, const Rows::Password& password,
        TemplateColumn* xcolumn, TemplateColumn* ycolumn, const QVariant& minValue,
        const QVariant& maxValue, QString* message);
    // The table's password is needed and not known.
    static bool lacksPassword(BaseDataController* dataController);

    static const QString RowUnreadable; // message text

private:
    QPointer<BaseDataController> m_dataController;
};
