#pragma once

#include "common/FixtureHttpServer.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

// A desktop server for the tests of server tables, on the fixture HTTP server. It answers
// matrix calls from generated tables: "Customers" (rowCount rows: Id, Name, City, an image
// column, Balance) and "Orders" (orderCount rows). It pages by the request's Page and
// PageSize, applies the filters "Equal To" and "Contains" and the first sort, and names its
// result set with an Id. Each route is one way of answering:
//   /matrix         the Customers table
//   /matrix-two     Customers and Orders
//   /matrix-orders  the Orders table alone
//   /matrix-fail    Success NO with FailureMessage
//   /matrix-stall   never answers
//   /matrix-cut     promises a whole reply and sends half of it
//   /matrix-text    a body that is not JSON
//   /matrix-big     a good reply padded past oversizedBytes
//   /matrix-bad     a reply whose TotalPages is past 32 bits
// Every request is recorded with its JSON body.
class FixtureTableServer {
public:
    FixtureTableServer();

    QUrl url(const QString& route = QStringLiteral("/matrix")) const { return http.url(route); }
    // The JSON bodies of the requests received, in order.
    QList<QJsonObject> bodies() const;
    QJsonObject lastBody() const;

    // One generated row of Customers: its cells by column order.
    static QString nameOf(int id);
    static QString cityOf(int id);

    FixtureHttpServer http;
    int rowCount = 95;
    int orderCount = 7;
    qint64 oversizedBytes = 256 * 1024;
    int resultSets = 0;

    static const QString FailureMessage; // "Access denied: the server refused the query."

private:
    FixtureReply answer(const FixtureRequest& request, const QString& route);
};
