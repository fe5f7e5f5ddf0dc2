#include "grid/ServerTableCsv.h"

#include "grid/ContainsPredicate.h"
#include "grid/MatrixResponse.h"

#include <algorithm>
#include <charconv>

namespace {

const QLatin1String LineEnd("\r\n");

void appendQuoted(QString& text, const QString& field)
{
    text += u'"';
    if (field.contains(u'"')) {
        QString plain = field;
        text += plain.replace(u'"', u'\'');
    } else {
        text += field;
    }
    text += u'"';
}

// A whole number's digits, written without a text of its own: most server ids are.
bool appendWholeNumber(QString& text, const QVariant& value)
{
    char digits[24];
    std::to_chars_result written;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        written = std::to_chars(digits, digits + sizeof digits, value.toLongLong());
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        written = std::to_chars(digits, digits + sizeof digits, value.toULongLong());
        break;
    default:
        return false;
    }
    text += u'"';
    text += QLatin1StringView(digits, written.ptr - digits);
    text += u'"';
    return true;
}

void appendField(QString& text, const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        // Read in place: a copy of each text would cost a count up and down.
        const auto* field = static_cast<const QString*>(value.constData());
        if (!field->isEmpty())
            appendQuoted(text, *field);
        return;
    }
    if (appendWholeNumber(text, value))
        return;
    const QString field = ServerTableCsv::valueText(value);
    if (!field.isEmpty())
        appendQuoted(text, field);
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
        copy.rowEnds.reserve(table->Rows.size());
        // The cells the rows hold, not rows times columns: a reply of many columns and
        // empty rows would ask for far more than it carries.
        qsizetype cells = 0;
        for (const auto& row : table->Rows)
            cells += row ? row->Columns.size() : 0;
        copy.cells.reserve(cells);
        for (const auto& row : table->Rows) {
            if (row) {
                for (const ResponseRowColumn& cell : row->Columns)
                    copy.cells.append(cell.Value);
            }
            copy.rowEnds.append(copy.cells.size());
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
    // About ten characters a field, so the text rarely grows by copying.
    qsizetype expected = 0;
    for (const Table& table : snapshot)
        expected += table.cells.size() * 10;
    text.reserve(expected);
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
        qsizetype start = 0;
        for (const qsizetype end : table.rowEnds) {
            bool first = true;
            // Cells past the table's columns have no column to be written under.
            const qsizetype cells = std::min(end - start, table.visible.size());
            for (qsizetype i = 0; i < cells; ++i) {
                if (!table.visible[i])
                    continue;
                if (!first)
                    text += u',';
                first = false;
                appendField(text, table.cells[start + i]);
            }
            text += LineEnd;
            start = end;
        }
        text += LineEnd;
    }
    return text;
}
