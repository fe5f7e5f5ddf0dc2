#include "grid/ServerTableCsv.h"

#include "grid/ContainsPredicate.h"
#include "grid/MatrixResponse.h"

namespace {

const QLatin1String LineEnd("\r\n");

void appendQuoted(QString& text, const QString& field)
{
    text += u'"';
    const qsizetype start = text.size();
    text += field;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] == u'"')
            text[i] = u'\'';
    }
    text += u'"';
}

} // namespace

ServerTableCsv::Snapshot ServerTableCsv::snapshot(const MatrixResponse& response)
{
    Snapshot tables;
    for (const auto& table : response.Tables) {
        if (!table || table->Rows.isEmpty())
            continue;
        Table copy;
        copy.visible.reserve(table->Columns.size());
        for (const ResponseColumn& column : table->Columns) {
            copy.visible.append(!column.isImageColumn());
            if (!column.isImageColumn())
                copy.headers.append(column.Header);
        }
        copy.rows.reserve(table->Rows.size());
        for (const auto& row : table->Rows) {
            QVariantList values;
            if (row) {
                values.reserve(row->Columns.size());
                for (const ResponseRowColumn& cell : row->Columns)
                    values.append(cell.Value);
            }
            copy.rows.append(std::move(values));
        }
        tables.append(std::move(copy));
    }
    return tables;
}

QString ServerTableCsv::valueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return {};
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return ContainsPredicate::numberText(value);
    default:
        return value.toString();
    }
}

QString ServerTableCsv::text(const Snapshot& snapshot)
{
    QString text;
    for (const Table& table : snapshot) {
        if (!text.isEmpty()) {
            // A line of one comma between each pair of visible columns.
            if (table.headers.size() > 1)
                text += QString(table.headers.size() - 1, u',');
            text += LineEnd;
        }
        for (qsizetype i = 0; i < table.headers.size(); ++i) {
            if (i > 0)
                text += u',';
            appendQuoted(text, table.headers[i]);
        }
        text += LineEnd;
        for (const QVariantList& row : table.rows) {
            bool first = true;
            // Cells past the table's columns have no column to be written under.
            const qsizetype cells = std::min(row.size(), table.visible.size());
            for (qsizetype i = 0; i < cells; ++i) {
                if (!table.visible[i])
                    continue;
                if (!first)
                    text += u',';
                first = false;
                const QVariant& value = row[i];
                if (value.typeId() == QMetaType::QString) {
                    const QString field = value.toString();
                    if (!field.isEmpty())
                        appendQuoted(text, field);
                    continue;
                }
                const QString field = valueText(value);
                if (!field.isEmpty())
                    appendQuoted(text, field);
            }
            text += LineEnd;
        }
        text += LineEnd;
    }
    return text;
}
