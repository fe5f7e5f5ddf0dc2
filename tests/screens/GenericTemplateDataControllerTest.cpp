#include "RecordingReminders.h"

#include "ScreensFixture.h"

#include "model/FilterExtended.h"
#include "model/RowValueCompare.h"
#include "model/Sort.h"
#include "platform/Dispatch.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "utilities/text/LocalizedStrings.h"

using screenstest::FakeAppScreen;

namespace {

// The rows of one unprotected table, opened from Home.
struct TableRowsTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        database = addDatabase("Work");
        definition = addDefinition("Contacts");
        definition->setTilescolumns(3);
        ASSERT_TRUE(definition->saveTemplate());
        const QString id = definition->id().toString();
        name = addColumn(id, "Name", "Text", 10, true);
        age = addColumn(id, "Age", "Numeric", 3, true);
        kind = addColumn(id, "Kind", "List", 5);
        notes = addColumn(id, "Notes", "BigText", 20, false, false);
        secret = addColumn(id, "Secret", "Protected");
        done = addColumn(id, "Done", "Yes/No");
        site = addColumn(id, "Site", "Link");
        table = addTable(database->id().toString(), id, "People");
    }

    Rows::Columns columns() const { return { name, age, kind, notes, secret, done, site }; }
    static QString key(TemplateColumn* column) { return column->id().toString(); }

    Rows* person(const QString& who, int years, const QString& hidden = {})
    {
        return addRow(table->id().toString(),
            { { key(name), who }, { key(age), years }, { key(kind), "Friend" }, { key(notes), "" },
                { key(secret), hidden }, { key(done), false } },
            columns());
    }

    FakeAppScreen* openRows()
    {
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        home = open<MainDataController>("Home", link);
        screen = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
        controller = controllerOf<GenericTemplateDataController>(screen);
        return screen;
    }

    QStringList shownNames()
    {
        QStringList names;
        for (qint64 i = 0; i < controller->count(); ++i)
            names << controller->getGridData(i)->Menu;
        return names;
    }

    // The row's values as the store holds them.
    QVariantMap stored(const QString& rowId)
    {
        KivoLib::currentContext()->reset();
        for (Rows* row : Rows::getRowsAll()) {
            if (row->id().toString() == rowId)
                return row->getData(
                    TemplateColumn::getColumns(definition->id().toString()), std::nullopt);
        }
        return {};
    }

    Database* database = nullptr;
    Template* definition = nullptr;
    TemplateColumn* name = nullptr;
    TemplateColumn* age = nullptr;
    TemplateColumn* kind = nullptr;
    TemplateColumn* notes = nullptr;
    TemplateColumn* secret = nullptr;
    TemplateColumn* done = nullptr;
    TemplateColumn* site = nullptr;
    UserTemplate* table = nullptr;
    FakeAppScreen* home = nullptr;
    FakeAppScreen* screen = nullptr;
    std::shared_ptr<GenericTemplateDataController> controller;
};

} // namespace

TEST_F(TableRowsTest, ColumnsLoadOnceAndRowsAreDecodedOnlyWhenShown)
{
    person("Ann", 30);
    person("Bob", 40);
    openRows();
    ASSERT_EQ(controller->Columns().size(), 7);
    EXPECT_EQ(controller->ipadColumns(), 3u);
    EXPECT_EQ(controller->booleanColumn(), done);
    EXPECT_EQ(controller->getTitle(), "People");
    EXPECT_EQ(controller->getImage(), "contacts");

    addColumn(definition->id().toString(), "Later", "Text");
    screen->refreshView();
    EXPECT_EQ(controller->Columns().size(), 7);

    // After the store let go of its objects (a reload), the rows come as faults: none is
    // read before a tile asks. The columns went with the store and are read afresh.
    KivoLib::currentContext()->reset();
    screen->refreshView();
    EXPECT_EQ(controller->Columns().size(), 8);
    ASSERT_EQ(controller->count(), 2);
    EXPECT_TRUE(controller->rowAt(0)->isFault());
    const auto item = controller->getGridData(1);
    EXPECT_EQ(item->Menu, "Bob");
    EXPECT_EQ(item->Image, "contacts");
    EXPECT_EQ(item->Data.toMap().value(key(age)).toInt(), 40);
    EXPECT_EQ(controller->columnHeaders(),
        QStringList({ "Name", "Age", "Kind", "Notes", "Secret", "Done", "Site", "Later" }));
    EXPECT_EQ(controller->columnValues(0).at(4), GenericTemplateDataController::HiddenValue);
}

// A column added to the definition while the table is open (on another machine it comes
// with an import, which reloads the open screens) shows at that reload, and at a Refresh;
// a form opened before it came leaves the value the row holds in it as it is, and a search
// looks in it.
TEST_F(TableRowsTest, ColumnsThatCameSinceTheTableOpenedShowAtTheReloadAndKeepTheirValues)
{
    Rows* ann = person("Ann", 30);
    openRows();
    ASSERT_EQ(controller->Columns().size(), 7);
    screen->setSelectedRow(0);
    controller->tapOnItem(0);
    controller->edit(nullptr);
    QVariantMap typed = screen->shownRows.last().toMap();
    ASSERT_EQ(typed.value(key(name)).toString(), "Ann");

    TemplateColumn* email = addColumn(definition->id().toString(), "Email", "Text", 40);
    Rows::Columns all = columns();
    all << email;
    QVariantMap values = ann->getData(all, std::nullopt);
    values.insert(key(email), "ann@example.com");
    ann->updateData(values, all, std::nullopt);
    ASSERT_TRUE(ann->saveRows());
    controller->cloudStoreLoaded();
    EXPECT_EQ(controller->Columns().size(), 8);
    EXPECT_TRUE(controller->columnHeaders().contains("Email"));
    EXPECT_EQ(controller->rowValues(0).value(key(email)).toString(), "ann@example.com");

    typed.insert(key(age), 31);
    ASSERT_TRUE(controller->saveRow(typed));
    addColumn(definition->id().toString(), "Later", "Text");
    controller->refresh(nullptr);
    EXPECT_EQ(controller->Columns().size(), 9);
    const QVariantMap after = stored(ann->id().toString());
    EXPECT_EQ(after.value(key(age)).toInt(), 31);
    EXPECT_EQ(after.value(key(email)).toString(), "ann@example.com");
    // The new column is searched as its tile shows it.
    controller->searchData("ann@example");
    EXPECT_EQ(shownNames(), QStringList({ "Ann" }));
}

TEST_F(TableRowsTest, TilesPerRowStayBetweenOneAndFour)
{
    EXPECT_EQ(GenericTemplateDataController::tilesPerRow(QVariant()), 1u);
    EXPECT_EQ(GenericTemplateDataController::tilesPerRow(0), 1u);
    EXPECT_EQ(GenericTemplateDataController::tilesPerRow(-2), 1u);
    EXPECT_EQ(GenericTemplateDataController::tilesPerRow(2), 2u);
    EXPECT_EQ(GenericTemplateDataController::tilesPerRow(9), 4u);

    definition->setTilescolumns(0);
    ASSERT_TRUE(definition->saveTemplate());
    openRows();
    EXPECT_EQ(controller->ipadColumns(), 1u);
}

TEST_F(TableRowsTest, ValidationNamesEveryOffendingColumnOnce)
{
    openRows();
    // Mandatory: a Numeric without a value breaks it, 0 does not; an empty mandatory text
    // is named once.
    EXPECT_EQ(controller->validateRow({ { key(name), "" } }), QStringList({ "Name", "Age" }));
    EXPECT_TRUE(controller->validateRow({ { key(name), "Ann" }, { key(age), 0 } }).isEmpty());
    // Length: Text and BigText only.
    EXPECT_EQ(controller->validateRow({ { key(name), "Ann Marie Jones" }, { key(age), 3 },
                  { key(kind), "A much longer list value" }, { key(notes), QString(21, 'x') } }),
        QStringList({ "Name", "Notes" }));
    EXPECT_TRUE(controller
                    ->validateRow({ { key(name), QString(10, 'x') }, { key(age), 1 },
                        { key(notes), QString(20, 'x') } })
                    .isEmpty());

    EXPECT_FALSE(controller->isRowValid({ { key(name), "" } }));
    EXPECT_EQ(lastAlertText(), "Enter valid values for Name,Age");
}

TEST_F(TableRowsTest, ARowIsSavedOnlyWhenValidAndARefusedOneStoresNothing)
{
    auto reminders = std::make_shared<screenstest::RecordingReminders>();
    ApplicationState::setReminders(reminders);
    openRows();
    controller->add(nullptr);
    ASSERT_EQ(screen->shownForms, QStringList({ "GenericTemplateDetailViewController" }));
    // The form starts from every column's default.
    EXPECT_EQ(screen->shownRows.last().toMap().value(key(name)).toString(), "");

    EXPECT_FALSE(controller->saveRow(QVariantMap { { key(name), "Far too long a name" } }));
    EXPECT_EQ(lastAlertText(), "Enter valid values for Name,Age");
    dismissAlerts();
    EXPECT_TRUE(Rows::getRowsAll().isEmpty());
    EXPECT_TRUE(reminders->calls.isEmpty());

    EXPECT_TRUE(controller->saveRow(QVariantMap { { key(name), "Ann" }, { key(age), 30 } }));
    const QString rowId
        = RowObject::object(controller->detailRowInAction())->property("id").toString();
    EXPECT_EQ(reminders->calls, QStringList({ "schedule:" + rowId }));
    EXPECT_EQ(stored(rowId).value(key(name)).toString(), "Ann");

    // Editing cancels the row's reminders before scheduling them again.
    screen->refreshView();
    screen->setSelectedRow(0);
    controller->tapOnDisclosure(0);
    EXPECT_EQ(controller->lastClickedButton(), 2u);
    EXPECT_EQ(screen->shownRows.last().toMap().value(key(name)).toString(), "Ann");
    EXPECT_TRUE(controller->saveRow(QVariantMap { { key(name), "Anna" }, { key(age), 31 } }));
    EXPECT_EQ(reminders->calls.mid(1), QStringList({ "delete:" + rowId, "schedule:" + rowId }));
    EXPECT_EQ(stored(rowId).value(key(name)).toString(), "Anna");
}

TEST_F(TableRowsTest, ACheckMarkIsStoredAtOnce)
{
    const QString rowId = person("Ann", 30)->id().toString();
    openRows();
    EXPECT_TRUE(controller->checkMarkTouched(0, true));
    EXPECT_TRUE(stored(rowId).value(key(done)).toBool());
    EXPECT_EQ(stored(rowId).value(key(name)).toString(), "Ann");
    screen->refreshView();
    EXPECT_TRUE(controller->checkMarkTouched(0, false));
    EXPECT_FALSE(stored(rowId).value(key(done)).toBool());
}

TEST_F(TableRowsTest, HeaderTapsSortByOneColumn)
{
    person("Bob", 20);
    person("Ann", 40);
    person("Cid", 30);
    openRows();
    EXPECT_EQ(shownNames(), QStringList({ "Bob", "Ann", "Cid" }));

    controller->headerLabelTouched(1);
    EXPECT_EQ(controller->lastClickedButton(), 36u);
    EXPECT_EQ(shownNames(), QStringList({ "Ann", "Cid", "Bob" }));
    controller->headerLabelTouched(1);
    EXPECT_EQ(shownNames(), QStringList({ "Bob", "Cid", "Ann" }));
    controller->headerLabelTouched(0);
    ASSERT_EQ(controller->sorts().size(), 1);
    EXPECT_EQ(controller->sorts().first()->Header(), "Name");
    EXPECT_EQ(shownNames(), QStringList({ "Cid", "Bob", "Ann" }));

    // Never by a Protected column, nor while searching.
    controller->headerLabelTouched(4);
    EXPECT_EQ(controller->sorts().first()->Header(), "Name");
    controller->searchData("b");
    controller->headerLabelTouched(1);
    EXPECT_EQ(controller->sorts().first()->Header(), "Name");
}

TEST_F(TableRowsTest, SearchLooksOnlyAtTheChosenColumnsAndNeverAtProtectedOnes)
{
    person("Ann", 30, "zebra");
    person("Zoë", 41);
    openRows();
    EXPECT_FALSE(controller->searchColumns().contains(key(secret)));
    controller->searchData("ZOE");
    EXPECT_EQ(shownNames(), QStringList({ "Zoë" }));
    controller->searchData("zebra");
    EXPECT_EQ(controller->count(), 0);
    // Even when the selector lists it.
    controller->searchColumns().insert(key(secret), true);
    controller->searchData("zebra");
    EXPECT_EQ(controller->count(), 0);

    controller->searchColumns().insert(key(name), false);
    controller->searchData("zoe");
    EXPECT_EQ(controller->count(), 0);
    controller->searchData("41");
    EXPECT_EQ(shownNames(), QStringList({ "Zoë" }));
}

TEST_F(TableRowsTest, AutoCompleteOffersEachValueOnceButNoProtectedOne)
{
    person("Ann", 30, "x1");
    person("Bob", 30, "x2");
    person("Ann", 31);
    openRows();
    QStringList names;
    for (const QVariant& value : controller->getAutoCompleteValues(key(name)))
        names << value.toString();
    names.sort();
    EXPECT_EQ(names, QStringList({ "Ann", "Bob" }));
    EXPECT_TRUE(controller->getAutoCompleteValues(key(secret)).isEmpty());
}

TEST_F(TableRowsTest, TheChartNeedsRowsAndANumberColumn)
{
    openRows();
    controller->chart(nullptr);
    EXPECT_TRUE(screen->shownForms.isEmpty());
    person("Ann", 30);
    screen->refreshView();
    controller->chart(nullptr);
    EXPECT_EQ(screen->shownForms, QStringList({ "ChartDetailViewController" }));
    // The chart definition is no row.
    EXPECT_TRUE(controller->saveRow(QVariantMap { { "type", "Bar" } }));
    EXPECT_EQ(Rows::getRowsAll().size(), 1);
}

TEST_F(TableRowsTest, FilterAndSortScreensOpenByDevice)
{
    openRows();
    controller->filter(nullptr);
    controller->sort(nullptr);
    ASSERT_TRUE(platform::ui::Device::current().selectModel("phone"));
    controller->filter(nullptr);
    controller->sort(nullptr);
    EXPECT_EQ(screen->calls,
        QStringList({ "showScreenInPopup:SCREEN_INQUERY_GENERAL:500x500",
            "showScreenInPopup:SCREEN_SORT_GENERA:500x500", "showPopup:InQuery:Menus1",
            "showPopup:Sort:Menus1" }));
    controller->searchBarBookmarkClicked();
    EXPECT_EQ(screen->shownForms, QStringList({ "SearchColumnSelectorDetailViewController" }));
    EXPECT_EQ(controller->searchbarBookmarkImage(),
        QStringList({ "searchcolumnselect", "searchcolumnselect" }));
}

TEST_F(TableRowsTest, ARowWrittenWhileTheSearchTextsAreMadeIsFoundByItsNewText)
{
    Rows* ann = person("Ann", 30);
    Rows* bob = person("Bob", 40);
    for (const bool throughTheTable : { false, true }) {
        openRows();
        // The grid drew its first rows and asked for those ahead: the pool has read and
        // decoded the rows as they were; the main thread has not taken in what it made.
        controller->prefetchRows(0, 2);
        platform::dispatch::waitForGlobal();
        ASSERT_TRUE(controller->tableRows().isMakingSearchTexts());
        Rows* changed = throughTheTable ? bob : ann;
        const QString before = throughTheTable ? "bob" : "ann";
        const QString after = throughTheTable ? "Bea" : "Dan";
        if (throughTheTable) {
            screen->setSelectedRow(shownNames().indexOf("Bob"));
            controller->tapOnDisclosure(0);
            ASSERT_TRUE(
                controller->saveRow(QVariantMap { { key(name), after }, { key(age), 40 } }));
        } else {
            // Written without the table being told.
            changed->updateData(
                { { key(name), after }, { key(age), 30 } }, columns(), std::nullopt);
            ASSERT_TRUE(changed->saveRows());
        }
        controller->searchData(before);
        EXPECT_EQ(controller->count(), 0) << throughTheTable;
        controller->searchData(after);
        EXPECT_EQ(shownNames(), QStringList({ after })) << throughTheTable;
        controller->endSearch(-1);
    }
}

TEST_F(TableRowsTest, SearchTextsWaitForTheFirstRowsDrawnOrAWhile)
{
    person("Ann", 30);
    person("Bob", 40);
    for (const bool drawn : { true, false }) {
        openRows();
        // Nothing is read while the first tiles are being drawn.
        testsupport::processEvents(20);
        platform::dispatch::waitForGlobal();
        testsupport::processEvents(20);
        ASSERT_TRUE(controller->tableRows().isMakingSearchTexts());
        EXPECT_EQ(controller->tableRows().searchTextCount(), 0);
        // The grid asks for the rows ahead once it has drawn the first; a screen without
        // a grid begins them after a while.
        if (drawn)
            controller->prefetchRows(0, 2);
        ASSERT_TRUE(testsupport::waitUntil([&] {
            testsupport::processEvents(5);
            return !controller->tableRows().isMakingSearchTexts();
        }));
        EXPECT_EQ(controller->tableRows().searchTextCount(), 2) << drawn;
        // A search before then makes them itself.
        openRows();
        controller->searchData("bo");
        EXPECT_EQ(shownNames(), QStringList({ "Bob" })) << drawn;
        EXPECT_FALSE(controller->tableRows().isMakingSearchTexts());
        controller->endSearch(-1);
    }
}

TEST_F(TableRowsTest, FiltersAndSortsAppliedWhileSearchTextsAreMadeShowTheModelsRows)
{
    // Ties in both sort keys, and rows the filter leaves out.
    for (int i = 0; i < 300; ++i)
        person(QString("P%1").arg(i % 40), i % 13);
    openRows();
    // The first tiles are drawn: the search texts are being made when the lists apply.
    controller->prefetchRows(0, 2);
    ASSERT_TRUE(controller->tableRows().isMakingSearchTexts());
    auto older = std::make_shared<FilterExtended>();
    older->setHeader("Age");
    older->setColumn(key(age));
    older->setOperator(LocalizedStrings::GreaterThan());
    older->setNumericValue(4);
    const auto sortBy = [](TemplateColumn* column, bool ascending) {
        auto sort = std::make_shared<Sort>();
        sort->setColumn(column->id().toString());
        sort->setAscending(ascending);
        return sort;
    };
    controller->filters() = { older };
    controller->sorts() = { sortBy(age, true), sortBy(name, false) };
    screen->refreshView();

    QStringList expected;
    for (Rows* row : Rows::getRows(table->id().toString(), columns(), controller->filters(),
             controller->sorts(), std::nullopt))
        expected << row->getData(columns(), std::nullopt).value(key(name)).toString();
    ASSERT_EQ(expected.size(), 184);
    EXPECT_EQ(shownNames(), expected);
    // A search after finds among them what each row's own test finds.
    controller->searchData("p1");
    EXPECT_EQ(controller->count(),
        std::count_if(expected.cbegin(), expected.cend(),
            [](const QString& who) { return who.startsWith("P1"); }));
    controller->endSearch(-1);
    controller->filters().clear();
    controller->sorts().clear();
}

TEST_F(TableRowsTest, ASearchOfManyRowsFindsWhatEachRowsOwnTestFinds)
{
    for (int i = 0; i < 120; ++i)
        person(QString("P%1 %2").arg(i).arg(i % 7 ? "x" : "\u00c9mile"), i % 90);
    // A text holding the separator of the kept texts.
    person(QString("nul") + QChar(0) + "ann", 5);
    UserTableRows rows(table->id().toString(), columns(), std::nullopt);
    const QVariantList list = rows.fetch();
    rows.prepareSearchTexts(list);
    // Changed and not saved: looked at as it is now, not as stored.
    auto* changed = qobject_cast<Rows*>(RowObject::object(list[3]));
    changed->updateData({ { key(name), "Zed" }, { key(age), 3 } }, columns(), std::nullopt);
    const QList<QList<int>> chosen { { 0, 1, 2, 3, 4, 5 }, { 0 }, { 1, 2 } };
    for (const QString& needle : { QString("emile"), QString("p1"), QString("ann"), QString("zed"),
             QString("friend"), QString("3"), QString("l") + QChar(0) + "a" }) {
        for (const QList<int>& positions : chosen) {
            QVariantList expected;
            for (const QVariant& row : list) {
                if (rows.searchMatches(
                        qobject_cast<Rows*>(RowObject::object(row)), needle, positions))
                    expected << row;
            }
            EXPECT_EQ(rows.matchingRows(list, needle, positions), expected)
                << needle.toStdString() << positions.size();
            if (needle == "zed") {
                EXPECT_EQ(expected.size(), positions.contains(0) ? 1 : 0);
            }
        }
    }
    EXPECT_TRUE(rows.matchingRows(list, "", { 0 }).isEmpty());
    EXPECT_TRUE(rows.matchingRows(list, "p1", {}).isEmpty());
    KivoLib::currentContext()->rollback();
}

TEST_F(TableRowsTest, ASearchTypedWhileTheSearchTextsAreMadeFindsWhatOneTypedAfterFinds)
{
    // This table's rows with another table's rows between: one between each (the rows lie
    // together) for the first table, three (they lie apart) for the second. The first has
    // more rows than one pool thread reads at a time.
    const QString databaseId = database->id().toString();
    const QString definitionId = definition->id().toString();
    UserTemplate* crowd = addTable(databaseId, definitionId, "Crowd");
    UserTemplate* others = addTable(databaseId, definitionId, "Others");
    const auto insert = [&](UserTemplate* into, const QString& who, int years) {
        Rows* row = Rows::add(into->id().toString());
        row->updateData({ { key(name), who }, { key(age), years }, { key(kind), "Friend" },
                            { key(secret), "p1 hidden" }, { key(done), years % 2 == 0 } },
            columns(), std::nullopt);
        KivoLib::insertEntity(row);
    };
    QHash<QString, QStringList> names;
    const QList<std::pair<UserTemplate*, int>> tables { { table, 1 }, { crowd, 3 } };
    for (const auto& [into, between] : tables) {
        const int count = into == table ? int(UserTableRows::FillReadRange) + 300 : 300;
        for (int i = 0; i < count; ++i) {
            const QString who = QString("P%1 %2").arg(i).arg(i % 7 ? "x" : "\u00c9mile");
            insert(into, who, i % 90);
            names[into->name().toString()] << who;
            for (int other = 0; other < between; ++other)
                insert(others, "p1 other", 1);
        }
    }
    ASSERT_TRUE(KivoLib::commit());

    const auto openNamed = [&](const QString& wanted) {
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        home = open<MainDataController>("Home", link);
        auto homeController = controllerOf<MainDataController>(home);
        qint64 index = -1;
        for (qint64 i = 0; i < homeController->count(); ++i) {
            if (homeController->getGridData(i)->Menu == wanted)
                index = i;
        }
        ASSERT_GE(index, 0);
        screen = open<GenericTemplateDataController>("Template Rows", linkFrom(home, index));
        controller = controllerOf<GenericTemplateDataController>(screen);
    };
    for (const QString& tableName : { QString("People"), QString("Crowd") }) {
        for (const QString& needle : { QString("p1"), QString("emile") }) {
            QStringList expected;
            for (const QString& who : names[tableName]) {
                if (RowValueCompare::fold(who).contains(needle))
                    expected << who;
            }
            // Typed as soon as the first tiles are drawn: the pool is still reading.
            openNamed(tableName);
            controller->prefetchRows(0, 2);
            ASSERT_TRUE(controller->tableRows().isMakingSearchTexts());
            controller->searchData(needle);
            EXPECT_FALSE(controller->tableRows().isMakingSearchTexts());
            const QStringList atOnce = shownNames();
            controller->endSearch(-1);
            // Typed once every text is made.
            openNamed(tableName);
            controller->prefetchRows(0, 2);
            ASSERT_TRUE(testsupport::waitUntil([&] {
                testsupport::processEvents(5);
                return !controller->tableRows().isMakingSearchTexts();
            }));
            EXPECT_EQ(controller->tableRows().searchTextCount(), names[tableName].size());
            controller->searchData(needle);
            EXPECT_EQ(shownNames(), atOnce)
                << tableName.toStdString() << " " << needle.toStdString();
            EXPECT_EQ(atOnce, expected) << tableName.toStdString() << " " << needle.toStdString();
            controller->endSearch(-1);
        }
    }
}

TEST_F(TableRowsTest, ASearchAfterAWriteFindsTheNewTextAndNotTheOld)
{
    person("Ann", 30);
    person("Bob", 40);
    person("Cid", 50);
    openRows();
    // The search texts are made in the background once the table is open.
    ASSERT_TRUE(testsupport::waitUntil([&] {
        testsupport::processEvents(5);
        return !controller->tableRows().isMakingSearchTexts();
    }));
    EXPECT_EQ(controller->tableRows().searchTextCount(), 3);
    controller->searchData("ann");
    EXPECT_EQ(shownNames(), QStringList({ "Ann" }));
    controller->endSearch(-1);

    // Saved through the row form.
    screen->setSelectedRow(shownNames().indexOf("Ann"));
    controller->tapOnDisclosure(0);
    ASSERT_TRUE(controller->saveRow(QVariantMap { { key(name), "Dan" }, { key(age), 30 } }));
    screen->refreshView();
    controller->searchData("ann");
    EXPECT_EQ(controller->count(), 0);
    controller->searchData("dan");
    EXPECT_EQ(shownNames(), QStringList({ "Dan" }));
    controller->endSearch(-1);

    // A check mark (the column shows "Yes" and "No").
    ASSERT_TRUE(controller->checkMarkTouched(shownNames().indexOf("Bob"), true));
    screen->refreshView();
    controller->searchData("yes");
    EXPECT_EQ(shownNames(), QStringList({ "Bob" }));
    controller->endSearch(-1);

    // Deleted.
    screen->setSelectedRow(shownNames().indexOf("Cid"));
    ASSERT_TRUE(controller->deleteRow());
    screen->refreshView();
    controller->searchData("cid");
    EXPECT_EQ(controller->count(), 0);
    controller->endSearch(-1);

    // Written elsewhere, without this table being told: the reload reads it afresh.
    for (Rows* row : Rows::getRowsAll()) {
        if (row->getData(columns(), std::nullopt).value(key(name)) == "Bob") {
            row->updateData({ { key(name), "Bea" }, { key(age), 40 } }, columns(), std::nullopt);
            ASSERT_TRUE(row->saveRows());
        }
    }
    screen->refreshView();
    controller->searchData("bob");
    EXPECT_EQ(controller->count(), 0);
    controller->searchData("bea");
    EXPECT_EQ(shownNames(), QStringList({ "Bea" }));
    // The search goes on over a reload after a write.
    person("Beatrix", 20);
    screen->refreshView();
    EXPECT_EQ(shownNames(), QStringList({ "Bea", "Beatrix" }));
}

TEST_F(TableRowsTest, ASortAfterAnEditOrdersByTheNewValues)
{
    person("Bob", 20);
    person("Ann", 40);
    person("Cid", 30);
    openRows();
    controller->headerLabelTouched(1);
    EXPECT_EQ(shownNames(), QStringList({ "Ann", "Cid", "Bob" }));
    screen->setSelectedRow(shownNames().indexOf("Bob"));
    controller->tapOnDisclosure(0);
    ASSERT_TRUE(controller->saveRow(QVariantMap { { key(name), "Bob" }, { key(age), 99 } }));
    screen->refreshView();
    EXPECT_EQ(shownNames(), QStringList({ "Bob", "Ann", "Cid" }));
    controller->headerLabelTouched(1);
    EXPECT_EQ(shownNames(), QStringList({ "Cid", "Ann", "Bob" }));
}
