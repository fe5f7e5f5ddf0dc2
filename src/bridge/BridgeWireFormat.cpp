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

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <vector>

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

// A cell's place in a reply: its table, its row and its position in the row.
using CellPlace = std::array<qsizetype, 3>;

// Whether a number's text is a whole number within 64 bits, which the reader keeps as one.
bool isWholeNumberText(const QByteArray& text)
{
    const qsizetype first = text.startsWith('-') ? 1 : 0;
    if (text.size() == first)
        return false;
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text.at(i) < '0' || text.at(i) > '9')
            return false;
    }
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

// Whether the reader holds a number written otherwise as a whole 64-bit one: "2.0", "1e18"
// or a number just past 64 bits rounded back into them all come out whole.
bool readsAsWhole(const QByteArray& text)
{
    if (isWholeNumberText(text))
        return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    constexpr double kPast64Bits = 9223372036854775808.0; // 2^63
    return ok && std::trunc(number) == number && number >= -kPast64Bits && number < kPast64Bits;
}

// A member's name from the text between its quotes, escapes read as the reader reads them.
QByteArray memberName(const QByteArray& quoted)
{
    if (!quoted.contains('\\'))
        return quoted;
    const QJsonDocument one = QJsonDocument::fromJson("[\"" + quoted + "\"]");
    return one.array().first().toString().toUtf8();
}

// The cells whose value was written as a number other than a whole one within 64 bits that
// the reader nevertheless holds as a whole number: it keeps no trace of how a number was
// written, so the reply's text is walked once more for them. A member named twice in a
// record is kept by the reader from its last copy only, so what an earlier copy held is
// forgotten when the name comes again. Any text is walked safely; a reply the reader
// refused is never asked about.
std::set<CellPlace> cellsWrittenAsOtherNumbers(const QByteArray& body)
{
    struct Level {
        bool record = false;
        QByteArray member; // of a record: the member being read
        qsizetype item = -1; // of a list: the item being read
        // The cells found inside so far, and of a record the member they are in.
        std::vector<CellPlace> found;
        QByteArray foundIn;
    };
    // Where a cell's value is: Tables[t].Rows[r].Columns[c].Value.
    static const std::array<QByteArray, 4> kMembers { QByteArrayLiteral("Tables"),
        QByteArrayLiteral("Rows"), QByteArrayLiteral("Columns"), QByteArrayLiteral("Value") };
    QList<Level> path;
    std::set<CellPlace> places;
    const auto cellPlace = [&path]() -> std::optional<CellPlace> {
        if (path.size() != 7)
            return std::nullopt;
        for (qsizetype level = 0; level < path.size(); ++level) {
            const bool record = level % 2 == 0;
            if (path.at(level).record != record
                || (record && path.at(level).member != kMembers.at(level / 2)))
                return std::nullopt;
        }
        return CellPlace { path.at(1).item, path.at(3).item, path.at(5).item };
    };
    const auto valueBegins = [&path] {
        if (!path.isEmpty() && !path.last().record)
            ++path.last().item;
    };
    // Cells found inside the innermost level belong to the member or item being read.
    const auto keep = [&path](std::vector<CellPlace> cells) {
        Level& level = path.last();
        if (level.record)
            level.foundIn = level.member;
        level.found.insert(level.found.end(), cells.begin(), cells.end());
    };
    const auto isNumberByte = [](char c) {
        return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    };

    bool memberNext = false;
    const qsizetype size = body.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = body.at(i);
        if (c == '{' || c == '[') {
            valueBegins();
            path.append(Level { c == '{', {}, -1, {}, {} });
            memberNext = c == '{';
            ++i;
        } else if (c == '}' || c == ']') {
            if (!path.isEmpty()) {
                std::vector<CellPlace> found = std::move(path.last().found);
                path.removeLast();
                if (path.isEmpty())
                    places.insert(found.begin(), found.end());
                else if (!found.empty())
                    keep(std::move(found));
            }
            memberNext = false;
            ++i;
        } else if (c == ',') {
            memberNext = !path.isEmpty() && path.last().record;
            ++i;
        } else if (c == '"') {
            qsizetype end = i + 1;
            while (end < size && body.at(end) != '"')
                end += body.at(end) == '\\' ? 2 : 1;
            if (memberNext && !path.isEmpty()) {
                Level& level = path.last();
                level.member = memberName(body.mid(i + 1, std::min(end, size) - i - 1));
                if (!level.found.empty() && level.member == level.foundIn)
                    level.found.clear();
                memberNext = false;
            } else {
                valueBegins();
            }
            i = end + 1;
        } else if (isNumberByte(c)) {
            qsizetype end = i;
            while (end < size && isNumberByte(body.at(end)))
                ++end;
            valueBegins();
            if (const auto place = cellPlace(); place && readsAsWhole(body.mid(i, end - i)))
                keep({ *place });
            i = end;
        } else {
            if (c >= 'a' && c <= 'z')
                valueBegins();
            while (i < size && body.at(i) >= 'a' && body.at(i) <= 'z')
                ++i;
            if (c < 'a' || c > 'z')
                ++i;
        }
    }
    return places;
}

// A cell's value: text, a number, true or false, or none; a list or a record refuses the
// reply, as any member of the wrong kind does. `writtenOtherwise`: the number was written
// as something other than a whole number within 64 bits.
QVariant cellValue(const QJsonValue& value, bool writtenOtherwise)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        // A whole number within 64 bits is held as one and keeps every digit; as a double
        // it would lose those past 2^53. Any other number is the double it was written as,
        // and shows as one.
        const double number = value.toDouble();
        const qint64 whole = value.toInteger();
        if (!writtenOtherwise && (whole != 0 || number == 0))
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

std::shared_ptr<ResponseTable> parseTable(
    const QJsonObject& object, qsizetype tableIndex, const std::set<CellPlace>& writtenOtherwise)
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
    for (qsizetype rowIndex = 0; rowIndex < rows.size(); ++rowIndex) {
        const QJsonObject fields = objectOf(rows.at(rowIndex), QStringLiteral("A row"));
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
            QVariant read = cellValue(cellFields.value(valueKey),
                !writtenOtherwise.empty()
                    && writtenOtherwise.count(CellPlace { tableIndex, rowIndex, i }) != 0);
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
        const QJsonArray tables = array(object, QStringLiteral("Tables"), where);
        const std::set<CellPlace> writtenOtherwise
            = tables.isEmpty() ? std::set<CellPlace>() : cellsWrittenAsOtherNumbers(body);
        for (qsizetype t = 0; t < tables.size(); ++t) {
            reply->Tables.append(
                parseTable(objectOf(tables.at(t), QStringLiteral("A table")), t, writtenOtherwise));
        }
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
