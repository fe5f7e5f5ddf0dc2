#include "AppFixture.h"

#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormSelectSection.h"
#include "forms/FormSortingSection.h"
#include "forms/GenericFilterDetailViewController.h"
#include "forms/OrderingDetailViewController.h"
#include "forms/SearchColumnSelectorDetailViewController.h"
#include "model/FilterExtended.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/ui/SearchBar.h"
#include "screens/GenericFilterDataController.h"
#include "screens/GenericSortDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "utilities/text/KivoNumber.h"
#include "widgets/SimplePopupViewController.h"

#include <QTest>

namespace e2e {
namespace {

// A table of goods with a number, a price, a day and a time of day, and the filter and
// sort lists of its rows screen.
struct FilterSortJourney : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ApplicationScreen* databases = top();
        ASSERT_TRUE(addDatabase(databases, "Shop", "Goods"));
        ASSERT_TRUE(open(databases, "Shop"));
        home = top();
        Template* stock = Template::add();
        stock->setName("Stock");
        stock->setDescr("Goods in stock");
        ASSERT_TRUE(stock->saveTemplate());
        const QString id = stock->id().toString();
        item = addColumn(id, "Item", "Text", 0);
        qty = addColumn(id, "Qty", "Numeric", 1);
        price = addColumn(id, "Price", "Currency", 2);
        price->setPrecision(2);
        ASSERT_TRUE(price->saveTemplateColumn());
        due = addColumn(id, "Due", "Date", 3);
        at = addColumn(id, "At", "Time", 4);
        secret = addColumn(id, "Secret", "Protected", 5);
        ASSERT_TRUE(addTable(home, "Stock", id));
        ASSERT_TRUE(open(home, "Stock"));
        rows = top();
        rowsController = controllerOf<GenericTemplateDataController>(rows);
        ASSERT_NE(rowsController, nullptr);
        rowsController->sorts().clear();
        const QDate day(2024, 3, 1);
        goods("Apple", 5, day, QTime(9, 0));
        goods("Bread", 12, day.addDays(1), QTime(15, 30));
        goods("Cheese", 20, day, QTime(11, 0));
        goods("Dates", 10, day.addDays(2), QTime(18, 0));
        reload(rows);
        ASSERT_EQ(rowsController->count(), 4);
    }

    static TemplateColumn* addColumn(
        const QString& templateId, const QString& name, const QString& type, int order)
    {
        TemplateColumn* made = TemplateColumn::add(templateId);
        made->setName(name);
        made->setType(type);
        made->setLength(40);
        made->setOrder(order);
        made->setIntiles(order == 0);
        made->setIntable(true);
        EXPECT_TRUE(made->saveTemplateColumn());
        return made;
    }

    void goods(const QString& name, int count, const QDate& day, const QTime& time)
    {
        Rows* row = Rows::add(rowsController->userTemplate()->id().toString());
        row->updateData({ { item->id().toString(), name }, { qty->id().toString(), count },
                            { price->id().toString(), count * 1.5 },
                            { due->id().toString(), QDateTime(day, QTime(0, 0)) },
                            { at->id().toString(), QDateTime(QDate(2020, 1, 1), time) },
                            { secret->id().toString(), "hidden" } },
            rowsController->Columns(), std::nullopt);
        ASSERT_TRUE(row->saveRows());
    }

    // The list the rows screen's button opens: in a popup on a tablet, pushed on a phone.
    ApplicationScreen* openList(int tag)
    {
        platform::ui::View* button = barButton(rows, tag);
        EXPECT_NE(button, nullptr) << tag;
        if (!button)
            return nullptr;
        GestureSynthesizer::tap(button);
        settle(150);
        if (!tablet())
            return top() != rows ? top() : nullptr;
        SimplePopupViewController* popup = rows->simplepopupController();
        auto* stack = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return stack ? dynamic_cast<ApplicationScreen*>(stack->topViewController()) : nullptr;
    }

    // The list's add button, or edit of the tile at the index, and the form it opens.
    QuickDetailViewController* openForm(ApplicationScreen* list, int tile = -1)
    {
        if (tile < 0) {
            GestureSynthesizer::tap(barButton(list, 1));
        } else {
            list->setSelectedRow(tile);
            GestureSynthesizer::tap(barButton(list, 2));
        }
        return awaitedForm(list);
    }

    static void pick(QuickDetailViewController* form, const QString& key, const QString& item)
    {
        auto* choice = qobject_cast<FormRadioElement*>(element(form, key));
        ASSERT_NE(choice, nullptr) << key.toStdString();
        ASSERT_TRUE(choice->items().contains(item)) << item.toStdString();
        choice->setSelected(choice->items().indexOf(item));
        choice->fieldDidEndEditing();
        settle();
    }

    // Fills the condition and presses Save; true when the form closed.
    bool condition(ApplicationScreen* list, QuickDetailViewController* form, const QString& andOr,
        const QString& column, const QString& op, const QVariant& value)
    {
        if (!form)
            return false;
        QPointer<QuickDetailViewController> alive(form);
        pick(form, "AndOr", andOr);
        pick(form, "columns", column);
        pick(form, "conditions", op);
        if (auto* number = qobject_cast<FormDecimalElement*>(element(form, "numericValue")))
            number->setNumberValue(value);
        else if (auto* date = qobject_cast<FormDateTimeInlineElement*>(element(form, "dateValue")))
            date->setDateValue(value.toDateTime());
        else if (auto* text = qobject_cast<FormEntryElement*>(element(form, "textValue")))
            text->setTextValue(value.toString());
        form->onSave();
        settle(100);
        return !alive
            || (navigation->topViewController() != alive
                && (!list->popupController()
                    || list->popupController()->contentViewController() != alive));
    }

    // The bottom bar's search button: applies the list and closes it.
    void apply(ApplicationScreen* list)
    {
        QList<platform::ui::BarButtonItem*> items = list->toolbarItems();
        for (platform::ui::BarButtonItem* button : std::as_const(items))
            if (button && button->tag() == 7 && button->view())
                GestureSynthesizer::tap(button->view());
        settle(200);
    }

    QStringList shownItems() { return titles(rows); }

    ApplicationScreen* home = nullptr;
    ApplicationScreen* rows = nullptr;
    GenericTemplateDataController* rowsController = nullptr;
    TemplateColumn* item = nullptr;
    TemplateColumn* qty = nullptr;
    TemplateColumn* price = nullptr;
    TemplateColumn* due = nullptr;
    TemplateColumn* at = nullptr;
    TemplateColumn* secret = nullptr;
};

TEST_P(FilterSortJourney, ConditionsAreAddedEditedOrderedDeletedAndApplied)
{
    ApplicationScreen* list = openList(41);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->screen()->id, "SCREEN_INQUERY_GENERAL");
    EXPECT_NE(controllerOf<GenericFilterDataController>(list), nullptr);
    if (tablet()) {
        EXPECT_EQ(top(), rows);
    }

    // "And / Numeric / Greater Than / 10".
    QuickDetailViewController* form = openForm(list);
    ASSERT_NE(qobject_cast<GenericFilterDetailViewController*>(form), nullptr);
    if (tablet()) {
        ASSERT_NE(list->popupController(), nullptr);
        EXPECT_EQ(list->popupController()->contentViewController(), form);
    }
    ASSERT_TRUE(condition(list, form, "And", "Qty", "Greater Than", 10));
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 10" }));
    ASSERT_TRUE(saveShot(QString("e2e-filter-list-%1.png").arg(GetParam())));

    // Incomplete: nothing is added.
    form = openForm(list);
    EXPECT_FALSE(condition(list, form, "And", "Qty", "None", 3));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Please enter valid data." }));
    closeForm(list);
    form = openForm(list);
    EXPECT_FALSE(condition(list, form, "None", "Item", "Contains", "e"));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Please enter valid data." }));
    closeForm(list);
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 10" }));

    // A refused edit changes nothing; an accepted one replaces the entry, adding none.
    form = openForm(list, 0);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(condition(list, form, "And", "Qty", "None", 15));
    takeMessages();
    closeForm(list);
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 10" }));
    EXPECT_EQ(rowsController->filters().first()->Operator(), "Greater Than");
    form = openForm(list, 0);
    ASSERT_TRUE(condition(list, form, "And", "Qty", "Greater Than", 11));
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 11" }));

    form = openForm(list);
    ASSERT_TRUE(condition(list, form, "Or", "Item", "Contains", "apple"));
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 11", "Or Item Contains apple" }));

    // Applied: Bread and Cheese have more than 11, Apple matches the text.
    apply(list);
    EXPECT_EQ(top(), rows);
    EXPECT_EQ(shownItems(), QStringList({ "Apple", "Bread", "Cheese" }));

    // The order form puts the second first, in the rows screen's own list: its "Or" now
    // joins nothing, and the "And" asks for both.
    list = openList(41);
    ASSERT_NE(list, nullptr);
    GestureSynthesizer::tap(barButton(list, 38));
    auto* order = qobject_cast<OrderingDetailViewController*>(awaitedForm(list));
    ASSERT_NE(order, nullptr);
    auto* sorting
        = qobject_cast<FormSortingSection*>(order->root()->sectionWithKey("sortingSection"));
    ASSERT_NE(sorting, nullptr);
    sorting->moveElementFromRow(1, 0);
    order->onSave();
    settle(100);
    EXPECT_EQ(titles(list), QStringList({ "Or Item Contains apple", "And Qty Greater Than 11" }));
    EXPECT_EQ(rowsController->filters().first()->Header(), "Item");
    apply(list);
    EXPECT_TRUE(shownItems().isEmpty());

    // A delete during a search removes the entry found, not the first of the list.
    list = openList(41);
    ASSERT_NE(list, nullptr);
    list->showHideSearchBar();
    auto* field = list->searchBar()->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClicks(field, "Qty");
    settle(60);
    EXPECT_EQ(titles(list), QStringList({ "And Qty Greater Than 11" }));
    list->setSelectedRow(0);
    GestureSynthesizer::tap(barButton(list, 3));
    settle();
    platform::ui::AlertView* confirm = alertTitled("Confirmation");
    ASSERT_NE(confirm, nullptr);
    confirm->dismissWithClickedButtonIndex(1, false);
    settle(100);
    ASSERT_EQ(rowsController->filters().size(), 1);
    EXPECT_EQ(rowsController->filters().first()->Header(), "Item");
    apply(list);
    EXPECT_EQ(shownItems(), QStringList({ "Apple" }));
}

TEST_P(FilterSortJourney, DatesCompareByDayTimesByTimeOfDayAndPricesShowTheCurrency)
{
    ApplicationScreen* list = openList(41);
    ASSERT_NE(list, nullptr);
    QuickDetailViewController* form = openForm(list);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(saveShot(QString("e2e-filter-form-before-column-%1.png").arg(GetParam())));
    // Protected columns are never offered.
    auto* columns = qobject_cast<FormRadioElement*>(element(form, "columns"));
    ASSERT_NE(columns, nullptr);
    EXPECT_FALSE(columns->items().contains("Secret"));
    pick(form, "columns", "Price");
    auto* amount = qobject_cast<FormDecimalElement*>(element(form, "numericValue"));
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->suffix(), KivoNumber::getCurrencySymbol());
    EXPECT_EQ(amount->fractionDigits(), 2u);
    ASSERT_TRUE(saveShot(QString("e2e-filter-form-after-column-%1.png").arg(GetParam())));

    // The day alone counts, whatever time the picker holds.
    ASSERT_TRUE(condition(
        list, form, "And", "Due", "Equal To", QDateTime(QDate(2024, 3, 1), QTime(17, 45))));
    apply(list);
    EXPECT_EQ(shownItems(), QStringList({ "Apple", "Cheese" }));

    // The time of day alone counts, whatever day the picker holds.
    list = openList(41);
    ASSERT_NE(list, nullptr);
    form = openForm(list);
    ASSERT_TRUE(condition(
        list, form, "And", "At", "Less Than", QDateTime(QDate(2030, 6, 6), QTime(10, 0))));
    apply(list);
    EXPECT_EQ(shownItems(), QStringList({ "Apple" }));
}

TEST_P(FilterSortJourney, SortKeysOrderTheRowsAndSearchColumnsNarrowTheSearch)
{
    ApplicationScreen* list = openList(36);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->screen()->id, "SCREEN_SORT_GENERA");
    QuickDetailViewController* form = openForm(list);
    ASSERT_NE(form, nullptr);
    auto* columns = qobject_cast<FormRadioElement*>(element(form, "Header"));
    ASSERT_NE(columns, nullptr);
    EXPECT_FALSE(columns->items().contains("Secret"));
    // No column: refused, nothing added.
    form->onSave();
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Please enter valid data." }));
    pick(form, "Header", "Qty");
    qobject_cast<FormBooleanElement*>(element(form, "Ascending"))->setBoolValue(false);
    form->onSave();
    settle(100);
    EXPECT_EQ(titles(list), QStringList({ "Qty Descending" }));
    ASSERT_TRUE(saveShot(QString("e2e-sort-list-%1.png").arg(GetParam())));
    apply(list);
    EXPECT_EQ(shownItems(), QStringList({ "Cheese", "Bread", "Dates", "Apple" }));

    // The search bar's bookmark: searching the item names only.
    rows->showHideSearchBar();
    rowsController->searchBarBookmarkClicked();
    auto* choice = qobject_cast<SearchColumnSelectorDetailViewController*>(awaitedForm(rows));
    ASSERT_NE(choice, nullptr);
    auto* section
        = qobject_cast<FormSelectSection*>(choice->root()->sectionWithKey("searchColumns"));
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(section->items().contains("Secret"));
    section->setSelectedIndexes({});
    section->toggleItemAtIndex(0);
    choice->onSave();
    settle(100);
    EXPECT_EQ(rowsController->searchColumns().value(item->id().toString()), true);
    EXPECT_EQ(rowsController->searchColumns().value(qty->id().toString()), false);
}

// Filters and sorts belong to the open rows screen, as the help says: the table left and
// opened again shows its rows as before either was set.
TEST_P(FilterSortJourney, FiltersAndSortsApplyWhileTheTableStaysOpen)
{
    const QStringList unsorted = shownItems();
    ApplicationScreen* list = openList(36);
    ASSERT_NE(list, nullptr);
    QuickDetailViewController* form = openForm(list);
    ASSERT_NE(form, nullptr);
    pick(form, "Header", "Qty");
    qobject_cast<FormBooleanElement*>(element(form, "Ascending"))->setBoolValue(false);
    form->onSave();
    settle(100);
    apply(list);
    list = openList(41);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(condition(list, openForm(list), "And", "Qty", "Greater Than", 5));
    apply(list);
    ASSERT_EQ(shownItems(), QStringList({ "Cheese", "Bread", "Dates" }));

    back();
    ASSERT_EQ(top(), home);
    ASSERT_TRUE(open(home, "Stock"));
    auto* reopened = controllerOf<GenericTemplateDataController>(top());
    ASSERT_NE(reopened, nullptr);
    EXPECT_TRUE(reopened->filters().isEmpty());
    EXPECT_TRUE(reopened->sorts().isEmpty());
    EXPECT_EQ(titles(top()), unsorted);
}

INSTANTIATE_TEST_SUITE_P(Devices, FilterSortJourney, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
