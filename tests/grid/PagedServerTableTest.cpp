#include "GridFixture.h"

#include "grid/BridgeResponse.h"
#include "grid/BridgeServices.h"
#include "grid/MatrixResponse.h"
#include "grid/RequestTable.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/ServerTableCsv.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "utilities/data/BitManager.h"
#include "utilities/data/OrderedDictionary.h"

#include <gtest/gtest.h>

using gridtest::FakeGridScreen;
using gridtest::GridFixture;
using gridtest::RecordingController;

namespace {

// The matrix calls the grid makes, kept instead of sent.
class RecordingBridge : public BridgeServices {
public:
    struct Call {
        QString service;
        QString method;
        QVariantMap properties;
        QVariantList parameters;
        QObject* delegate;
        ResponseHandler handler;
    };
    void InvokeAppMatrix(const QString& service, const QString& method,
        const QVariantMap& properties, const QVariantList& parameters, QObject* delegate,
        ResponseHandler handler, int) override
    {
        calls.append({ service, method, properties, parameters, delegate, std::move(handler) });
    }
    QList<Call> calls;
};

std::shared_ptr<ResponseTable> pagedTable(
    const QString& name, unsigned page, unsigned pages, int rows = 2)
{
    auto table = std::make_shared<ResponseTable>();
    table->Name = name;
    table->CurrentPage = page;
    table->TotalPages = pages;
    table->Columns = { ResponseColumn { "CustomerName", "Name", 10, 0, "N" },
        ResponseColumn { "QDGUDPIcon", "Icon", 4, 1, "N" } };
    for (int i = 0; i < rows; ++i) {
        auto row = std::make_shared<ResponseRow>();
        row->Columns = { ResponseRowColumn { 0, QStringLiteral("%1 %2").arg(name).arg(i) },
            ResponseRowColumn { 1, "database" } };
        table->Rows.append(row);
    }
    return table;
}

BridgeResponse replyOf(
    QList<std::shared_ptr<ResponseTable>> tables, bool success = true, const QString& id = "RS-1")
{
    BridgeResponse response;
    response.matrixResponse = std::make_shared<MatrixResponse>();
    response.matrixResponse->Success = success;
    response.matrixResponse->Id = id;
    response.matrixResponse->Tables = std::move(tables);
    return response;
}

RequestTable requestedTable(const QVariantMap& properties)
{
    const auto tables = properties.value("Tables").value<QList<RequestTable>>();
    return tables.value(0);
}

struct PagedServerTable : GridFixture {
    void SetUp() override
    {
        GridFixture::SetUp();
        auto services = std::make_unique<RecordingBridge>();
        bridge = services.get();
        BridgeServices::install(std::move(services));
        record->brigeType = "Fixture.Service";
        record->bridgeMethod = "Customers";
        record->rowView = "gridtest::TilesTestRowView";
        record->keyFields = { "CustomerName" };
    }
    void TearDown() override
    {
        BridgeServices::install(nullptr);
        GridFixture::TearDown();
    }
    // The screen shows page `page` of `pages`, and the calls so far are forgotten.
    FakeGridScreen* showPage(unsigned page, unsigned pages)
    {
        FakeGridScreen* screen = show();
        controller->takeResponse(replyOf({ pagedTable("Customers", page, pages) }));
        bridge->calls.clear();
        return screen;
    }
    RecordingBridge* bridge = nullptr;
};

} // namespace

TEST_F(PagedServerTable, FirstAsksForPageOneAlsoWithoutATableAndCarriesNoTablesEntryThen)
{
    show();
    EXPECT_TRUE(controller->navigatePage("First"));
    ASSERT_EQ(bridge->calls.size(), 1);
    const auto& call = bridge->calls.first();
    EXPECT_EQ(call.service, "Fixture.Service");
    EXPECT_EQ(call.method, "Customers");
    EXPECT_FALSE(call.properties.contains("Tables"));
    EXPECT_FALSE(call.properties.contains("Id"));
    EXPECT_TRUE(call.properties.contains("PageSize"));

    // Without a table "Next" and "Laset" still ask (page 0), with no Tables entry.
    EXPECT_TRUE(controller->navigatePage("Next"));
    EXPECT_TRUE(controller->navigatePage("Laset"));
    EXPECT_EQ(bridge->calls.size(), 3);
    EXPECT_FALSE(bridge->calls.last().properties.contains("Tables"));
}

TEST_F(PagedServerTable, PastEitherEndNothingIsSentUnlessTheQueryChanged)
{
    showPage(3, 3);
    EXPECT_FALSE(controller->navigatePage("Next"));
    EXPECT_FALSE(controller->navigatePage("Laset"));
    EXPECT_FALSE(controller->navigatePage("Sideways"));
    EXPECT_TRUE(bridge->calls.isEmpty());

    controller->takeResponse(replyOf({ pagedTable("Customers", 1, 3) }));
    EXPECT_FALSE(controller->navigatePage("Previous"));
    EXPECT_FALSE(controller->navigatePage("First"));
    EXPECT_TRUE(bridge->calls.isEmpty());

    // A changed query asks again for the same page, anew (no Id), and is then cleared.
    controller->setQueryChanged(true);
    EXPECT_TRUE(controller->navigatePage("Previous"));
    ASSERT_EQ(bridge->calls.size(), 1);
    EXPECT_EQ(requestedTable(bridge->calls.first().properties).Page, 1);
    EXPECT_FALSE(bridge->calls.first().properties.contains("Id"));
    EXPECT_FALSE(controller->queryChanged());
}

TEST_F(PagedServerTable, APageRequestNamesTheTableItsFiltersAndSortsAndContinuesTheResultSet)
{
    showPage(2, 5);
    auto filter = std::make_shared<FilterExtended>();
    filter->setColumn("CustomerCity");
    controller->filters().append(filter);
    auto sort = std::make_shared<Sort>();
    sort->setColumn("CustomerName");
    controller->sorts().append(sort);

    EXPECT_TRUE(controller->navigatePage("Next"));
    EXPECT_TRUE(controller->navigatePage("Laset"));
    ASSERT_EQ(bridge->calls.size(), 2);
    const RequestTable next = requestedTable(bridge->calls[0].properties);
    EXPECT_EQ(next.Name, "Customers");
    EXPECT_EQ(next.Page, 3);
    ASSERT_EQ(next.Filters.size(), 1);
    EXPECT_EQ(next.Filters.first(), filter);
    ASSERT_EQ(next.Sorts.size(), 1);
    EXPECT_EQ(requestedTable(bridge->calls[1].properties).Page, 5);
    EXPECT_EQ(bridge->calls[0].properties.value("Id").toString(), "RS-1");
}

TEST_F(PagedServerTable, ParametersComeFromTheBreadcrumbInOrderSkippingWhatIsMissing)
{
    // The screen above has a row chosen whose name is "Ann".
    auto aboveRecord = std::make_shared<BridgeScreenData>();
    aboveRecord->id = "ABOVE";
    auto above = std::make_shared<RecordingController>();
    above->setTable(pagedTable("Customers", 1, 1));
    auto link = std::make_shared<Parent>();
    link->screen = aboveRecord;
    link->dataController = above;
    link->data = above->table()->Rows.isEmpty() ? QVariant()
                                                : RowObject::fromRecord(above->table()->Rows[1]);
    OrderedDictionary parameters;
    parameters.setObject("ABOVE", "CustomerName");
    parameters.setObject("NOWHERE", "Missing");
    parameters.setObject("ignored", "PLACEHOLDER_PARAM");
    record->bridgeParameters = parameters;
    show(link);

    EXPECT_EQ(controller->getBridgeParameters(),
        QVariantList({ QStringLiteral("Customers 1"), QStringLiteral("PLACEHOLDER_PARAM") }));
    controller->navigatePage("First");
    ASSERT_EQ(bridge->calls.size(), 1);
    EXPECT_EQ(bridge->calls.first().parameters.size(), 2);

    // A record's own hook answers instead.
    record->determinBridgeParameters = "parametersForRow";
    EXPECT_EQ(controller->getBridgeParameters(), QVariantList { QStringLiteral("/home") });
}

TEST_F(PagedServerTable, AFailedReplyChangesNothingAndTwoTablesGetPickerTitlesOnlyWithoutSearch)
{
    showPage(1, 4);
    const auto shown = controller->table();
    const QVariantList rows = controller->rows();
    controller->takeResponse(replyOf({ pagedTable("Other", 1, 1) }, false));
    EXPECT_EQ(controller->table(), shown);
    EXPECT_EQ(controller->rows(), rows);

    controller->takeResponse(replyOf({ pagedTable("T", 1, 1), pagedTable("U", 1, 1, 5) }));
    EXPECT_EQ(controller->pickerData(), QStringList({ "T1", "T2" }));
    controller->selectTable(1);
    EXPECT_EQ(controller->table()->Name, "U");
    EXPECT_EQ(controller->rows().size(), 5);
    // A table the reply lacks is ignored.
    controller->selectTable(2);
    controller->selectTable(-1);
    EXPECT_EQ(controller->table()->Name, "U");

    controller->pickerData().clear();
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    controller->takeResponse(replyOf({ pagedTable("T", 1, 1), pagedTable("U", 1, 1) }));
    EXPECT_TRUE(controller->pickerData().isEmpty());
}

TEST_F(PagedServerTable, ThePagePickerHasOneItemPerPageAndAsksForTheChosenOne)
{
    FakeGridScreen* screen = showPage(2, 12);
    EXPECT_EQ(controller->numberOfItemsInPickerView(nullptr), 12);
    EXPECT_EQ(controller->pickerViewTitleForItem(nullptr, 2), "3/12");
    screen->setSelectedRow(1);
    controller->pickerViewDidSelectItem(nullptr, 6);
    ASSERT_EQ(bridge->calls.size(), 1);
    EXPECT_EQ(requestedTable(bridge->calls.first().properties).Page, 7);
    EXPECT_EQ(screen->selectedRow(), -1);

    // A single page is not asked for again without a reason.
    controller->takeResponse(replyOf({ pagedTable("Customers", 1, 1) }));
    bridge->calls.clear();
    controller->pickerViewDidSelectItem(nullptr, 0);
    EXPECT_TRUE(bridge->calls.isEmpty());
}

TEST_F(PagedServerTable, WithoutABridgeMethodOrAClientNothingIsSent)
{
    record->bridgeMethod.clear();
    show();
    controller->navigatePage("First");
    EXPECT_TRUE(bridge->calls.isEmpty());

    record->bridgeMethod = "Customers";
    BridgeServices::install(nullptr);
    bridge = nullptr;
    controller->navigatePage("First");
    const auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->message(), BridgeServices::NotAvailableMessage);
}

TEST_F(PagedServerTable, AMenuScreenListsItsChildScreens)
{
    record->contentismenu = true;
    record->childScreens = { "A", "B" };
    show();
    controller->TableDataController::loadData(nullptr);
    EXPECT_TRUE(bridge->calls.isEmpty());
    EXPECT_EQ(controller->rows().size(), 2);
}

// The CSV text of the mail.

namespace {

std::shared_ptr<MatrixResponse> replyWith(QList<std::shared_ptr<ResponseTable>> tables)
{
    auto reply = std::make_shared<MatrixResponse>();
    reply->Success = true;
    reply->Tables = std::move(tables);
    return reply;
}

std::shared_ptr<ResponseTable> csvTable(
    const QList<ResponseColumn>& columns, const QList<QVariantList>& rows)
{
    auto table = std::make_shared<ResponseTable>();
    table->Columns = columns;
    for (const QVariantList& values : rows) {
        auto row = std::make_shared<ResponseRow>();
        for (qsizetype i = 0; i < values.size(); ++i)
            row->Columns.append(ResponseRowColumn { unsigned(i), values[i] });
        table->Rows.append(row);
    }
    return table;
}

} // namespace

TEST(ServerTableCsv, ImageColumnsAreLeftOutAndQuotesBecomeApostrophes)
{
    const auto table
        = csvTable({ { "Name", "Name", 5, 0, "N" }, { "QDGUDPIcon", "Icon", 4, 1, "N" } },
            { { "Ann", "database" }, { "Bo \"B\"", "database" } });
    EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*replyWith({ table }))),
        "\"Name\"\r\n\"Ann\"\r\n\"Bo 'B'\"\r\n\r\n");
}

TEST(ServerTableCsv, TablesAreSeparatedAndEmptyValuesCommasAndNumbersKept)
{
    const auto first = csvTable(
        { { "A", "He said \"x\"", 3, 0, "N" }, { "B", "B", 3, 1, "N" }, { "C", "C", 3, 2, "N" } },
        { { "x, y", QVariant(), 12.5 }, { "", 3, QVariant() } });
    const auto empty = csvTable({ { "Z", "Z", 1, 0, "N" } }, {});
    // A row with a cell past the columns: the cell has no column and is left out.
    const auto second = csvTable({ { "D", "D", 1, 0, "N" } }, { { "d", "past" } });
    EXPECT_EQ(ServerTableCsv::text(ServerTableCsv::snapshot(*replyWith({ first, empty, second }))),
        "\"He said 'x'\",\"B\",\"C\"\r\n"
        "\"x, y\",,\"12.5\"\r\n"
        ",\"3\",\r\n"
        "\r\n"
        "\r\n" // the separator of a one-column table: no comma
        "\"D\"\r\n"
        "\"d\"\r\n"
        "\r\n");
    EXPECT_TRUE(ServerTableCsv::text(ServerTableCsv::snapshot(*replyWith({ empty }))).isEmpty());
}

TEST(ServerTableCsv, TheTextIsBuiltFromTheSnapshotNotFromTheReplyThatMayChangeMeanwhile)
{
    const auto table = csvTable({ { "Name", "Name", 5, 0, "N" } }, { { "Ann" } });
    const auto reply = replyWith({ table });
    const ServerTableCsv::Snapshot snapshot = ServerTableCsv::snapshot(*reply);
    // The next page arrives while the text is being built.
    table->Rows.first()->Columns.first().Value = "Changed";
    table->Rows.clear();
    reply->Tables.clear();
    EXPECT_EQ(ServerTableCsv::text(snapshot), "\"Name\"\r\n\"Ann\"\r\n\r\n");
}

TEST(ServerTableCsv, ASnapshotHoldsTheCellsTheRowsCarryNotRowsTimesColumns)
{
    // A thousand columns over empty rows: a short reply that would otherwise ask for room
    // for a million cells.
    QList<ResponseColumn> columns;
    for (unsigned i = 0; i < 1000; ++i)
        columns.append({ QStringLiteral("C%1").arg(i), QString(), 1, i, "N" });
    const auto table = csvTable(columns, QList<QVariantList>(1000));
    table->Rows.first()->Columns.append(ResponseRowColumn { 0, "first" });
    const ServerTableCsv::Snapshot snapshot = ServerTableCsv::snapshot(*replyWith({ table }));
    ASSERT_EQ(snapshot.size(), 1);
    EXPECT_EQ(snapshot.first().cells.size(), 1);
    EXPECT_LT(snapshot.first().cells.capacity(), 100);
    const QStringList lines = ServerTableCsv::text(snapshot).split("\r\n");
    ASSERT_EQ(lines.size(), 1 + 1000 + 2);
    EXPECT_EQ(lines[1], "\"first\"");
    EXPECT_TRUE(lines[2].isEmpty());
}
