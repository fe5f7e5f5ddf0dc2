#include "DetailFormFixture.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormSelectSection.h"
#include "forms/GenericFilterDetailViewController.h"
#include "forms/GenericSortDetailViewController.h"
#include "forms/OrderingDetailViewController.h"
#include "forms/SearchColumnSelectorDetailViewController.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "utilities/text/KivoNumber.h"

using namespace detailtest;

namespace {

// The filter or sort list screen the forms are opened from: it keeps what Save hands it.
class ListController : public BaseDataController {
    Q_OBJECT
public:
    bool saveRow(const QVariant& row) override
    {
        saved << row;
        return acceptSave;
    }
    OrderedDictionary getOrderingData() const override { return ordering; }
    bool onOrderingComplete(const QStringList& ids) override
    {
        orders << ids;
        return true;
    }
    bool respondsToOnOrderingComplete() const override { return ordersItems; }

    QVariantList saved;
    bool acceptSave = false;
    OrderedDictionary ordering;
    QList<QStringList> orders;
    bool ordersItems = true;
};

struct FilterSortForms : DetailFormTest, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        DetailFormTest::SetUp();
        name = column("Name", TypeConstants::Text);
        amount = column("Amount", TypeConstants::Numeric, 2);
        price = column("Price", TypeConstants::Currency, 3);
        kind = column("Kind", TypeConstants::List);
        kind->setListvalues(QStringLiteral("Red,Green"));
        EXPECT_TRUE(kind->saveTemplateColumn());
        when = column("When", TypeConstants::Time);
        day = column("Day", TypeConstants::Date);
        paid = column("Paid", TypeConstants::YesNo);
        secret = column("Secret", TypeConstants::Protected);
    }

    bool phone() const { return QString(GetParam()) == "phone"; }

    // The list screen over the rows screen of the table.
    void showList()
    {
        showHost(GetParam());
        host->parentLink()->dataController = controller;
        host->use(list);
    }

    template<class Form> Form* openRecord(const QString& formClass, unsigned button, QVariant row)
    {
        list->setLastClickedButton(button);
        host->ShowDetail(row, formClass, {});
        EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
        settle();
        return qobject_cast<Form*>(shownForm());
    }

    static QStringList texts(const QVariantList& items)
    {
        QStringList shown;
        for (const QVariant& item : items)
            shown << item.toString();
        return shown;
    }

    static void choose(FormRadioElement* choice, const QString& item)
    {
        choice->setSelected(choice->items().indexOf(item));
        choice->fieldDidEndEditing();
        settle();
    }

    std::shared_ptr<ListController> list = std::make_shared<ListController>();
    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* price = nullptr;
    TemplateColumn* kind = nullptr;
    TemplateColumn* when = nullptr;
    TemplateColumn* day = nullptr;
    TemplateColumn* paid = nullptr;
    TemplateColumn* secret = nullptr;
};

TEST_P(FilterSortForms, TheFilterFormsOperatorsAndValueFollowTheChosenColumn)
{
    showList();
    auto fresh = std::make_shared<FilterExtended>();
    auto* form = openRecord<GenericFilterDetailViewController>("GenericFilterDetailViewController",
        BaseDataController::AddAction, RowObject::fromRecord(fresh));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Filter - Add");
    EXPECT_EQ(form->popupContentSize(), QSizeF(400, 350));

    // Four elements at 0-3 on a tablet, after their caption rows at 1, 3, 5, 7 on a phone.
    FormSection* section = form->root()->sectionWithKey("section1");
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->elements().size(), phone() ? 8 : 4);
    const qsizetype step = phone() ? 2 : 1;
    const qsizetype first = phone() ? 1 : 0;
    auto* andOr = qobject_cast<FormRadioElement*>(section->elementAt(first));
    auto* columns = qobject_cast<FormRadioElement*>(section->elementAt(first + step));
    ASSERT_NE(andOr, nullptr);
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(andOr->bind(), "selectedItem:AndOr");
    EXPECT_EQ(texts(andOr->items()), QStringList({ "None", "And", "Or" }));
    EXPECT_EQ(andOr->itemsImageNames(), QStringList({ "unknownd", "filterandd", "filterord" }));
    EXPECT_FALSE(andOr->hasValidChoice());
    EXPECT_EQ(andOr->title(), phone() ? "" : "And/Or");
    if (phone()) {
        auto* caption = qobject_cast<FormLabelElement*>(section->elementAt(0));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->title(), "And/Or");
        EXPECT_EQ(section->elementAt(6)->key(), "labelvalue");
    }
    // Protected columns are never offered.
    EXPECT_EQ(texts(columns->items()),
        QStringList({ "None", "Name", "Amount", "Price", "Kind", "When", "Day", "Paid" }));
    EXPECT_EQ(columns->itemsImageNames().size(), columns->items().size());

    const auto conditions
        = [&] { return qobject_cast<FormRadioElement*>(section->elementAt(first + 2 * step)); };
    const auto value = [&] { return section->elementAt(first + 3 * step); };
    const QStringList nine { "None", "Equal To", "Not Equal To", "Greater Than",
        "Greater Than or Equal To", "Less Than", "Less Than or Equal To", "Contains",
        "Not Contains" };
    ASSERT_NE(conditions(), nullptr);
    EXPECT_EQ(texts(conditions()->items()), nine);
    EXPECT_EQ(
        conditions()->itemsImageNames(), GenericFilterDetailViewController::conditionImages(nine));
    EXPECT_EQ(conditions()->itemsImageNames().at(3), "filtergreaterd");
    EXPECT_EQ(value()->metaObject(), &FormEntryElement::staticMetaObject);
    EXPECT_EQ(value()->bind(), "textValue:textValue");
    save(QString("filter-form-before-column-%1.png").arg(GetParam()));

    choose(columns, "Amount");
    EXPECT_EQ(texts(conditions()->items()), amount->availableConditions());
    auto* number = qobject_cast<FormDecimalElement*>(value());
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->bind(), "numberValue:numericValue");
    EXPECT_EQ(number->fractionDigits(), 2u);
    EXPECT_FALSE(number->numberValue().isValid());
    EXPECT_EQ(number->title(), phone() ? "" : "Value");
    save(QString("filter-form-after-column-%1.png").arg(GetParam()));

    // Opening the column list again without another choice keeps what was typed.
    number->setNumberValue(12);
    columns->fieldDidEndEditing();
    EXPECT_EQ(value(), number);

    choose(columns, "Price");
    auto* currency = qobject_cast<FormDecimalElement*>(value());
    ASSERT_NE(currency, nullptr);
    EXPECT_EQ(currency->suffix(), KivoNumber::getCurrencySymbol());
    EXPECT_EQ(currency->fractionDigits(), 3u);
    EXPECT_FALSE(currency->numberValue().isValid());

    choose(columns, "Kind");
    auto* listValue = qobject_cast<FormRadioElement*>(value());
    ASSERT_NE(listValue, nullptr);
    EXPECT_EQ(texts(listValue->items()), QStringList({ "Red", "Green" }));
    EXPECT_EQ(listValue->selectedItem(), "Red");
    EXPECT_EQ(listValue->bind(), "selectedItem:textValue");

    choose(columns, "When");
    auto* time = qobject_cast<FormDateTimeInlineElement*>(value());
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->mode(), FormDateTimeInlineElement::Time);
    choose(columns, "Day");
    ASSERT_NE(qobject_cast<FormDateTimeInlineElement*>(value()), nullptr);
    EXPECT_EQ(
        qobject_cast<FormDateTimeInlineElement*>(value())->mode(), FormDateTimeInlineElement::Date);
    choose(columns, "Paid");
    ASSERT_NE(qobject_cast<FormBooleanElement*>(value()), nullptr);
    EXPECT_EQ(value()->bind(), "boolValue:yesnoValue");

    // "None" brings back the nine operators and the plain text.
    choose(columns, "None");
    EXPECT_EQ(texts(conditions()->items()), nine);
    EXPECT_EQ(value()->metaObject(), &FormEntryElement::staticMetaObject);
    EXPECT_EQ(section->elements().size(), phone() ? 8 : 4);
}

TEST_P(FilterSortForms, ARefusedSaveLeavesTheEditedConditionAsItWas)
{
    showList();
    auto stored = std::make_shared<FilterExtended>();
    stored->setAndOr("And");
    stored->setHeader("Amount");
    stored->setColumn(amount->id().toString());
    stored->setOperator("Greater Than");
    stored->setNumericValue(10);
    stored->setSQL("And Amount Greater Than 10.00");
    auto* form = openRecord<GenericFilterDetailViewController>("GenericFilterDetailViewController",
        BaseDataController::EditAction, RowObject::fromRecord(stored));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Filter - Edit");
    // The stored column's operators and value element, with the stored choices.
    auto* conditions = qobject_cast<FormRadioElement*>(form->root()->elementWithKey("conditions"));
    ASSERT_NE(conditions, nullptr);
    EXPECT_EQ(texts(conditions->items()), amount->availableConditions());
    EXPECT_EQ(conditions->selectedItem(), "Greater Than");
    auto* number = qobject_cast<FormDecimalElement*>(elementBound(form, "numericValue"));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->numberValue().toDouble(), 10.0);

    choose(conditions, "Less Than");
    number->setNumberValue(3);
    form->onSave();
    settle();
    ASSERT_EQ(list->saved.size(), 1);
    const auto handed = RowObject::record<FilterExtended>(list->saved.first());
    ASSERT_NE(handed, nullptr);
    EXPECT_NE(handed, stored);
    EXPECT_EQ(handed->id(), stored->id());
    EXPECT_EQ(handed->Operator(), "Less Than");
    EXPECT_EQ(handed->numericValue().toDouble(), 3.0);
    // Refused: the condition itself is untouched and the form stays.
    EXPECT_EQ(stored->Operator(), "Greater Than");
    EXPECT_EQ(stored->numericValue().toDouble(), 10.0);
    EXPECT_EQ(shownForm(), form);

    list->acceptSave = true;
    form->onSave();
    settle();
    EXPECT_EQ(list->saved.size(), 2);
    EXPECT_EQ(shownForm(), nullptr);
}

TEST_P(FilterSortForms, TheSortFormOffersNoProtectedColumnAndEditsACopy)
{
    showList();
    auto key = std::make_shared<Sort>();
    key->setAscending(true);
    auto* form = openRecord<GenericSortDetailViewController>("GenericSortDetailViewController",
        BaseDataController::AddAction, RowObject::fromRecord(key));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Sort Columns - Add");
    EXPECT_EQ(form->popupContentSize(), QSizeF(400, 275));
    FormSection* section = form->root()->sections().value(0).get();
    ASSERT_EQ(section->elements().size(), phone() ? 3 : 2);
    auto* columns = qobject_cast<FormRadioElement*>(elementBound(form, "Header"));
    auto* ascending = qobject_cast<FormBooleanElement*>(elementBound(form, "Ascending"));
    ASSERT_NE(columns, nullptr);
    ASSERT_NE(ascending, nullptr);
    EXPECT_EQ(texts(columns->items()),
        QStringList({ "None", "Name", "Amount", "Price", "Kind", "When", "Day", "Paid" }));
    EXPECT_TRUE(ascending->boolValue());

    choose(columns, "Kind");
    ascending->setBoolValue(false);
    list->acceptSave = true;
    form->onSave();
    settle();
    ASSERT_EQ(list->saved.size(), 1);
    const auto handed = RowObject::record<Sort>(list->saved.first());
    ASSERT_NE(handed, nullptr);
    EXPECT_NE(handed, key);
    EXPECT_EQ(handed->Header(), "Kind");
    EXPECT_FALSE(handed->Ascending());
    EXPECT_EQ(key->Header(), "");
}

TEST_P(FilterSortForms, SearchColumnsListEveryColumnAndSaveWritesEachOne)
{
    showHost(GetParam());
    controller->searchColumns().insert(name->id().toString(), true);
    controller->searchColumns().insert(amount->id().toString(), false);
    host->ShowDetail(QVariant(), "SearchColumnSelectorDetailViewController", {});
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
    settle();
    auto* form = qobject_cast<SearchColumnSelectorDetailViewController*>(shownForm());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Search Columns");
    EXPECT_EQ(form->popupContentSize(), QSizeF(300, QuickDetailViewController::calculateHeight(8)));
    auto* section = qobject_cast<FormSelectSection*>(form->root()->sectionWithKey("searchColumns"));
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(section->multipleAllowed());
    // Protected columns may be searched for.
    EXPECT_EQ(texts(section->items()),
        QStringList({ "Name", "Amount", "Price", "Kind", "When", "Day", "Paid", "Secret" }));
    EXPECT_EQ(texts(section->selectedItems()), QStringList({ "Name" }));

    section->toggleItemAtIndex(0);
    section->toggleItemAtIndex(7);
    form->onSave();
    settle();
    EXPECT_EQ(controller->searchColumns().value(secret->id().toString()), true);
    EXPECT_EQ(controller->searchColumns().value(name->id().toString()), false);
    EXPECT_EQ(controller->searchColumns().size(), 8);
    EXPECT_EQ(shownForm(), nullptr);

    // Nothing ticked: every column is left out of the search.
    host->ShowDetail(QVariant(), "SearchColumnSelectorDetailViewController", {});
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
    settle();
    form = qobject_cast<SearchColumnSelectorDetailViewController*>(shownForm());
    ASSERT_NE(form, nullptr);
    section = qobject_cast<FormSelectSection*>(form->root()->sectionWithKey("searchColumns"));
    section->toggleItemAtIndex(7);
    form->onSave();
    for (TemplateColumn* each : std::as_const(controller->columns))
        EXPECT_EQ(controller->searchColumns().value(each->id().toString()), false);
}

TEST_P(FilterSortForms, TheOrderingFormHandsBackTheItemsInTheOrderShown)
{
    showList();
    list->ordering.setObject("Amount", "0");
    list->ordering.setObject("Name", "1");
    list->ordering.setObject("Paid", "2");
    auto* form = openRecord<OrderingDetailViewController>(
        "OrderingDetailViewController", 38, QVariant(QVariantMap()));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Order");
    EXPECT_EQ(form->popupContentSize(), QSizeF(400, QuickDetailViewController::calculateHeight(3)));
    FormSection* section = form->root()->sectionWithKey("sortingSection");
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->elements().size(), 3);
    EXPECT_EQ(qobject_cast<FormLabelElement*>(section->elementAt(1))->title(), "Name");
    EXPECT_EQ(section->elementAt(1)->key(), "1");

    // A controller that takes no order keeps the form open.
    list->ordersItems = false;
    form->onSave();
    settle();
    EXPECT_TRUE(list->orders.isEmpty());
    EXPECT_EQ(shownForm(), form);

    list->ordersItems = true;
    form->onSave();
    settle();
    ASSERT_EQ(list->orders.size(), 1);
    EXPECT_EQ(list->orders.first(), QStringList({ "0", "1", "2" }));
    EXPECT_EQ(shownForm(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Devices, FilterSortForms, ::testing::Values("tablet", "phone"));

} // namespace

#include "FilterSortFormsTest.moc"
