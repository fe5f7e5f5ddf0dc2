#include "bridge/BridgeWireFormat.h"

#include "bridge/BridgeRequest.h"
#include "grid/MatrixResponse.h"
#include "grid/RequestTable.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {

// Thrown inside the parser only; the caller gets the text.
struct MalformedReply {
    QString reason;
};

[[noreturn]] void refuse(const QString& reason)
{
    throw MalformedReply { reason };
}

QString text(const QJsonObject& object, const QString& key, const QString& where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isString())
        refuse(QStringLiteral("%1 \"%2\" is not a text.").arg(where, key));
    return value.toString();
}

// A whole number from 0 to the largest 32-bit signed number.
unsigned count(const QJsonObject& object, const QString& key, const QString& where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return 0;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > std::numeric_limits<qint32>::max()
        || std::floor(number) != number)
        refuse(QStringLiteral("%1 \"%2\" is not a whole number from 0 to %3.")
                   .arg(where, key)
                   .arg(std::numeric_limits<qint32>::max()));
    return unsigned(number);
}

QJsonArray array(const QJsonObject& object, const QString& key, const QString& where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isArray())
        refuse(QStringLiteral("%1 \"%2\" is not a list.").arg(where, key));
    return value.toArray();
}

QJsonObject objectOf(const QJsonValue& value, const QString& where)
{
    if (!value.isObject())
        refuse(QStringLiteral("%1 is not a record.").arg(where));
    return value.toObject();
}

// A cell's value: text, a number, true or false, or none; a list or a record refuses the
// reply, as any member of the wrong kind does.
QVariant cellValue(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        // A whole number within 64 bits is held as one and keeps every digit; as a double
        // it would lose those past 2^53.
        const double number = value.toDouble();
        const qint64 whole = value.toInteger();
        if (whole != 0 || number == 0)
            return whole;
        return number;
    }
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return {};
    case QJsonValue::Array:
    case QJsonValue::Object:
        break;
    }
    refuse(QStringLiteral("A cell's \"Value\" is not a text, a number, YES or NO."));
}

std::shared_ptr<ResponseTable> parseTable(const QJsonObject& object)
{
    const QString where = QStringLiteral("A table's");
    auto table = std::make_shared<ResponseTable>();
    table->Name = text(object, QStringLiteral("Name"), where);
    table->CurrentPage = count(object, QStringLiteral("CurrentPage"), where);
    table->TotalPages = count(object, QStringLiteral("TotalPages"), where);
    const QJsonArray columns = array(object, QStringLiteral("Columns"), where);
    table->Columns.reserve(columns.size());
    QHash<unsigned, bool> imageAt; // by Order
    for (const QJsonValue& value : columns) {
        const QString columnWhere = QStringLiteral("A column's");
        const QJsonObject fields = objectOf(value, QStringLiteral("A column"));
        ResponseColumn column;
        column.Name = text(fields, QStringLiteral("Name"), columnWhere);
        column.Header = text(fields, QStringLiteral("Header"), columnWhere);
        column.Length = count(fields, QStringLiteral("Length"), columnWhere);
        column.Order = count(fields, QStringLiteral("Order"), columnWhere);
        column.Hide = text(fields, QStringLiteral("Hide"), columnWhere);
        if (column.isImageColumn())
            imageAt.insert(column.Order, true);
        table->Columns.append(std::move(column));
    }
    const qsizetype columnCount = table->Columns.size();
    const QJsonArray rows = array(object, QStringLiteral("Rows"), where);
    table->Rows.reserve(rows.size());
    const QString cellWhere = QStringLiteral("A cell's");
    const QString columnsKey = QStringLiteral("Columns");
    const QString columnKey = QStringLiteral("Column");
    const QString valueKey = QStringLiteral("Value");
    for (const QJsonValue& value : rows) {
        const QJsonObject fields = objectOf(value, QStringLiteral("A row"));
        const QJsonArray cells = array(fields, columnsKey, QStringLiteral("A row's"));
        auto row = std::make_shared<ResponseRow>();
        // Cells past the table's columns have no column to show them in.
        const qsizetype kept = std::min(cells.size(), columnCount);
        row->Columns.reserve(kept);
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const QJsonObject cellFields = objectOf(cells[i], QStringLiteral("A cell"));
            ResponseRowColumn cell;
            cell.Column = count(cellFields, columnKey, cellWhere);
            // Dropped cells are checked too: a reply is taken or refused whole.
            QVariant read = cellValue(cellFields.value(valueKey));
            if (i >= kept)
                continue;
            cell.Value = std::move(read);
            if (!imageAt.isEmpty() && imageAt.contains(cell.Column)
                && !BridgeWireFormat::isPlainImageName(cell.Value.toString()))
                cell.Value = QVariant();
            row->Columns.append(std::move(cell));
        }
        table->Rows.append(std::move(row));
    }
    return table;
}

QJsonObject filterJSON(const FilterExtended& filter)
{
    return QJsonObject {
        { QStringLiteral("AndOr"), filter.AndOr() },
        { QStringLiteral("Header"), filter.Header() },
        { QStringLiteral("Operator"), filter.Operator() },
        { QStringLiteral("Value"), filter.Value() },
        { QStringLiteral("SQL"), filter.SQL() },
        { QStringLiteral("Column"), filter.Column() },
    };
}

QJsonObject sortJSON(const Sort& sort)
{
    return QJsonObject {
        { QStringLiteral("Header"), sort.Header() },
        { QStringLiteral("Ascending"), sort.Ascending() },
        { QStringLiteral("Column"), sort.Column() },
    };
}

QJsonObject tableJSON(const RequestTable& table)
{
    QJsonArray filters;
    for (const auto& filter : table.Filters) {
        if (filter)
            filters.append(filterJSON(*filter));
    }
    QJsonArray sorts;
    for (const auto& sort : table.Sorts) {
        if (sort)
            sorts.append(sortJSON(*sort));
    }
    return QJsonObject {
        { QStringLiteral("Name"), table.Name },
        { QStringLiteral("Page"), table.Page },
        { QStringLiteral("PageSize"), table.PageSize },
        { QStringLiteral("Filters"), filters },
        { QStringLiteral("Sorts"), sorts },
    };
}

} // namespace

QByteArray BridgeWireFormat::requestBody(const BridgeRequest& request)
{
    QJsonObject body {
        { QStringLiteral("RequestType"), request.requestType },
        { QStringLiteral("Service"), request.serviceType },
        { QStringLiteral("Method"), request.method },
        { QStringLiteral("Parameters"), QJsonArray::fromVariantList(request.methodParameters) },
    };
    const QVariantMap& properties = request.requestProperties;
    const auto tables = properties.constFind(QStringLiteral("Tables"));
    if (tables != properties.constEnd()) {
        QJsonArray list;
        for (const RequestTable& table : tables->value<QList<RequestTable>>())
            list.append(tableJSON(table));
        body.insert(QStringLiteral("Tables"), list);
    }
    const auto pageSize = properties.constFind(QStringLiteral("PageSize"));
    if (pageSize != properties.constEnd())
        body.insert(QStringLiteral("PageSize"), pageSize->toLongLong());
    const auto id = properties.constFind(QStringLiteral("Id"));
    if (id != properties.constEnd())
        body.insert(QStringLiteral("Id"), id->toString());
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

std::shared_ptr<MatrixResponse> BridgeWireFormat::parseMatrixReply(
    const QByteArray& body, QString* failure)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    try {
        if (error.error != QJsonParseError::NoError)
            refuse(QStringLiteral("The reply is not JSON (%1).").arg(error.errorString()));
        if (!document.isObject())
            refuse(QStringLiteral("The reply is not a record."));
        const QJsonObject object = document.object();
        const QString where = QStringLiteral("The reply's");
        const QJsonValue success = object.value(QStringLiteral("Success"));
        if (!success.isBool())
            refuse(QStringLiteral("The reply's \"Success\" is not YES or NO."));
        auto reply = std::make_shared<MatrixResponse>();
        reply->Success = success.toBool();
        reply->Message = text(object, QStringLiteral("Message"), where);
        reply->Id = text(object, QStringLiteral("Id"), where);
        for (const QJsonValue& table : array(object, QStringLiteral("Tables"), where))
            reply->Tables.append(parseTable(objectOf(table, QStringLiteral("A table"))));
        return reply;
    } catch (const MalformedReply& bad) {
        if (failure)
            *failure = bad.reason;
        return nullptr;
    }
}

bool BridgeWireFormat::isPlainImageName(const QString& name)
{
    if (name.isEmpty() || name.size() > 128 || name.startsWith(u'.') || name.endsWith(u'.')
        || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
            || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
        if (!allowed)
            return false;
    }
    return true;
}
