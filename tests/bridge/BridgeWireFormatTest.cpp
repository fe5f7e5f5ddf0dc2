#include "bridge/BridgeWireFormat.h"
#include "bridge/BridgeRequest.h"
#include "grid/MatrixResponse.h"
#include "grid/RequestTable.h"
#include "grid/RowObject.h"
#include "grid/ServerTableCsv.h"
#include "grid/TableDataController.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray replyJSON(const QJsonObject& table, const QJsonObject& extra = {})
{
    QJsonObject reply { { "Success", true }, { "Id", "RS-9" }, { "Tables", QJsonArray { table } } };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        reply.insert(it.key(), it.value());
    return QJsonDocument(reply).toJson();
}

QJsonObject goodTable()
{
    return QJsonObject {
        { "Name", "Customers" },
        { "CurrentPage", 2 },
        { "TotalPages", 7 },
        { "Columns",
            QJsonArray {
                QJsonObject { { "Name", "CustomerName" }, { "Header", "Name" }, { "Length", 12 },
                    { "Order", 0 }, { "Hide", "N" } },
                QJsonObject { { "Name", "QDGUDPIcon" }, { "Header", "Icon" }, { "Length", 4 },
                    { "Order", 1 }, { "Hide", "N" } },
            } },
        { "Rows",
            QJsonArray {
                QJsonObject { { "Columns",
                    QJsonArray { QJsonObject { { "Column", 0 }, { "Value", "Ann" } },
                        QJsonObject { { "Column", 1 }, { "Value", "database" } } } } },
            } },
    };
}

QJsonObject withRowCells(QJsonObject table, const QJsonArray& cells)
{
    table.insert("Rows", QJsonArray { QJsonObject { { "Columns", cells } } });
    return table;
}

std::shared_ptr<MatrixResponse> parse(const QByteArray& body, QString* failure = nullptr)
{
    QString reason;
    auto reply = BridgeWireFormat::parseMatrixReply(body, &reason);
    if (failure)
        *failure = reason;
    return reply;
}

} // namespace

TEST(BridgeWireFormat, AGoodReplyIsReadWhole)
{
    const auto reply = parse(replyJSON(goodTable()));
    ASSERT_NE(reply, nullptr);
    EXPECT_TRUE(reply->Success);
    EXPECT_EQ(reply->Id, "RS-9");
    ASSERT_EQ(reply->Tables.size(), 1);
    const auto& table = *reply->Tables.first();
    EXPECT_EQ(table.Name, "Customers");
    EXPECT_EQ(table.CurrentPage, 2u);
    EXPECT_EQ(table.TotalPages, 7u);
    ASSERT_EQ(table.Columns.size(), 2);
    EXPECT_EQ(table.Columns[1].Header, "Icon");
    ASSERT_EQ(table.Rows.size(), 1);
    EXPECT_EQ(table.Rows.first()->GetColumnValue("CustomerName", table.Columns).toString(), "Ann");
    EXPECT_EQ(
        table.Rows.first()->GetColumnValue("QDGUDPIcon", table.Columns).toString(), "database");
}

TEST(BridgeWireFormat, MembersOfTheWrongKindRefuseTheWholeReplyWithAReason)
{
    const QList<QPair<const char*, QByteArray>> bad {
        { "not JSON", "<html>Service Unavailable</html>" },
        { "a list", "[1, 2]" },
        { "Success as text", R"({"Success": "YES"})" },
        { "no Success", R"({"Tables": []})" },
        { "Tables as a record", R"({"Success": true, "Tables": {}})" },
        { "Id as a number", R"({"Success": true, "Id": 5})" },
        { "a table as text", R"({"Success": true, "Tables": ["T1"]})" },
        { "pages as text", replyJSON([] {
             auto table = goodTable();
             table.insert("TotalPages", "12");
             return table;
         }()) },
        { "pages past 32 bits", replyJSON([] {
             auto table = goodTable();
             table.insert("TotalPages", 17179869184.0);
             return table;
         }()) },
        { "a negative page", replyJSON([] {
             auto table = goodTable();
             table.insert("CurrentPage", -1);
             return table;
         }()) },
        { "a fractional position",
            replyJSON(
                withRowCells(goodTable(), QJsonArray { QJsonObject { { "Column", 0.5 } } })) },
        { "a cell as a number", replyJSON(withRowCells(goodTable(), QJsonArray { 3 })) },
        { "a value that is a list",
            replyJSON(withRowCells(goodTable(),
                QJsonArray {
                    QJsonObject { { "Column", 0 }, { "Value", QJsonArray { "Ann" } } } })) },
        { "a value that is a record",
            replyJSON(withRowCells(goodTable(),
                QJsonArray { QJsonObject { { "Column", 0 }, { "Value", QJsonObject {} } } })) },
        { "a record in a cell past the columns",
            replyJSON(withRowCells(goodTable(),
                QJsonArray { QJsonObject { { "Column", 0 }, { "Value", "Ann" } },
                    QJsonObject { { "Column", 1 }, { "Value", "database" } },
                    QJsonObject { { "Column", 2 }, { "Value", QJsonObject { { "a", 1 } } } } })) },
        { "a header as a number", replyJSON([] {
             auto table = goodTable();
             table.insert("Columns", QJsonArray { QJsonObject { { "Header", 3 } } });
             return table;
         }()) },
    };
    for (const auto& [what, body] : bad) {
        QString failure;
        EXPECT_EQ(parse(body, &failure), nullptr) << what;
        EXPECT_FALSE(failure.isEmpty()) << what;
    }
}

TEST(BridgeWireFormat, CellsPastTheColumnsAreDroppedAndOnlyPlainImageNamesKept)
{
    const auto reply = parse(replyJSON(withRowCells(goodTable(),
        QJsonArray { QJsonObject { { "Column", 0 }, { "Value", "Ann" } },
            QJsonObject { { "Column", 1 }, { "Value", "../../etc/passwd" } },
            QJsonObject { { "Column", 2 }, { "Value", "past the columns" } },
            QJsonObject { { "Column", 7 }, { "Value", "further still" } } })));
    ASSERT_NE(reply, nullptr);
    const auto& table = *reply->Tables.first();
    const auto& row = *table.Rows.first();
    EXPECT_EQ(row.Columns.size(), 2);
    EXPECT_FALSE(row.GetColumnValue("QDGUDPIcon", table.Columns).isValid());

    for (const char* plain : { "database", "sort-metro_2", "icon.v2" })
        EXPECT_TRUE(BridgeWireFormat::isPlainImageName(plain)) << plain;
    for (const char* path :
        { "", "../x", "/etc/passwd", "a/b", "C:\\x", "..", ".hidden", "name.", "file:///x", "a b" })
        EXPECT_FALSE(BridgeWireFormat::isPlainImageName(path)) << path;
}

TEST(BridgeWireFormat, NullAndAbsentMembersCountAsEmptyAndNumbersKeepTheirKind)
{
    const auto reply
        = parse(replyJSON(withRowCells(goodTable(),
                              QJsonArray { QJsonObject { { "Column", 0 }, { "Value", 42 } },
                                  QJsonObject { { "Column", 1 } } }),
            QJsonObject { { "Id", QJsonValue::Null }, { "Message", QJsonValue::Null } }));
    ASSERT_NE(reply, nullptr);
    EXPECT_TRUE(reply->Id.isEmpty());
    const auto& row = *reply->Tables.first()->Rows.first();
    EXPECT_EQ(row.Columns[0].Value.typeId(), QMetaType::LongLong);
    EXPECT_EQ(row.Columns[0].Value.toLongLong(), 42);
    EXPECT_FALSE(row.Columns[1].Value.isValid());

    const auto bare = parse(R"({"Success": false, "Message": "No."})");
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->Success);
    EXPECT_EQ(bare->Message, "No.");
    EXPECT_TRUE(bare->Tables.isEmpty());
}

TEST(BridgeWireFormat, NumbersPastTheIntegerRangeKeepTheirFullValueInSearchTitlesAndTheMail)
{
    const auto reply = parse(R"({"Success": true, "Tables": [{"Columns": [
        {"Name": "A", "Header": "A", "Order": 0, "Hide": "N"},
        {"Name": "B", "Header": "B", "Order": 1, "Hide": "N"},
        {"Name": "C", "Header": "C", "Order": 2, "Hide": "N"},
        {"Name": "D", "Header": "D", "Order": 3, "Hide": "N"}],
        "Rows": [{"Columns": [{"Column": 0, "Value": 10000000000000000000},
            {"Column": 1, "Value": -1e19}, {"Column": 2, "Value": 9223372036854775808},
            {"Column": 3, "Value": 4503599627370496}]}]}]})");
    ASSERT_NE(reply, nullptr);
    const auto& table = *reply->Tables.first();
    const ResponseRow& row = *table.Rows.first();
    // A tile's title is the value's text, as the mail writes it.
    EXPECT_EQ(ServerTableCsv::valueText(row.GetColumnValue("A", table.Columns)), "1e+19");
    EXPECT_EQ(
        ServerTableCsv::valueText(row.GetColumnValue("D", table.Columns)), "4503599627370496");
    EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*reply)),
        "\"A\",\"B\",\"C\",\"D\"\r\n"
        "\"1e+19\",\"-1e+19\",\"9223372036854776000\",\"4503599627370496\"\r\n\r\n");
    const QVariant shown = RowObject::fromRecord(table.Rows.first());
    EXPECT_TRUE(TableDataController::getTableSearchBlock("-1E+19")(shown));
    EXPECT_TRUE(TableDataController::getTableSearchBlock("2036854776000")(shown));
    EXPECT_FALSE(TableDataController::getTableSearchBlock("9223372036854775807")(shown));
}

// Past 2^53 a double holds no more than every other whole number; a 64-bit one holds them all.
TEST(BridgeWireFormat, WholeNumbersWithin64BitsKeepEveryDigitInTilesSearchAndTheMail)
{
    const auto reply = parse(R"({"Success": true, "Tables": [{"Columns": [
        {"Name": "A", "Header": "A", "Order": 0, "Hide": "N"},
        {"Name": "B", "Header": "B", "Order": 1, "Hide": "N"},
        {"Name": "C", "Header": "C", "Order": 2, "Hide": "N"},
        {"Name": "D", "Header": "D", "Order": 3, "Hide": "N"},
        {"Name": "E", "Header": "E", "Order": 4, "Hide": "N"}],
        "Rows": [{"Columns": [{"Column": 0, "Value": 12345678901234567},
            {"Column": 1, "Value": 9007199254740993},
            {"Column": 2, "Value": 9223372036854775807},
            {"Column": 3, "Value": -9223372036854775808},
            {"Column": 4, "Value": 0.5}]}]}]})");
    ASSERT_NE(reply, nullptr);
    const auto& table = *reply->Tables.first();
    const ResponseRow& row = *table.Rows.first();
    const QList<std::pair<const char*, qint64>> whole { { "A", 12345678901234567 },
        { "B", 9007199254740993 }, { "C", std::numeric_limits<qint64>::max() },
        { "D", std::numeric_limits<qint64>::min() } };
    for (const auto& [name, number] : whole) {
        const QVariant value = row.GetColumnValue(name, table.Columns);
        EXPECT_EQ(value.typeId(), QMetaType::LongLong) << name;
        EXPECT_EQ(value.toLongLong(), number) << name;
        EXPECT_EQ(ServerTableCsv::valueText(value), QString::number(number)) << name;
    }
    EXPECT_EQ(row.GetColumnValue("E", table.Columns).typeId(), QMetaType::Double);
    EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*reply)),
        "\"A\",\"B\",\"C\",\"D\",\"E\"\r\n"
        "\"12345678901234567\",\"9007199254740993\",\"9223372036854775807\","
        "\"-9223372036854775808\",\"0.5\"\r\n\r\n");
    const QVariant shown = RowObject::fromRecord(table.Rows.first());
    EXPECT_TRUE(TableDataController::getTableSearchBlock("12345678901234567")(shown));
    EXPECT_TRUE(TableDataController::getTableSearchBlock("9007199254740993")(shown));
    EXPECT_FALSE(TableDataController::getTableSearchBlock("12345678901234568")(shown));
    EXPECT_FALSE(TableDataController::getTableSearchBlock("9007199254740992")(shown));
}

// Only a number written as a whole one within 64 bits shows every digit. The reader holds
// others as whole numbers too where their doubles are ("1e18", "2.0", one just past 64 bits
// rounded back into them); they show as the doubles they are, the same number written whole
// beside them as it was.
TEST(BridgeWireFormat, NumbersWrittenAsDoublesShowAsDoublesThoughTheyFitIn64Bits)
{
    const auto reply = parse(R"({"Success": true, "Tables": [{"Rows": []}, {"Columns": [
        {"Name": "A", "Header": "A", "Order": 0, "Hide": "N"},
        {"Name": "B", "Header": "B", "Order": 1, "Hide": "N"},
        {"Name": "C", "Header": "C", "Order": 2, "Hide": "N"},
        {"Name": "D", "Header": "D", "Order": 3, "Hide": "N"}],
        "Rows": [{"Columns": [{"Column": 0, "Value": -9223372036854775809},
            {"Column": 1, "Value": 18446744073709551615}, {"Column": 2, "Value": 1e20},
            {"Column": 3, "Value": -9223372036854775808}]},
            {"Columns": [{"Value": 1152921504606846977.0, "Column": 0},
            {"Column": 1, "Val\u0075e": 1E18}, {"Column": 2, "Value": 2.0},
            {"Column": 3, "Value": 1152921504606846977}]}]}]})");
    ASSERT_NE(reply, nullptr);
    const auto& table = *reply->Tables.at(1);
    for (const char* name : { "A", "B", "C" })
        EXPECT_EQ(table.Rows[0]->GetColumnValue(name, table.Columns).typeId(), QMetaType::Double)
            << name;
    EXPECT_EQ(table.Rows[0]->GetColumnValue("A", table.Columns).toDouble(), -9223372036854775808.0);
    EXPECT_EQ(table.Rows[0]->GetColumnValue("D", table.Columns).typeId(), QMetaType::LongLong);
    EXPECT_EQ(table.Rows[1]->GetColumnValue("D", table.Columns).typeId(), QMetaType::LongLong);
    EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*reply)),
        "\"A\",\"B\",\"C\",\"D\"\r\n"
        "\"-9223372036854776000\",\"18446744073709552000\",\"1e+20\",\"-9223372036854775808\"\r\n"
        "\"1152921504606847000\",\"1e+18\",\"2\",\"1152921504606846977\"\r\n\r\n");
    const QVariant shown = RowObject::fromRecord(table.Rows.first());
    EXPECT_TRUE(TableDataController::getTableSearchBlock("-9223372036854776000")(shown));
    EXPECT_FALSE(TableDataController::getTableSearchBlock("1152921504606846976")(
        RowObject::fromRecord(table.Rows[1])));
}

// A member named twice in a record is read from its last copy alone, at every level, as the
// reader keeps it: a number written otherwise in the copy left out changes nothing.
TEST(BridgeWireFormat, AMemberNamedTwiceIsReadFromItsLastCopyAlone)
{
    const QByteArray column = R"({"Name": "A", "Header": "A", "Order": 0, "Hide": "N"})";
    const QByteArray whole = "1152921504606846977";
    const auto cell = [](const QByteArray& value) {
        return R"({"Columns": [{"Column": 0, "Value": )" + value + "}]}";
    };
    const auto table = [&](const QByteArray& rows) {
        return R"({"Columns": [)" + column + R"(], "Rows": )" + rows + "}";
    };
    const auto reply
        = [](const QByteArray& tables) { return R"({"Success": true, "Tables": )" + tables + "}"; };
    struct Case {
        const char* name;
        QByteArray body;
        bool keptWhole;
    };
    const QList<Case> cases {
        { "a cell's value",
            reply("["
                + table(R"([{"Columns": [{"Column": 0, "Value": 2.0, )"
                        R"("Value": )"
                    + whole + "}]}]")
                + "]"),
            true },
        { "a cell's value named by an escape, three times",
            reply("["
                + table(R"([{"Columns": [{"Value": )" + whole
                    + R"(, "Val\u0075e": 2.0, "Column": 0, "Value": )" + whole + "}]}]")
                + "]"),
            true },
        { "a row's cells",
            reply("["
                + table(R"([{"Columns": [{"Column": 0, "Value": 2.0}], "Columns": [{)"
                        R"("Column": 0, "Value": )"
                    + whole + "}]}]")
                + "]"),
            true },
        { "a table's rows",
            reply(R"([{"Rows": [)" + cell("2.0") + R"(], "Columns": [)" + column + R"(], "Rows": [)"
                + cell(whole) + "]}]"),
            true },
        { "the reply's tables",
            R"({"Tables": [)" + table("[" + cell("2.0") + "]") + R"(], "Success": true, )"
                + R"("Tables": [)" + table("[" + cell(whole) + "]") + "]}",
            true },
        { "the tables, each naming a cell's value twice",
            R"({"Tables": [)" + table("[" + cell("2.0, \"Value\": 2.0") + "]")
                + R"(], "Success": true, "Tables": [)"
                + table("[" + cell("2.0, \"Value\": " + whole) + "]") + "]}",
            true },
        // The same, kept the other way round: the last copy's number written as a double.
        { "a cell's value, the double last",
            reply("[" + table("[" + cell(whole + ", \"Value\": 2.0") + "]") + "]"), false },
        { "a table's rows, the double last",
            reply(R"([{"Rows": [)" + cell(whole) + R"(], "Columns": [)" + column + R"(], "Rows": [)"
                + cell("2.0") + "]}]"),
            false },
        { "the reply's tables, the double last",
            R"({"Tables": [)" + table("[" + cell(whole) + "]") + R"(], "Success": true, )"
                + R"("Tables": [)" + table("[" + cell("2.0") + "]") + "]}",
            false },
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        ASSERT_FALSE(QJsonDocument::fromJson(each.body).isNull()) << each.body.toStdString();
        const auto read = parse(each.body);
        ASSERT_NE(read, nullptr);
        ASSERT_EQ(read->Tables.size(), 1);
        const auto& kept = *read->Tables.first();
        ASSERT_EQ(kept.Rows.size(), 1);
        const QVariant value = kept.Rows.first()->GetColumnValue("A", kept.Columns);
        EXPECT_EQ(value.typeId(), each.keptWhole ? QMetaType::LongLong : QMetaType::Double);
        EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*read)).toStdString(),
            "\"A\"\r\n\"" + (each.keptWhole ? whole : "2").toStdString() + "\"\r\n\r\n");
    }
}

TEST(BridgeWireFormat, TheRequestCarriesTheTokenFirstAndOnlyThePropertiesGiven)
{
    BridgeRequest request;
    request.requestType = BridgeRequest::MatrixRequest;
    request.serviceType = "Fixture.Service";
    request.method = "Customers";
    request.methodParameters = { "token-1", "Ann", 3 };
    request.requestProperties.insert("PageSize", -1);
    QJsonObject body = QJsonDocument::fromJson(BridgeWireFormat::requestBody(request)).object();
    EXPECT_EQ(body.value("RequestType").toInt(), 1);
    EXPECT_EQ(body.value("Service").toString(), "Fixture.Service");
    EXPECT_EQ(body.value("Method").toString(), "Customers");
    EXPECT_EQ(body.value("Parameters").toArray(), (QJsonArray { "token-1", "Ann", 3 }));
    EXPECT_EQ(body.value("PageSize").toInt(), -1);
    EXPECT_FALSE(body.contains("Tables"));
    EXPECT_FALSE(body.contains("Id"));

    RequestTable table;
    table.Name = "Customers";
    table.Page = 3;
    table.PageSize = 25;
    auto filter = std::make_shared<FilterExtended>();
    filter->setAndOr("And");
    filter->setHeader("City");
    filter->setOperator("Equal To");
    filter->setValue("Oslo");
    filter->setSQL("And City Equal To Oslo");
    filter->setColumn("CustomerCity");
    table.Filters = { filter };
    auto sort = std::make_shared<Sort>();
    sort->setHeader("Name");
    sort->setColumn("CustomerName");
    table.Sorts = { sort };
    request.requestProperties.insert("Tables", QVariant::fromValue(QList<RequestTable> { table }));
    request.requestProperties.insert("Id", "RS-9");
    body = QJsonDocument::fromJson(BridgeWireFormat::requestBody(request)).object();
    EXPECT_EQ(body.value("Id").toString(), "RS-9");
    const QJsonObject sent = body.value("Tables").toArray().at(0).toObject();
    EXPECT_EQ(sent.value("Name").toString(), "Customers");
    EXPECT_EQ(sent.value("Page").toInt(), 3);
    EXPECT_EQ(sent.value("PageSize").toInt(), 25);
    EXPECT_EQ(sent.value("Filters").toArray().at(0).toObject(),
        (QJsonObject { { "AndOr", "And" }, { "Header", "City" }, { "Operator", "Equal To" },
            { "Value", "Oslo" }, { "SQL", "And City Equal To Oslo" },
            { "Column", "CustomerCity" } }));
    EXPECT_EQ(sent.value("Sorts").toArray().at(0).toObject(),
        (QJsonObject {
            { "Header", "Name" }, { "Ascending", false }, { "Column", "CustomerName" } }));
}
