#include "FakeGridScreen.h"
#include "UserTableDataController.h"

#include "grid/BridgeScreenData.h"
#include "grid/RowObject.h"
#include "grid/UserTableRows.h"
#include "model/ModelFixture.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/UserTemplate.h"
#include "platform/Dispatch.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/ui/AlertView.h"
#include "utilities/store/KivoLibContext.h"

#include <QDateTime>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

using gridtest::FakeGridScreen;
using gridtest::UserTableDataController;
using platform::ui::AlertView;

namespace {

const QString kDatabase = QStringLiteral("7C1E5A3B-2D4F-4B6A-8E9C-0F1A2B3C4D5E");
const QString kDefinition = QStringLiteral("2A4C6E8F-1B3D-4F5A-9C7E-6D8B0A2C4E61");

// A user table of generated rows shown by the small rows controller on a grid screen
// whose breadcrumb holds the table, as the home screen's tap leaves it.
struct UserTableTest : modeltest::ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        name = column(kDefinition, "Name", "Text");
        amount = column(kDefinition, "Amount", "Numeric");
        UserTemplate* table = UserTemplate::add(kDatabase);
        table->setTemplate_id(kDefinition);
        table->setName("Clients");
        ASSERT_TRUE(table->saveUserTemplate());
        tableId = table->id().toString();
    }

    void TearDown() override
    {
        screen.reset();
        controller.reset();
        ModelTest::TearDown();
    }

    // Rows "Client 0", "Client 1", ... stored in one commit; then the context forgets
    // every object, as a fresh start would, so the grid meets the rows in the store only.
    void store(int count, const Rows::Password& password = std::nullopt)
    {
        for (int i = 0; i < count; ++i) {
            Rows* row = Rows::add(tableId);
            row->updateData(
                { { key(name), QStringLiteral("Client %1").arg(i) }, { key(amount), 100 + i } },
                { name, amount }, password);
            KivoLib::insertEntity(row);
        }
        ASSERT_TRUE(KivoLib::commit());
        KivoLib::currentContext()->reset();
    }

    FakeGridScreen* open(const Rows::Password& password = std::nullopt)
    {
        auto record = std::make_shared<BridgeScreenData>();
        record->id = "Template Rows";
        record->title = "Rows";
        controller = std::make_shared<UserTableDataController>();
        controller->password = password;
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(UserTemplate::getUserTemplates(kDatabase).value(0));
        screen = std::make_unique<FakeGridScreen>(record, controller, link);
        screen->refreshView();
        return screen.get();
    }

    QString key(TemplateColumn* column) const { return column->id().toString(); }

    int faults() const
    {
        int count = 0;
        for (const QVariant& row : controller->rows())
            count += RowObject::entity(row)->isFault() ? 1 : 0;
        return count;
    }

    QString tileText(qint64 index) const
    {
        const auto item = controller->getGridData(index);
        return item ? item->Menu : QString();
    }

    static QList<AlertView*> alertsShown()
    {
        testsupport::processEvents(10);
        return AlertView::visibleAlerts();
    }

    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    QString tableId;
    std::shared_ptr<UserTableDataController> controller;
    std::unique_ptr<FakeGridScreen> screen;
};

} // namespace

TEST_F(UserTableTest, OpeningATableReadsNoRowAndACellDecodesOnlyItsOwn)
{
    store(300);
    open();
    ASSERT_EQ(controller->count(), 300);
    EXPECT_EQ(faults(), 300);
    EXPECT_EQ(controller->tableRows.cachedCount(), 0);

    // The store reads the asked row's batch of 20; only the asked row is decoded, and its
    // store object goes back to a fault once its values are kept decoded.
    EXPECT_EQ(tileText(5), "Client 5");
    EXPECT_EQ(faults(), 281);
    EXPECT_TRUE(controller->rowAt(5)->isFault());
    EXPECT_FALSE(controller->rowAt(6)->isFault());
    EXPECT_TRUE(controller->rowAt(25)->isFault());
    EXPECT_EQ(controller->tableRows.cachedCount(), 1);
    // Asked again, the decoded row is kept.
    EXPECT_EQ(tileText(5), "Client 5");
    EXPECT_EQ(controller->tableRows.cachedCount(), 1);
}

TEST_F(UserTableTest, ScrollingThroughEveryRowKeepsOnlyAFewDecoded)
{
    store(300);
    open();
    for (qint64 i = 0; i < controller->count(); ++i)
        ASSERT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    EXPECT_LE(controller->tableRows.cachedCount(), UserTableRows::CacheSize);
    EXPECT_GT(controller->tableRows.cachedCount(), 0);
    // The first rows left the cache long ago and are decoded again, unchanged.
    EXPECT_EQ(tileText(0), "Client 0");
}

TEST_F(UserTableTest, AProtectedTablesRowsAreDecryptedWhenACellAsks)
{
    store(3, QStringLiteral("s3cret"));
    Rows* stored = Rows::getRowFaults(tableId).value(1);
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(stored->json().toString().contains("Client"));
    KivoLib::currentContext()->reset();

    open(QStringLiteral("s3cret"));
    EXPECT_EQ(controller->tableRows.cachedCount(), 0);
    EXPECT_EQ(tileText(1), "Client 1");
    EXPECT_EQ(controller->tableRows.cachedCount(), 1);

    // A wrong password shows nothing rather than failing.
    open(QStringLiteral("wrong"));
    EXPECT_EQ(tileText(1), "");
}

TEST_F(UserTableTest, RowsDecodedAheadShowAsTheStoreHoldsThem)
{
    store(200, QStringLiteral("s3cret"));
    open(QStringLiteral("s3cret"));
    UserTableRows& rows = controller->tableRows;
    controller->prefetchRows(10, 40);
    EXPECT_EQ(rows.prefetchedCount(), 40);
    // Their texts went to the pool: the store objects are faults again.
    EXPECT_TRUE(controller->rowAt(10)->isFault());
    EXPECT_TRUE(controller->rowAt(49)->isFault());
    // Some asked before the pool came to them, the rest after it finished.
    for (qint64 i = 10; i < 20; ++i)
        EXPECT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    platform::dispatch::waitForGlobal();
    for (qint64 i = 20; i < 50; ++i)
        EXPECT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    EXPECT_EQ(rows.prefetchedCount(), 0);
    EXPECT_EQ(rows.cachedCount(), 40);

    // Rows kept decoded are not made again; a new ask drops what the last one made.
    controller->prefetchRows(40, 20);
    EXPECT_EQ(rows.prefetchedCount(), 10);
    controller->prefetchRows(100, 30);
    controller->prefetchRows(120, 30);
    EXPECT_EQ(rows.prefetchedCount(), 30);
    // Never more than the limit, past the last row nothing.
    controller->prefetchRows(0, 400);
    EXPECT_EQ(rows.prefetchedCount(), UserTableRows::PrefetchLimit);
    controller->prefetchRows(300, 10);
    EXPECT_EQ(rows.prefetchedCount(), 0);
    platform::dispatch::waitForGlobal();
    EXPECT_EQ(tileText(199), "Client 199");
}

TEST_F(UserTableTest, AskingForTheRowsAheadMakesRoomForThemAmongTheKeptRows)
{
    store(300);
    open();
    UserTableRows& rows = controller->tableRows;
    for (qint64 i = 0; i < 200; ++i)
        ASSERT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    ASSERT_EQ(rows.cachedCount(), UserTableRows::CacheSize);
    // Between two frames: the rows kept longest go, the next screen's go in freely.
    controller->prefetchRows(200, UserTableRows::FrameRoom);
    EXPECT_EQ(rows.cachedCount(), UserTableRows::CacheSize - UserTableRows::FrameRoom);
    platform::dispatch::waitForGlobal();
    for (qint64 i = 200; i < 200 + UserTableRows::FrameRoom; ++i)
        ASSERT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    EXPECT_EQ(rows.cachedCount(), UserTableRows::CacheSize);
    // Never more than the cache holds, asked ahead or not.
    for (qint64 i = 0; i < 100; ++i)
        ASSERT_EQ(tileText(i), QStringLiteral("Client %1").arg(i));
    EXPECT_EQ(rows.cachedCount(), UserTableRows::CacheSize);
}

TEST_F(UserTableTest, RowsDecodedAheadAfterTheColumnsChangeReadThemByTheNewColumns)
{
    // A day is stored as seconds, read back as a date only through a date column.
    TemplateColumn* day = column(kDefinition, "Day", "Date");
    const QDateTime noon(QDate(2024, 5, 17), QTime(12, 0), QTimeZone::utc());
    for (int i = 0; i < 60; ++i) {
        Rows* row = Rows::add(tableId);
        row->updateData({ { key(name), QStringLiteral("Client %1").arg(i) }, { key(amount), i },
                            { key(day), noon } },
            { name, amount, day }, std::nullopt);
        KivoLib::insertEntity(row);
    }
    ASSERT_TRUE(KivoLib::commit());
    KivoLib::currentContext()->reset();
    open();
    UserTableRows& rows = controller->tableRows;
    const auto decodedAhead = [&](const Rows::Columns& columns) {
        rows.setTable(tableId, columns, std::nullopt);
        // The pool's threads decode them, more than once: each keeps its copy of the columns.
        for (int round = 0; round < 3; ++round) {
            rows.clear();
            controller->prefetchRows(0, 60);
            // The pool's threads stay for the next round (waiting for the pool to be done
            // would end them); each row asked waits for the thread decoding it.
            QThread::msleep(100);
            for (qint64 i = 0; i < 60; ++i) {
                Rows* row = controller->rowAt(i);
                const QVariantMap values = rows.values(row);
                ASSERT_EQ(values, rows.decode(row)) << "row " << i;
                ASSERT_EQ(values.value(key(name)).toString(), QStringLiteral("Client %1").arg(i));
            }
        }
    };
    decodedAhead({ name, amount });
    EXPECT_NE(rows.values(controller->rowAt(0)).value(key(day)).metaType(),
        QMetaType::fromType<QDateTime>());
    decodedAhead({ name, amount, day });
    EXPECT_EQ(rows.values(controller->rowAt(0)).value(key(day)).toDateTime().date(), noon.date());
}

TEST_F(UserTableTest, ARowChangedAfterItWasDecodedAheadShowsItsNewValues)
{
    store(10);
    FakeGridScreen* grid = open();
    controller->prefetchRows(0, 10);
    platform::dispatch::waitForGlobal();

    // Saved through the table.
    grid->setSelectedRow(1);
    controller->tapOnItem(1);
    ASSERT_TRUE(controller->saveRow(
        QVariantMap { { key(name), QStringLiteral("Renamed") }, { key(amount), 7 } }));
    EXPECT_EQ(tileText(1), "Renamed");

    // Changed and not saved: read as it is now.
    controller->prefetchRows(2, 8);
    platform::dispatch::waitForGlobal();
    Rows* row = controller->rowAt(2);
    row->updateData({ { key(name), QStringLiteral("Unsaved") }, { key(amount), 1 } },
        { name, amount }, std::nullopt);
    EXPECT_EQ(tileText(2), "Unsaved");
    KivoLib::currentContext()->rollback();

    // Written to the store past the table: everything made ahead is dropped.
    controller->prefetchRows(3, 7);
    platform::dispatch::waitForGlobal();
    Rows* other = controller->rowAt(3);
    other->updateData({ { key(name), QStringLiteral("Elsewhere") }, { key(amount), 2 } },
        { name, amount }, std::nullopt);
    ASSERT_TRUE(other->saveRows());
    EXPECT_EQ(tileText(3), "Elsewhere");
    EXPECT_EQ(tileText(4), "Client 4");
}

TEST_F(UserTableTest, AReloadDuringASearchDropsTheRowsThatWent)
{
    store(30);
    FakeGridScreen* grid = open();
    controller->searchData("client 2");
    // "Client 2" and "Client 20" .. "Client 29".
    ASSERT_EQ(controller->count(), 11);
    EXPECT_EQ(controller->tableRows.cachedCount(), 0);

    // Another screen removes one of the matches; the grid reloads.
    ASSERT_TRUE(Rows::deleteRows(controller->rowAt(3)));
    grid->refreshView();
    EXPECT_TRUE(controller->isSearchActive());
    ASSERT_EQ(controller->count(), 10);
    QStringList texts;
    for (qint64 i = 0; i < controller->count(); ++i)
        texts << tileText(i);
    EXPECT_FALSE(texts.contains("Client 22"));
    EXPECT_EQ(controller->rows().size(), 29);
}

TEST_F(UserTableTest, EndingASearchKeepsTheSameRowSelected)
{
    store(30);
    FakeGridScreen* grid = open();
    controller->searchData("client 1");
    // The third match, "Client 11", is the twelfth row of the table.
    grid->setSelectedRow(2);
    ASSERT_EQ(tileText(2), "Client 11");
    grid->setSelectedRow(controller->endSearch(grid->selectedRow()));
    EXPECT_EQ(grid->selectedRow(), 11);
    EXPECT_EQ(tileText(grid->selectedRow()), "Client 11");
}

TEST_F(UserTableTest, ConfirmedRemovalDeletesTheSelectedRowFromTheStore)
{
    store(5);
    FakeGridScreen* grid = open();
    grid->setSelectedRow(2);
    controller->remove(nullptr);
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    alerts.first()->clickButtonAtIndex(1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return controller->loads == 2; }));
    EXPECT_EQ(controller->count(), 4);
    EXPECT_EQ(Rows::getRowFaults(tableId).size(), 4);
    QStringList texts;
    for (qint64 i = 0; i < controller->count(); ++i)
        texts << tileText(i);
    EXPECT_EQ(texts, QStringList({ "Client 0", "Client 1", "Client 3", "Client 4" }));
}

TEST_F(UserTableTest, OpenOnTheSaveSuccessAlertLeavesTheRowsInTheStore)
{
    store(5);
    FakeGridScreen* grid = open();
    grid->setSelectedRow(2);
    // The last action was a removal, as when an export follows a cancelled delete.
    controller->setLastClickedButton(3);
    auto* saved = new AlertView(
        "Information", "Successfully Saved.", controller.get(), "Close", { "Open" });
    saved->setTag(1000);
    saved->show();
    ASSERT_EQ(alertsShown().size(), 1);
    saved->clickButtonAtIndex(1);
    testsupport::processEvents(50);
    EXPECT_EQ(Rows::getRowFaults(tableId).size(), 5);
    EXPECT_EQ(controller->loads, 1);
}

TEST_F(UserTableTest, ASavedRowShowsItsNewValuesAtOnce)
{
    store(3);
    FakeGridScreen* grid = open();
    ASSERT_EQ(tileText(1), "Client 1");
    grid->setSelectedRow(1);
    controller->tapOnItem(1);
    ASSERT_TRUE(controller->saveRow(
        QVariantMap { { key(name), QStringLiteral("Renamed") }, { key(amount), 7 } }));
    EXPECT_EQ(tileText(1), "Renamed");
    EXPECT_EQ(grid->gridRefreshes, 2);

    // What the store holds, read afresh.
    KivoLib::currentContext()->reset();
    open();
    EXPECT_EQ(tileText(1), "Renamed");
}

TEST_F(UserTableTest, KeptSortKeysOrderAsTheStoreSortDoes)
{
    // Texts alike in their first eight units and beyond, prefixes of one another, empty,
    // missing, numbers and dates in a text column: every kind and every tie.
    const QVariantList names { "Alexander Smith", "Alexander Jones", "Ann", "Anna", "", QVariant(),
        12, "alexander", "Zoë", "Alexander Smith", QString::fromUtf16(u"Ann\0x", 5), 3.5, "Ann" };
    // Enough copies that the sort is shared out among threads and merged.
    constexpr int Copies = 1300;
    for (int copy = 0; copy < Copies; ++copy) {
        for (const QVariant& value : names) {
            Rows* row = Rows::add(tableId);
            QVariantMap values { { key(amount), (int(names.indexOf(value)) + copy) % 3 } };
            if (value.isValid())
                values.insert(key(name), value);
            row->updateData(values, { name, amount }, std::nullopt);
            KivoLib::insertEntity(row);
        }
    }
    ASSERT_TRUE(KivoLib::commit());
    UserTableRows rows(tableId, { name, amount }, std::nullopt);
    QList<Rows*> stored;
    for (const QVariant& row : rows.fetch())
        stored << qobject_cast<Rows*>(RowObject::object(row));
    const auto sortBy = [&](const QList<std::pair<TemplateColumn*, bool>>& order) {
        Rows::Sorts sorts;
        for (const auto& [column, ascending] : order) {
            auto sort = std::make_shared<Sort>();
            sort->setColumn(key(column));
            sort->setAscending(ascending);
            sorts << sort;
        }
        return sorts;
    };
    for (const auto& order : { sortBy({ { name, true } }), sortBy({ { name, false } }),
             sortBy({ { amount, true }, { name, false } }),
             sortBy({ { name, true }, { amount, false } }) }) {
        const QList<Rows*> expected
            = Rows::applySort(stored, { name, amount }, order, std::nullopt);
        // Made afresh, then from the kept keys.
        EXPECT_EQ(rows.sorted(stored, order), expected);
        EXPECT_EQ(rows.sorted(stored, order), expected);
    }
}
