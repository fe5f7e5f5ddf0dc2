#include "reports/charts/ChartDataController.h"

#include "grid/BaseDataController.h"
#include "grid/GridScreenProtocol.h"
#include "model/FilterExtended.h"
#include "model/RowPredicate.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/ChartHostViewController.h"
#include "reports/charts/ChartInfo.h"
#include "reports/charts/DecimalSum.h"
#include "reports/charts/LineChart.h"
#include "reports/charts/PieChart.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

const QString ChartDataController::RowUnreadable
    = QStringLiteral("A row could not be read with the table's password, so no chart was drawn.");

namespace {

QString idOf(const TemplateColumn* column)
{
    return column ? column->id().toString() : QString();
}

bool hasBound(const QVariant& value)
{
    if (RowValueCompare::isMissing(value))
        return false;
    if (value.typeId() == QMetaType::QString)
        return !value.toString().isEmpty();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().isValid();
    return true;
}

std::shared_ptr<FilterExtended> rangeFilter(
    TemplateColumn* column, const QString& condition, const QVariant& value)
{
    auto filter = std::make_shared<FilterExtended>();
    filter->setColumn(idOf(column));
    filter->setHeader(column->name().toString());
    filter->setAndOr(LocalizedStrings::And());
    filter->setOperator(condition);
    const QString type = column->typeName();
    if (TypeConstants::isNumber(type))
        filter->setNumericValue(value.toDouble());
    else if (TypeConstants::isDate(type))
        filter->setDateValue(value.toDateTime());
    else
        filter->setTextValue(value.toString());
    return filter;
}

Rows::Columns columnsWithIds(const Rows::Columns& columns, const QSet<QString>& ids)
{
    Rows::Columns found;
    for (TemplateColumn* column : columns) {
        if (column && ids.contains(idOf(column)))
            found.append(column);
    }
    return found;
}

// The display text of a date for the grouping.
QString groupText(const QVariant& value, const QString& grouping)
{
    const platform::Date date = RowValueCompare::momentOf(value);
    if (grouping == LocalizedStrings::Daily())
        return KivoDateUtils::getDateString(date);
    if (grouping == LocalizedStrings::Monthly())
        return KivoDateUtils::getMonthYearString(date.toDateTime());
    return KivoDateUtils::getYearString(date.toDateTime());
}

bool isDateGrouping(const QString& grouping)
{
    return grouping == LocalizedStrings::Daily() || grouping == LocalizedStrings::Monthly()
        || grouping == LocalizedStrings::Yearly();
}

struct Group {
    QVariant rawX;
    QString key;
    double position = 0;
    DecimalSum sum;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
};

} // namespace

ChartDataController::ChartDataController(BaseDataController* dataController)
    : m_dataController(dataController)
{
}

bool ChartDataController::lacksPassword(BaseDataController* dataController)
{
    auto* table = dynamic_cast<GenericTemplateDataControllerProtocol*>(dataController);
    UserTemplate* user = table ? table->userTemplate() : nullptr;
    return user && user->isprotected().toBool() && !table->secret();
}

std::optional<QList<ChartDataController::XYRow>> ChartDataController::readRows(
    const QString& userTemplateId, const Rows::Columns& columns, const Rows::Filters& filters,
    const Rows::Password& password, TemplateColumn* xcolumn, TemplateColumn* ycolumn,
    const QVariant& minValue, const QVariant& maxValue, QString* message)
{
    QList<XYRow> read;
    if (!xcolumn)
        return read;
    const RowPredicate shown(columns, filters);
    Rows::Filters bounds;
    if (hasBound(minValue))
        bounds << rangeFilter(xcolumn, LocalizedStrings::GreaterThanOrEqualTo(), minValue);
    if (hasBound(maxValue))
        bounds << rangeFilter(xcolumn, LocalizedStrings::LessThanOrEqualTo(), maxValue);
    const RowPredicate range(columns, bounds);

    QSet<QString> needed { idOf(xcolumn) };
    if (ycolumn)
        needed.insert(idOf(ycolumn));
    for (const QString& key : shown.keys())
        needed.insert(key);
    const Rows::StoredLayout layout = Rows::storedLayout(columnsWithIds(columns, needed));
    const QString xId = idOf(xcolumn);
    const QString yId = idOf(ycolumn);

    const QList<Rows*> rows = Rows::getRows(userTemplateId, columns, {}, {}, password);
    read.reserve(rows.size());
    for (Rows* row : rows) {
        if (!row)
            continue;
        const auto values = Rows::decodeStoredData(row->storedJson(), layout, password, true);
        if (!values) {
            // A row the password does not open must not quietly drop out of the chart.
            if (message)
                *message = LocalizedStrings::getLocalizedString(RowUnreadable);
            return std::nullopt;
        }
        if (!shown.isEmpty() && !shown.evaluate(*values))
            continue;
        if (!range.isEmpty() && !range.evaluate(*values))
            continue;
        XYRow entry;
        entry.x = values->value(xId);
        if (RowValueCompare::isMissing(entry.x))
            continue;
        if (ycolumn) {
            entry.y = values->value(yId);
            if (RowValueCompare::isMissing(entry.y))
                continue;
        }
        entry.key = RowValueCompare::keyOf(entry.x);
        read.append(std::move(entry));
    }
    std::stable_sort(read.begin(), read.end(),
        [](const XYRow& a, const XYRow& b) { return RowValueCompare::compare(a.key, b.key) < 0; });
    return read;
}

std::shared_ptr<ChartInfo> ChartDataController::buildChart(
    const QVariantMap& definition, QString* message)
{
    const auto refuse = [message](const QString& text) {
        if (message)
            *message = text;
        return std::shared_ptr<ChartInfo>();
    };
    BaseDataController* controller = m_dataController;
    auto* table = dynamic_cast<GenericTemplateDataControllerProtocol*>(controller);
    if (!controller || !table || !table->userTemplate())
        return refuse(LocalizedStrings::InvalidData());

    const QString xName = definition.value(QStringLiteral("xaxis")).toString();
    const QString yName = definition.value(QStringLiteral("yaxis")).toString();
    const QString function = definition.value(QStringLiteral("function")).toString();
    const QString grouping = definition.value(QStringLiteral("grouping")).toString();
    if (xName == LocalizedStrings::None() || yName == LocalizedStrings::None())
        return refuse(LocalizedStrings::InvalidData());
    const Rows::Columns& columns = table->Columns();
    TemplateColumn* xcolumn = TemplateColumn::getColumnForName(xName, columns);
    TemplateColumn* ycolumn = TemplateColumn::getColumnForName(yName, columns);
    if (!xcolumn || !ycolumn)
        return refuse(LocalizedStrings::InvalidData());
    if (lacksPassword(controller))
        return refuse(LocalizedStrings::PasswordInvalid());

    auto chart = std::make_shared<ChartInfo>();
    chart->title = table->userTemplate()->name().toString();
    chart->ytitle = ycolumn->name().toString();
    chart->xAxisType = xcolumn->typeName();
    chart->xtitle = xcolumn->name().toString();
    chart->yDecimal = unsigned(std::max(0, ModelRegistry::intValue(ycolumn->precision())));
    chart->theme = definition.value(QStringLiteral("theme")).toString();

    const auto rows
        = readRows(table->userTemplate()->id().toString(), columns, controller->filters(),
            table->secret(), xcolumn, ycolumn, definition.value(QStringLiteral("minValue")),
            definition.value(QStringLiteral("maxValue")), message);
    if (!rows)
        return nullptr;

    const QString xType = xcolumn->typeName();
    const bool dateX = TypeConstants::isDate(xType);
    const bool grouped = dateX && isDateGrouping(grouping);
    QList<Group> groups;
    QString lastKey;
    const RowValueCompare::Key* lastX = nullptr;
    for (const XYRow& row : *rows) {
        // Rows of one x value share its key; the text is made once per value.
        if (!lastX || RowValueCompare::compare(row.key, *lastX) != 0)
            lastKey = grouped ? groupText(row.x, grouping) : xcolumn->getStringValue(row.x);
        lastX = &row.key;
        if (lastKey.isEmpty())
            continue;
        if (groups.isEmpty() || groups.last().key != lastKey) {
            Group group;
            group.rawX = row.x;
            group.key = lastKey;
            if (grouped)
                group.position = groupingDate(RowValueCompare::momentOf(row.x), grouping);
            groups.append(std::move(group));
        }
        Group& group = groups.last();
        const double y = row.y.toDouble();
        group.sum.add(y);
        group.minimum = std::min(group.minimum, y);
        group.maximum = std::max(group.maximum, y);
    }

    for (qsizetype i = 0; i < groups.size(); ++i) {
        const Group& group = groups[i];
        auto point = std::make_shared<ChartData>();
        point->label = group.key;
        if (TypeConstants::isNumber(xType))
            point->xValue = group.rawX.toDouble();
        else if (dateX)
            point->xValue
                = grouped ? group.position : RowValueCompare::momentOf(group.rawX).unixTime();
        else
            point->xValue = double(i + 1);
        if (function == LocalizedStrings::Count())
            point->value = double(group.sum.count());
        else if (function == LocalizedStrings::Minimum())
            point->value = group.minimum;
        else if (function == LocalizedStrings::Maximum())
            point->value = group.maximum;
        else if (function == LocalizedStrings::Average())
            point->value = group.sum.average();
        else
            point->value = group.sum.sum();
        point->yLabel = ycolumn->getStringValue(QVariant(point->value));
        chart->chartData.append(point);
    }
    if (definition.value(QStringLiteral("type")).toString() == LocalizedStrings::Line())
        createXTicks(*chart, xcolumn, grouping);
    return chart;
}

std::shared_ptr<BaseChart> ChartDataController::chartForType(
    const QString& type, const std::shared_ptr<ChartInfo>& info)
{
    if (type == LocalizedStrings::Bar())
        return std::make_shared<BarChart>(info);
    if (type == LocalizedStrings::Line())
        return std::make_shared<LineChart>(info);
    if (type == LocalizedStrings::Pie())
        return std::make_shared<PieChart>(info);
    return nullptr;
}

void ChartDataController::plotChart(const QVariantMap& definition)
{
    QString message;
    const std::shared_ptr<ChartInfo> info = buildChart(definition, &message);
    if (!info) {
        MessageHelper::ShowMessage(message, false);
        return;
    }
    const std::shared_ptr<BaseChart> chart
        = chartForType(definition.value(QStringLiteral("type")).toString(), info);
    BaseDataController* controller = m_dataController;
    GridScreenProtocol* grid = controller ? controller->mainGridViewController() : nullptr;
    platform::ui::ViewController* screen = grid ? grid->gridViewController() : nullptr;
    platform::ui::NavigationController* navigation
        = screen ? screen->navigationController() : nullptr;
    if (!chart || !navigation)
        return;
    chart->setParentViewController(screen);
    auto* host = new ChartHostViewController();
    navigation->pushViewController(host, true);
    host->setPlotItem(chart);
}

double ChartDataController::groupingDate(const platform::Date& date, const QString& grouping)
{
    if (!date.isValid())
        return std::nan("");
    const QDateTime local = date.toDateTime();
    const QDate day = local.date();
    if (grouping == LocalizedStrings::Daily())
        return KivoDateUtils::ConvertToUnixTime(platform::Date(KivoDateUtils::getOnlyDate(local)));
    if (grouping == LocalizedStrings::Monthly())
        return KivoDateUtils::ConvertToUnixTime(
            platform::Date(dateWithYear(day.year(), day.month(), 1)));
    if (grouping == LocalizedStrings::Yearly())
        return KivoDateUtils::ConvertToUnixTime(platform::Date(dateWithYear(day.year(), 12, 31)));
    return date.unixTime();
}

QDateTime ChartDataController::dateWithYear(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0, 0));
}

void ChartDataController::createXTicks(
    ChartInfo& chart, TemplateColumn* xcolumn, const QString& grouping)
{
    chart.xAxisLabels.clear();
    if (!xcolumn || chart.chartData.size() < 8)
        return;
    const QString type = xcolumn->typeName();
    const bool dateX = TypeConstants::isDate(type);
    if (!dateX && !TypeConstants::isNumber(type))
        return;
    // Double precision: a float rounds a Unix time to whole minutes and more.
    const double first = chart.chartData.first()->xValue;
    const double last = chart.chartData.last()->xValue;
    const double step = (last - first) / 6;
    const int ticks = step > 0 && std::isfinite(step) ? 7 : 1;
    for (int i = 0; i < ticks; ++i) {
        const double position = i == 6 ? last : first + i * step;
        QString label;
        if (!dateX) {
            label = xcolumn->getStringValue(QVariant(position));
        } else {
            const platform::Date date = platform::Date::fromUnixTime(position);
            if (grouping == LocalizedStrings::Daily())
                label = KivoDateUtils::getDateString(date);
            else if (grouping == LocalizedStrings::Monthly())
                label = KivoDateUtils::getMonthYearString(date.toDateTime());
            else if (grouping == LocalizedStrings::Yearly())
                label = KivoDateUtils::getYearString(date.toDateTime());
            else
                label = xcolumn->getStringValue(QVariant::fromValue(date));
        }
        // Positions closer than the labels show share a label: only the first gets a tick.
        if (!chart.xAxisLabels.isEmpty() && chart.xAxisLabels.last().first == label)
            continue;
        chart.xAxisLabels.append({ label, position });
    }
}
