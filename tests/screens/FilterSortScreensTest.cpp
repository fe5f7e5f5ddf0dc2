#include "ScreensFixture.h"

#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "screens/GenericFilterDataController.h"
#include "screens/GenericSortDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"

using screenstest::FakeAppScreen;

namespace {

// The filter and sort lists over the rows screen of one table.
struct FilterSortTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        Database* database = addDatabase("Work");
        Template* definition = addDefinition("Orders");
        const QString id = definition->id().toString();
        name = addColumn(id, "Name", "Text");
        amount = addColumn(id, "Amount", "Numeric");
        amount->setPrecision(2);
        ASSERT_TRUE(amount->saveTemplateColumn());
        secret = addColumn(id, "Secret", "Protected");
        paid = addColumn(id, "Paid", "Yes/No");
        addTable(database->id().toString(), id, "Orders");
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        FakeAppScreen* home = open<MainDataController>("Home", link);
        rowsScreen = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
        rows = controllerOf<GenericTemplateDataController>(rowsScreen);
        ASSERT_EQ(rows->Columns().size(), 4);
        rows->sorts().clear();
    }

    FakeAppScreen* openFilters()
    {
        return open<GenericFilterDataController>(
            ScreenFactory::InQueryGeneral, linkFrom(rowsScreen, -1));
    }

    FakeAppScreen* openSorts()
    {
        return open<GenericSortDataController>(
            ScreenFactory::SortGeneral, linkFrom(rowsScreen, -1));
    }

    static std::shared_ptr<FilterExtended> condition(const QString& andOr, const QString& header,
        const QString& op, const QVariant& number = {}, const QString& text = {})
    {
        auto made = std::make_shared<FilterExtended>();
        made->setAndOr(andOr);
        made->setHeader(header);
        made->setOperator(op);
        made->setNumericValue(number);
        made->setTextValue(text);
        return made;
    }

    // What the form hands over: a new condition after the add button.
    bool addCondition(FakeAppScreen* list, const std::shared_ptr<FilterExtended>& made)
    {
        list->dataController->add(nullptr);
        return list->dataController->saveRow(RowObject::fromRecord(made));
    }

    QStringList headers() const
    {
        QStringList shown;
        for (const auto& filter : std::as_const(rows->filters()))
            shown << filter->Header();
        return shown;
    }

    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* secret = nullptr;
    TemplateColumn* paid = nullptr;
    FakeAppScreen* rowsScreen = nullptr;
    std::shared_ptr<GenericTemplateDataController> rows;
};

TEST_F(FilterSortTest, AConditionReadsConnectiveColumnOperatorAndTheColumnsValueText)
{
    FakeAppScreen* list = openFilters();
    auto controller = controllerOf<GenericFilterDataController>(list);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->tilesButtons(), 3);

    // The add button opens a new condition with empty texts and an id of its own.
    controller->add(nullptr);
    ASSERT_EQ(list->shownRows.size(), 1);
    const auto fresh = RowObject::record<FilterExtended>(list->shownRows.first());
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->id().isEmpty());
    EXPECT_EQ(fresh->textValue(), "");

    auto made = condition("And", "Amount", "Greater Than", 10);
    ASSERT_TRUE(controller->saveRow(RowObject::fromRecord(made)));
    EXPECT_TRUE(alertTexts().isEmpty());
    ASSERT_EQ(rows->filters().size(), 1);
    EXPECT_EQ(rows->filters().first(), made);
    EXPECT_EQ(made->SQL(), "And Amount Greater Than 10.00");
    EXPECT_EQ(made->Value(), "10.00");
    EXPECT_EQ(made->Column(), amount->id().toString());
    ASSERT_EQ(controller->count(), 1);
    EXPECT_EQ(controller->getGridData(0)->Menu, made->SQL());
    EXPECT_EQ(controller->getGridData(0)->Image, "filtermetro");

    // A Yes/No value always has a text, "No" included.
    ASSERT_TRUE(addCondition(list, condition("Or", "Paid", "Equal To")));
    EXPECT_EQ(rows->filters().last()->SQL(), "Or Paid Equal To No");
}

TEST_F(FilterSortTest, AnIncompleteConditionIsRefusedAndTheListStaysAsItWas)
{
    FakeAppScreen* list = openFilters();
    ASSERT_TRUE(addCondition(list, condition("And", "Name", "Contains", {}, "Ann")));
    const QList<std::shared_ptr<FilterExtended>> before = rows->filters();

    const QList<std::shared_ptr<FilterExtended>> refused {
        condition("None", "Name", "Contains", {}, "Ann"),
        condition("And", "None", "Contains", {}, "Ann"),
        condition("And", "Name", "None", {}, "Ann"),
        condition("", "Name", "Contains", {}, "Ann"),
        condition("And", "Name", "", {}, "Ann"),
        // No value text: an empty text, a number never typed.
        condition("And", "Name", "Contains", {}, ""),
        condition("And", "Amount", "Less Than"),
        // A column the table does not have, and a Protected one.
        condition("And", "Gone", "Contains", {}, "Ann"),
        condition("And", "Secret", "Equal To", {}, "Ann"),
    };
    for (const auto& made : refused) {
        EXPECT_FALSE(addCondition(list, made)) << made->SQL().toStdString();
        EXPECT_EQ(alertTexts(), QStringList({ "Please enter valid data." }))
            << made->SQL().toStdString();
        dismissAlerts();
    }
    EXPECT_EQ(rows->filters(), before);
    EXPECT_EQ(controllerOf<GenericFilterDataController>(list)->count(), 1);
}

TEST_F(FilterSortTest, AnEditIsTakenOverByTheEntryItselfOnlyOnceAccepted)
{
    FakeAppScreen* list = openFilters();
    auto original = condition("And", "Amount", "Greater Than", 10);
    ASSERT_TRUE(addCondition(list, original));
    list->refreshView();

    // The form edits a copy of the selected entry.
    list->setSelectedRow(0);
    list->dataController->edit(nullptr);
    auto copy = condition("And", "Amount", "Greater Than");
    copy->setId(original->id());
    EXPECT_FALSE(list->dataController->saveRow(RowObject::fromRecord(copy)));
    dismissAlerts();
    EXPECT_EQ(original->SQL(), "And Amount Greater Than 10.00");

    copy->setNumericValue(25);
    copy->setOperator("Less Than");
    ASSERT_TRUE(list->dataController->saveRow(RowObject::fromRecord(copy)));
    ASSERT_EQ(rows->filters().size(), 1);
    EXPECT_EQ(rows->filters().first(), original);
    EXPECT_EQ(original->SQL(), "And Amount Less Than 25.00");
    EXPECT_EQ(original->numericValue().toDouble(), 25.0);
}

TEST_F(FilterSortTest, ReorderingAndDeletingChangeTheRowsScreensOwnList)
{
    FakeAppScreen* list = openFilters();
    auto controller = controllerOf<GenericFilterDataController>(list);
    for (const char* header : { "Amount", "Name", "Paid" })
        rows->filters() << condition("And", header, "Equal To", 1, "x");
    const auto first = rows->filters().at(0);
    list->refreshView();

    const OrderedDictionary items = controller->getOrderingData();
    EXPECT_EQ(items.keyEnumerator(), QStringList({ "0", "1", "2" }));
    EXPECT_EQ(items.allValues(), QVariantList({ "Amount", "Name", "Paid" }));
    // Nothing moved: the same order back.
    ASSERT_TRUE(controller->onOrderingComplete(items.keyEnumerator()));
    EXPECT_EQ(headers(), QStringList({ "Amount", "Name", "Paid" }));
    ASSERT_TRUE(controller->onOrderingComplete({ "2", "0", "1" }));
    EXPECT_EQ(headers(), QStringList({ "Paid", "Amount", "Name" }));
    EXPECT_EQ(rows->filters().at(1), first);
    // Unknown and repeated keys are passed over; an entry left out stays, at the end.
    ASSERT_TRUE(controller->onOrderingComplete({ "1", "1", "7", "x" }));
    EXPECT_EQ(headers(), QStringList({ "Amount", "Paid", "Name" }));
    // A tile dragged to the end takes its entry there too.
    ASSERT_TRUE(controller->moveRow(0, 2));
    controller->itemsReorderd();
    EXPECT_EQ(headers(), QStringList({ "Paid", "Name", "Amount" }));

    // While searching, the selection is among the matches: the one selected goes.
    list->calls.clear();
    controller->searchData("Name");
    ASSERT_EQ(controller->count(), 1);
    list->setSelectedRow(0);
    ASSERT_TRUE(controller->deleteRow());
    EXPECT_EQ(headers(), QStringList({ "Paid", "Amount" }));
    EXPECT_EQ(controller->count(), 0);
    controller->setIsSearchActive(false);
    list->setSelectedRow(1);
    ASSERT_TRUE(controller->deleteRow());
    EXPECT_EQ(headers(), QStringList({ "Paid" }));
}

TEST_F(FilterSortTest, ASortKeyNeedsAColumnOfTheTableThatIsNotProtected)
{
    FakeAppScreen* list = openSorts();
    auto controller = controllerOf<GenericSortDataController>(list);
    ASSERT_NE(controller, nullptr);
    controller->add(nullptr);
    const auto fresh = RowObject::record<Sort>(list->shownRows.value(0));
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->Ascending());
    EXPECT_EQ(fresh->Header(), "");

    for (const char* header : { "None", "", "Gone", "Secret" }) {
        auto key = std::make_shared<Sort>();
        key->setHeader(header);
        EXPECT_FALSE(controller->saveRow(RowObject::fromRecord(key))) << header;
        EXPECT_EQ(alertTexts(), QStringList({ "Please enter valid data." })) << header;
        dismissAlerts();
    }
    EXPECT_TRUE(rows->sorts().isEmpty());

    auto key = std::make_shared<Sort>();
    key->setHeader("Amount");
    key->setAscending(false);
    ASSERT_TRUE(controller->saveRow(RowObject::fromRecord(key)));
    ASSERT_EQ(rows->sorts().size(), 1);
    EXPECT_EQ(key->Column(), amount->id().toString());
    EXPECT_EQ(controller->getGridData(0)->Menu, "Amount Descending");
    EXPECT_EQ(controller->getGridData(0)->Image, "sortmetro");

    // The search button of the top bar only shows the search bar.
    controller->search(nullptr);
    EXPECT_TRUE(list->calls.contains("showHideSearchBar"));
}

} // namespace
