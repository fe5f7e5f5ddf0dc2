#include "reports/GenericTemplateReportDataSource.h"

#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "model/ColumnDisplay.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/ReportRows.h"
#include "utilities/store/KivoLibContext.h"

#include <QHash>
#include <QThread>

namespace {

// Copies of the columns that belong to no context and no thread, so the worker reads
// them while the screen's own columns go on changing. They keep the model that describes
// them.
class DetachedColumns {
public:
    explicit DetachedColumns(const QList<TemplateColumn*>& columns)
        : m_model(KivoLib::currentModel())
    {
        for (TemplateColumn* column : columns) {
            if (!column)
                continue;
            auto* copy = new TemplateColumn(&column->entity());
            const QList<QVariant> values = column->values();
            for (qsizetype i = 0; i < values.size(); ++i)
                copy->setValue(int(i), values.at(i));
            // No thread owns it: it may be read and deleted from whichever thread
            // holds the snapshot last.
            copy->moveToThread(nullptr);
            m_columns.append(copy);
        }
    }
    ~DetachedColumns() { qDeleteAll(m_columns); }
    DetachedColumns(const DetachedColumns&) = delete;
    DetachedColumns& operator=(const DetachedColumns&) = delete;

    const QList<TemplateColumn*>& columns() const { return m_columns; }

private:
    std::shared_ptr<const platform::coredata::ManagedObjectModel> m_model;
    QList<TemplateColumn*> m_columns;
};

// Each column's id and display, read once for all the rows.
using Displays = QList<std::pair<QString, ColumnDisplay>>;

Displays displaysOf(const QList<TemplateColumn*>& columns)
{
    Displays displays;
    displays.reserve(columns.size());
    for (const TemplateColumn* column : columns)
        displays.append({ column->id().toString(), ColumnDisplay(*column) });
    return displays;
}

QVariantMap formattedValues(const Displays& displays, const QVariantMap& values)
{
    QVariantMap formatted;
    for (const auto& [id, display] : displays)
        formatted.insert(id, display.text(values.value(id)));
    return formatted;
}

// What the export's worker reads the rows with.
struct Decoding {
    explicit Decoding(const QList<TemplateColumn*>& source)
        : columns(std::make_shared<const DetachedColumns>(source))
        , layout(Rows::storedLayout(columns->columns()))
        , displays(displaysOf(columns->columns()))
    {
        // A later column of the same id shows it, as in formattedValues.
        for (qsizetype i = 0; i < displays.size(); ++i)
            displayOf.insert(displays.at(i).first, i);
    }

    // The display texts of the keys, without a dictionary of them on the way.
    QStringList texts(const QVariantMap& values, const QStringList& keys) const
    {
        QStringList texts;
        texts.reserve(keys.size());
        for (const QString& key : keys) {
            const auto found = displayOf.constFind(key);
            texts.append(found == displayOf.constEnd()
                    ? QString()
                    : displays.at(*found).second.text(values.value(key)));
        }
        return texts;
    }

    std::shared_ptr<const DetachedColumns> columns;
    Rows::StoredLayout layout;
    Displays displays;
    QHash<QString, qsizetype> displayOf;
};

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
    return formattedValues(displaysOf(columns), reportRow(index));
}

std::shared_ptr<const ReportRows> GenericTemplateReportDataSource::reportRowsSnapshot()
{
    auto* source = table();
    if (!source)
        return std::make_shared<const ReportRows>(0, nullptr);
    auto decoding = std::make_shared<const Decoding>(source->Columns());
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
    const auto stored = std::make_shared<const QList<std::optional<QVariant>>>(std::move(texts));
    const auto decode = [decoding, password, stored](quint64 index) -> std::optional<QVariantMap> {
        const auto& text = stored->at(qsizetype(index));
        if (!text)
            return std::nullopt;
        return Rows::decodeStoredData(*text, decoding->layout, password);
    };
    return std::make_shared<const ReportRows>(
        count,
        [decoding, decode](quint64 index, bool formatted) -> std::optional<QVariantMap> {
            auto values = decode(index);
            if (!values || !formatted)
                return values;
            return formattedValues(decoding->displays, *values);
        },
        [decoding, decode](quint64 index, const QStringList& keys) -> std::optional<QStringList> {
            const auto values = decode(index);
            if (!values)
                return std::nullopt;
            return decoding->texts(*values, keys);
        });
}
