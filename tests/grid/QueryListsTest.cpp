#include "GridFixture.h"

#include "grid/FilterDataController.h"
#include "grid/GridData.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/SortDataController.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"

#include <gtest/gtest.h>

using gridtest::FakeGridScreen;
using gridtest::GridFixture;

namespace {

std::shared_ptr<FilterExtended> filterOf(
    const QString& andOr, const QString& header, const QString& op, const QString& value)
{
    auto filter = std::make_shared<FilterExtended>();
    filter->setAndOr(andOr);
    filter->setHeader(header);
    filter->setOperator(op);
    filter->setValue(value);
    return filter;
}

std::shared_ptr<Sort> sortOf(const QString& header, bool ascending)
{
    auto sort = std::make_shared<Sort>();
    sort->setHeader(header);
    sort->setAscending(ascending);
    return sort;
}

// A filter or sort list over the screen of a server table with the columns Name and City.
template<class Controller> struct QueryList : GridFixture {
    void SetUp() override
    {
        GridFixture::SetUp();
        tableScreen = std::make_shared<TableDataController>();
        auto table = std::make_shared<ResponseTable>();
        table->Columns = { ResponseColumn { "CustomerName", "Name", 10, 0, "N" },
            ResponseColumn { "CustomerCity", "City", 10, 1, "N" } };
        tableScreen->setTable(table);
        tableRecord = std::make_shared<BridgeScreenData>();
        link = std::make_shared<Parent>();
        link->dataController = tableScreen;
        link->screen = tableRecord;
        list = std::make_shared<Controller>();
        screen = new FakeGridScreen(record, list, link);
        navigation = std::make_unique<platform::ui::NavigationController>();
        navigation->pushViewController(screen, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
    }
    void TearDown() override
    {
        list.reset();
        GridFixture::TearDown();
    }
    bool save(const QVariant& entry, unsigned action)
    {
        list->setLastClickedButton(action);
        return list->saveRow(entry);
    }

    std::shared_ptr<TableDataController> tableScreen;
    std::shared_ptr<BridgeScreenData> tableRecord;
    std::shared_ptr<Parent> link;
    std::shared_ptr<Controller> list;
    FakeGridScreen* screen = nullptr;
};

using FilterList = QueryList<FilterDataController>;
using SortList = QueryList<SortDataController>;

} // namespace

TEST_F(FilterList, AValidFilterGetsItsColumnAndSqlAndIsAddedToTheCallingScreensFilters)
{
    const auto filter = filterOf("And", "City", "Contains", "Os");
    EXPECT_TRUE(save(RowObject::fromRecord(filter), BaseDataController::AddAction));
    EXPECT_EQ(filter->Column(), "CustomerCity");
    EXPECT_EQ(filter->SQL(), "And City Contains Os");
    ASSERT_EQ(tableScreen->filters().size(), 1);
    EXPECT_EQ(tableScreen->filters().first(), filter);
    ASSERT_EQ(list->rows().size(), 1);
    const auto item = list->getGridData(0);
    EXPECT_EQ(item->Menu, "And City Contains Os");
    EXPECT_EQ(item->Image, "filtermetro");

    // Saving it again after an edit does not add a second copy.
    filter->setValue("Ly");
    EXPECT_TRUE(save(RowObject::fromRecord(filter), BaseDataController::EditAction));
    EXPECT_EQ(tableScreen->filters().size(), 1);
    EXPECT_EQ(filter->SQL(), "And City Contains Ly");
}

TEST_F(FilterList, ANoneChoiceAnEmptyValueOrAnUnknownHeaderIsRefusedAndNothingAdded)
{
    for (const auto& filter : { filterOf("None", "City", "Contains", "Os"),
             filterOf("And", "City", "None", "Os"), filterOf("And", "None", "Contains", "Os"),
             filterOf("Or", "City", "Contains", ""), filterOf("Or", "Country", "Contains", "N") }) {
        EXPECT_FALSE(save(RowObject::fromRecord(filter), BaseDataController::AddAction));
        const auto alerts = alertsShown();
        ASSERT_EQ(alerts.size(), 1) << filter->SQL().toStdString();
        EXPECT_EQ(alerts.first()->message(), "Please enter valid data.");
        alerts.first()->dismissWithClickedButtonIndex(0, false);
    }
    EXPECT_TRUE(tableScreen->filters().isEmpty());
}

TEST_F(FilterList, DeletingDuringASearchRemovesTheSelectedMatchNotTheEntryAtThatIndexOfAll)
{
    const auto name = filterOf("And", "Name", "Contains", "A");
    const auto city = filterOf("And", "City", "Equal To", "Oslo");
    const auto cityToo = filterOf("Or", "City", "Equal To", "Lyon");
    tableScreen->filters() = { name, city, cityToo };
    list->loadData(link);
    list->searchData("city");
    ASSERT_EQ(list->count(), 2);
    screen->setSelectedRow(1);
    ASSERT_EQ(RowObject::record<FilterExtended>(list->getRowData(1)), cityToo);

    EXPECT_TRUE(list->deleteRow());
    EXPECT_EQ(tableScreen->filters(), (QList<std::shared_ptr<FilterExtended>> { name, city }));
    // The search still shows its one remaining match.
    EXPECT_EQ(list->count(), 1);
}

TEST_F(SortList, ASortShowsItsDirectionAndNeedsAKnownHeader)
{
    const auto ascending = sortOf("Name", true);
    EXPECT_TRUE(save(RowObject::fromRecord(ascending), BaseDataController::AddAction));
    EXPECT_EQ(ascending->Column(), "CustomerName");
    const auto descending = sortOf("City", false);
    EXPECT_TRUE(save(RowObject::fromRecord(descending), BaseDataController::AddAction));
    EXPECT_EQ(list->getGridData(0)->Menu, "Name Ascending");
    EXPECT_EQ(list->getGridData(1)->Menu, "City Descending");
    EXPECT_EQ(list->getGridData(1)->Image, "sortmetro");

    EXPECT_FALSE(save(RowObject::fromRecord(sortOf("None", true)), BaseDataController::AddAction));
    EXPECT_FALSE(
        save(RowObject::fromRecord(sortOf("Nowhere", true)), BaseDataController::AddAction));
    EXPECT_EQ(tableScreen->sorts().size(), 2);

    list->searchData("CITY");
    screen->setSelectedRow(0);
    EXPECT_TRUE(list->deleteRow());
    EXPECT_EQ(tableScreen->sorts(), QList<std::shared_ptr<Sort>> { ascending });
}

TEST_F(SortList, AddingOpensTheFormWithANewAscendingSort)
{
    list->addRow();
    ASSERT_EQ(screen->shownRows.size(), 1);
    const auto sort = RowObject::record<Sort>(screen->shownRows.first());
    ASSERT_NE(sort, nullptr);
    EXPECT_TRUE(sort->Ascending());
    EXPECT_TRUE(tableScreen->sorts().isEmpty());
}
