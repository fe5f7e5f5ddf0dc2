#include "reports/GenericTemplateReportDataSource.h"

#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "model/DetachedColumns.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/ReportRows.h"
#include "utilities/store/KivoLibContext.h"

#include <QThread>

namespace {

QVariantMap formattedValues(const QList<TemplateColumn*>& columns, const QVariantMap& values)
{
    QVariantMap formatted;
    for (const TemplateColumn* column : columns) {
        const QString id = column->id().toString();
        formatted.insert(id, column->getStringValue(values.value(id)));
    }
    return formatted;
}

} // namespace

GenericTemplateReportDataSource::GenericTemplateReportDataSource(BaseDataController* dataController)
    : m_dataController(dataController)
{
}

GenericTemplateDataControllerProtocol* GenericTemplateReportDataSource::table() const
{
    return dynamic_cast<GenericTemplateDataControllerProtocol*>(m_dataController.data());
}

Rows* GenericTemplateReportDataSource::rowAt(quint64 index) const
{
    if (!m_dataController)
        return nullptr;
    return qobject_cast<Rows*>(RowObject::object(m_dataController->getRowData(qint64(index))));
}

QString GenericTemplateReportDataSource::reportTitle()
{
    platform::ui::ViewController* grid
        = m_dataController ? m_dataController->viewController() : nullptr;
    return grid ? grid->title() : QString();
}

// One width for every column of the definition (the grid's own widths cover only the
// columns it shows), so widths and columns always pair by position.
QList<double> GenericTemplateReportDataSource::reportColumnWidths()
{
    QList<double> widths;
    if (auto* source = table()) {
        for (const TemplateColumn* column : source->Columns()) {
            if (column)
                widths.append(column->getColumnWidth() + WidthPadding);
        }
    }
    return widths;
}

OrderedDictionary GenericTemplateReportDataSource::reportColumns()
{
    OrderedDictionary columns;
    if (auto* source = table()) {
        for (const TemplateColumn* column : source->Columns()) {
            if (column)
                columns.setObject(column->name(), column->id().toString());
        }
    }
    return columns;
}

quint64 GenericTemplateReportDataSource::reportRowsCount()
{
    return m_dataController ? quint64(m_dataController->count()) : 0;
}

QVariantMap GenericTemplateReportDataSource::reportRow(quint64 index)
{
    auto* source = table();
    Rows* row = rowAt(index);
    if (!source || !row)
        return {};
    return row->getData(source->Columns(), source->secret());
}

QVariantMap GenericTemplateReportDataSource::reportRowFormatted(quint64 index)
{
    auto* source = table();
    if (!source)
        return {};
    QList<TemplateColumn*> columns;
    for (TemplateColumn* column : source->Columns()) {
        if (column)
            columns.append(column);
    }
    return formattedValues(columns, reportRow(index));
}

std::shared_ptr<const ReportRows> GenericTemplateReportDataSource::reportRowsSnapshot()
{
    auto* source = table();
    if (!source)
        return std::make_shared<const ReportRows>(0, nullptr);
    auto columns = std::make_shared<const DetachedColumns>(source->Columns());
    const Rows::Password password = source->secret();
    const quint64 count = reportRowsCount();
    // A row that is not a stored row of the table has no text at all and never decodes.
    QList<std::optional<QVariant>> texts;
    texts.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        Rows* row = rowAt(i);
        texts.append(
            row && !row->isDeleted() ? std::optional<QVariant>(row->json()) : std::nullopt);
    }
    return std::make_shared<const ReportRows>(count,
        [columns, password, texts = std::move(texts)](
            quint64 index, bool formatted) -> std::optional<QVariantMap> {
            const auto& text = texts.at(qsizetype(index));
            if (!text)
                return std::nullopt;
            auto values = Rows::decodeStoredData(*text, columns->columns(), password);
            if (!values || !formatted)
                return values;
            return formattedValues(columns->columns(), *values);
        });
}
