#include "common/FixtureTableServer.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

namespace {

struct Column {
    QString name;
    QString header;
    int length;
    QString hide = QStringLiteral("N");
};

struct Table {
    QString name;
    QList<Column> columns;
    QList<QJsonArray> rows; // values by column order
};

Table customers(int count)
{
    Table table { QStringLiteral("Customers"),
        {
            { QStringLiteral("CustomerId"), QStringLiteral("Id"), 6 },
            { QStringLiteral("CustomerName"), QStringLiteral("Name"), 16 },
            { QStringLiteral("CustomerCity"), QStringLiteral("City"), 10 },
            { QStringLiteral("QDGUDPIcon"), QStringLiteral("Icon"), 4 },
            { QStringLiteral("Balance"), QStringLiteral("Balance"), 8 },
        },
        {} };
    for (int id = 1; id <= count; ++id) {
        table.rows << QJsonArray { id, FixtureTableServer::nameOf(id),
            FixtureTableServer::cityOf(id),
            id % 2 ? QStringLiteral("database") : QStringLiteral("../../etc/passwd"),
            double(id) * 10.5 };
    }
    return table;
}

Table orders(int count)
{
    Table table { QStringLiteral("Orders"),
        {
            { QStringLiteral("OrderNo"), QStringLiteral("Order"), 6 },
            { QStringLiteral("Item"), QStringLiteral("Item"), 12 },
        },
        {} };
    for (int i = 1; i <= count; ++i)
        table.rows << QJsonArray { 1000 + i, QStringLiteral("Item \"%1\", boxed").arg(i) };
    return table;
}

QString cellText(const QJsonValue& value)
{
    return value.isString() ? value.toString() : QString::number(value.toDouble());
}

bool matches(const QJsonArray& row, const Table& table, const QJsonObject& filter)
{
    const QString column = filter.value(QStringLiteral("Column")).toString();
    const QString wanted = filter.value(QStringLiteral("Value")).toString();
    const QString op = filter.value(QStringLiteral("Operator")).toString();
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].name != column)
            continue;
        const QString text = cellText(row[i]);
        if (op == QLatin1String("Equal To"))
            return text == wanted;
        if (op == QLatin1String("Contains"))
            return text.contains(wanted, Qt::CaseInsensitive);
        return true;
    }
    return false;
}

QJsonObject tableReply(Table table, const QJsonObject& request, qint64 pageSize)
{
    const QJsonObject asked = request.value(QStringLiteral("Tables")).toArray().at(0).toObject();
    const QJsonArray filters = asked.value(QStringLiteral("Filters")).toArray();
    QList<QJsonArray> rows;
    for (const QJsonArray& row : std::as_const(table.rows)) {
        bool kept = true;
        for (const QJsonValue& filter : filters)
            kept = kept && matches(row, table, filter.toObject());
        if (kept)
            rows << row;
    }
    const QJsonArray sorts = asked.value(QStringLiteral("Sorts")).toArray();
    if (!sorts.isEmpty()) {
        const QJsonObject sort = sorts.first().toObject();
        const bool ascending = sort.value(QStringLiteral("Ascending")).toBool();
        qsizetype index = -1;
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            if (table.columns[i].name == sort.value(QStringLiteral("Column")).toString())
                index = i;
        }
        if (index >= 0)
            std::stable_sort(
                rows.begin(), rows.end(), [&](const QJsonArray& a, const QJsonArray& b) {
                    const QJsonValue x = a[index];
                    const QJsonValue y = b[index];
                    const bool less
                        = x.isString() ? x.toString() < y.toString() : x.toDouble() < y.toDouble();
                    const bool greater
                        = x.isString() ? y.toString() < x.toString() : y.toDouble() < x.toDouble();
                    return ascending ? less : greater;
                });
    }
    const qint64 size = pageSize < 1 ? std::max<qint64>(1, rows.size()) : pageSize;
    const qint64 total = std::max<qint64>(1, (rows.size() + size - 1) / size);
    const qint64 page = std::clamp<qint64>(asked.contains(QStringLiteral("Page"))
            ? asked.value(QStringLiteral("Page")).toInteger()
            : 1,
        1, total);
    QJsonArray columns;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        const Column& column = table.columns[i];
        columns.append(QJsonObject { { QStringLiteral("Name"), column.name },
            { QStringLiteral("Header"), column.header },
            { QStringLiteral("Length"), column.length }, { QStringLiteral("Order"), int(i) },
            { QStringLiteral("Hide"), column.hide } });
    }
    QJsonArray shown;
    for (qint64 r = (page - 1) * size; r < std::min<qint64>(rows.size(), page * size); ++r) {
        QJsonArray cells;
        for (qsizetype i = 0; i < rows[r].size(); ++i)
            cells.append(QJsonObject {
                { QStringLiteral("Column"), int(i) }, { QStringLiteral("Value"), rows[r][i] } });
        shown.append(QJsonObject { { QStringLiteral("Columns"), cells } });
    }
    return QJsonObject { { QStringLiteral("Name"), table.name },
        { QStringLiteral("CurrentPage"), page }, { QStringLiteral("TotalPages"), total },
        { QStringLiteral("Columns"), columns }, { QStringLiteral("Rows"), shown } };
}

} // namespace

const QString FixtureTableServer::FailureMessage
    = QStringLiteral("Access denied: the server refused the query.");

FixtureTableServer::FixtureTableServer()
{
    for (const QString route : { "/matrix", "/matrix-two", "/matrix-orders", "/matrix-fail",
             "/matrix-stall", "/matrix-cut", "/matrix-text", "/matrix-big", "/matrix-bad" })
        http.route(
            route, [this, route](const FixtureRequest& request) { return answer(request, route); });
}

QString FixtureTableServer::nameOf(int id)
{
    return QStringLiteral("Customer %1").arg(id, 5, 10, QLatin1Char('0'));
}

QString FixtureTableServer::cityOf(int id)
{
    static const QStringList cities { QStringLiteral("Oslo"), QStringLiteral("Lyon"),
        QStringLiteral("Porto"), QStringLiteral("Graz") };
    return cities[id % cities.size()];
}

QList<QJsonObject> FixtureTableServer::bodies() const
{
    QList<QJsonObject> bodies;
    for (const FixtureRequest& request : http.requests())
        bodies << QJsonDocument::fromJson(request.body).object();
    return bodies;
}

QJsonObject FixtureTableServer::lastBody() const
{
    const QList<QJsonObject> all = bodies();
    return all.isEmpty() ? QJsonObject() : all.last();
}

FixtureReply FixtureTableServer::answer(const FixtureRequest& request, const QString& route)
{
    if (route == QLatin1String("/matrix-stall"))
        return FixtureReply::stall();
    if (route == QLatin1String("/matrix-text"))
        return FixtureReply::text("<html>Service Unavailable</html>");
    if (route == QLatin1String("/matrix-fail"))
        return FixtureReply::json(
            QJsonDocument(QJsonObject { { "Success", false }, { "Message", FailureMessage } })
                .toJson());
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    const qint64 pageSize = body.value(QStringLiteral("PageSize")).toInteger(-1);
    QJsonArray tables { route == QLatin1String("/matrix-orders")
            ? tableReply(orders(orderCount), body, pageSize)
            : tableReply(customers(rowCount), body, pageSize) };
    if (route == QLatin1String("/matrix-two"))
        tables.append(tableReply(orders(orderCount), body, pageSize));
    QString id = body.value(QStringLiteral("Id")).toString();
    if (id.isEmpty())
        id = QStringLiteral("RS-%1").arg(++resultSets);
    QJsonObject reply { { QStringLiteral("Success"), true }, { QStringLiteral("Id"), id },
        { QStringLiteral("Tables"), tables } };
    if (route == QLatin1String("/matrix-bad")) {
        QJsonObject first = tables.first().toObject();
        first.insert(QStringLiteral("TotalPages"), 4294967296.0 * 4);
        reply.insert(QStringLiteral("Tables"), QJsonArray { first });
    }
    QByteArray json = QJsonDocument(reply).toJson(QJsonDocument::Compact);
    if (route == QLatin1String("/matrix-big"))
        json.append(QByteArray(oversizedBytes, ' '));
    if (route == QLatin1String("/matrix-cut"))
        return FixtureReply::cut(json);
    return FixtureReply::json(json);
}
