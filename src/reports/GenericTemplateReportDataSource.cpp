#include "reports/GenericTemplateReportDataSource.h"

#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "model/ColumnDisplay.h"
#include "model/DetachedColumns.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/ReportRows.h"
#include "utilities/store/KivoLibContext.h"

#include <QHash>
#include <QThread>

#include <atomic>

namespace {

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

    // The layout with key texts of this thread's own: decoded rows share their key texts,
    // and texts shared between threads would have them wait on one another's counts.
    const Rows::StoredLayout& threadLayout() const
    {
        thread_local Kept kept;
        if (kept.owner != id) {
            kept.layout = layout;
            for (QString& key : kept.layout.keys)
                key = QString(key.constData(), key.size());
            kept.owner = id;
        }
        return kept.layout;
    }

    std::shared_ptr<const DetachedColumns> columns;
    Rows::StoredLayout layout;
    Displays displays;
    QHash<QString, qsizetype> displayOf;

private:
    struct Kept {
        quint64 owner = 0;
        Rows::StoredLayout layout;
    };
    static quint64 nextId()
    {
        static std::atomic<quint64> last { 0 };
        return ++last;
    }
    const quint64 id = nextId();
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
            row && !row->isDeleted() ? std::optional<QVariant>(row->storedJson()) : std::nullopt);
    }
    const auto stored = std::make_shared<const QList<std::optional<QVariant>>>(std::move(texts));
    const auto decode = [decoding, password, stored](quint64 index) -> std::optional<QVariantMap> {
        const auto& text = stored->at(qsizetype(index));
        if (!text)
            return std::nullopt;
        return Rows::decodeStoredData(*text, decoding->threadLayout(), password);
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
