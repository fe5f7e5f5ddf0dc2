#include "forms/FormAutoEntryElement.h"
#include "forms/FormBadgeElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormFloatElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormLoadingElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormSegmentedElement.h"
#include "forms/FormSelectSection.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/TextInput.h"

#include "forms/FormScreenFixture.h"

using namespace platform::ui;
using formtest::FormScreen;

namespace {

// A form with a row of every kind.
struct EveryKind {
    std::shared_ptr<FormRootElement> root = std::make_shared<FormRootElement>();
    std::shared_ptr<FormEntryElement> name;
    std::shared_ptr<FormDateTimeInlineElement> due;
    std::shared_ptr<FormRadioElement> type;
    std::shared_ptr<FormMultilineElement> description;

    EveryKind()
    {
        root->setTitle("Edit Product");
        root->setGrouped(true);

        auto product = FormSection::initWithTitle("Product");
        auto database = FormLabelElement::initWithTitle("Database", "Inventory");
        database->setImageNamed("database");
        product->addElement(database);
        name = FormEntryElement::initWithTitle("Name", "Garden chair", "Product name");
        product->addElement(name);
        auto price = FormDecimalElement::initWithTitle("Price", 129.5);
        price->setFractionDigits(2);
        price->setPrefix("$ ");
        product->addElement(price);
        auto weight = FormEntryElement::initWithTitle("Weight", "4.2");
        weight->setSuffix(" kg");
        product->addElement(weight);
        auto category
            = FormAutoEntryElement::initWithTitle("Category", "", "Outdoor, Kitchen, ...");
        category->setAutoCompleteValues({ "Outdoor", "Kitchen", "Office" });
        product->addElement(category);
        description = FormMultilineElement::initWithTitle(
            "Description", "Weatherproof teak, folds flat for storage.");
        product->addElement(description);
        root->addSection(product);

        auto stock = FormSection::initWithTitle("Stock");
        stock->setFooter("Items below the reorder level show on the home screen.");
        auto level = FormFloatElement::initWithTitle("Reorder level", 0.35f);
        stock->addElement(level);
        auto orders = FormBadgeElement::initWithTitle("Open orders", "12");
        stock->addElement(orders);
        stock->addElement(FormBooleanElement::initWithTitle("In stock", true));
        auto favourite = FormBooleanElement::initWithTitle("Favourite", true);
        favourite->setOnImageName("tick");
        favourite->setOffImageName("empty");
        stock->addElement(favourite);
        root->addSection(stock);

        auto dates = FormSection::initWithTitle("Dates");
        const QDateTime when(QDate(2024, 3, 12), QTime(9, 30), Qt::UTC);
        due = FormDateTimeInlineElement::initWithTitle(
            "Due", when, FormDateTimeInlineElement::Date);
        dates->addElement(due);
        dates->addElement(FormDateTimeInlineElement::initWithTitle(
            "Opens", when, FormDateTimeInlineElement::Time));
        dates->addElement(FormDateTimeInlineElement::initWithTitle(
            "Delivered", when, FormDateTimeInlineElement::DateAndTime));
        auto timer = FormDateTimeInlineElement::initWithTitle("Timer",
            QDateTime::fromSecsSinceEpoch(3725, Qt::UTC),
            FormDateTimeInlineElement::CountDownTimer);
        dates->addElement(timer);
        dates->addElement(FormDateTimeElement::initWithTitle("Reminder", when));
        root->addSection(dates);

        auto choices = FormSection::initWithTitle("Choices");
        type = FormRadioElement::initWithItems({ "Furniture", "Tools", "Plants" }, 0, "Type");
        choices->addElement(type);
        choices->addElement(
            FormSegmentedElement::initWithItems({ "Small", "Medium", "Large" }, 1, "Size"));
        auto more = std::make_shared<FormLabelElement>();
        more->setTitle("Supplier");
        more->setValue("Nordic Garden AB");
        auto supplier = FormSection::initWithTitle("Supplier");
        supplier->addElement(FormEntryElement::initWithTitle("Company", "Nordic Garden AB"));
        more->addSection(supplier);
        choices->addElement(more);
        auto save = FormButtonElement::initWithTitle("Save");
        save->setControllerAction("onSave:");
        choices->addElement(save);
        root->addSection(choices);

        auto columns = FormSelectSection::initWithItems(
            { "Name", "Price", "Weight", "Category" }, QVariantList { 0, 2 }, "Columns shown");
        root->addSection(columns);

        auto loading = FormSection::initWithTitle("Related");
        loading->addElement(std::make_shared<FormLoadingElement>());
        root->addSection(loading);
    }
};

using FormScreenshots = FormScreen;

void shoot(FormScreen& screen, const QString& device)
{
    EveryKind form;
    screen.open(form.root, device);
    screen.save(QString("form-%1.png").arg(device));
    FormTableView* table = screen.table();
    table->setContentOffset(table->maximumContentOffset());
    screen.save(QString("form-%1-end.png").arg(device));
    table->setContentOffset(QPointF(0, 0));
    // Every row has a cell of its own kind.
    EXPECT_GT(screen.table()->numberOfSections(), 5);

    // The keyboard bar over an entry.
    screen.entryCellOf(form.name.get())->becomeFirstResponder();
    screen.runSteps();
    auto* panel = Application::shared().keyWindow()->inputPanel();
    ASSERT_TRUE(panel->isShowing());
    EXPECT_EQ(panel->accessoryView(), screen.entryCellOf(form.name.get())->actionBar());
    screen.save(QString("form-%1-keyboard.png").arg(device));

    // The date picker in the keyboard's place.
    screen.tapRow(form.due.get());
    screen.runSteps();
    auto* dateCell = qobject_cast<FormDateEntryTableViewCell*>(screen.cellOf(form.due.get()));
    ASSERT_NE(dateCell, nullptr);
    ASSERT_NE(dateCell->pickerView(), nullptr);
    EXPECT_EQ(panel->shownInputView(), dateCell->pickerView());
    screen.save(QString("form-%1-datepicker.png").arg(device));

    // The radio list: a popover on a tablet, a screen of its own on a phone.
    TextInput::endEditing(nullptr, true);
    screen.settle();
    screen.tapRow(form.type.get());
    screen.runSteps();
    if (device == "tablet")
        EXPECT_NE(screen.form->popoverBeingPresentedParent(), nullptr);
    else
        EXPECT_EQ(screen.navigation->viewControllers().size(), 2);
    screen.save(QString("form-%1-list.png").arg(device));

    // The multi-line editor, in a popover of its own size on a tablet.
    if (device == "tablet") {
        screen.form->popoverBeingPresentedParent()->popToPreviousRootElement();
    } else {
        screen.navigation->popViewController(false);
    }
    testsupport::processEvents(300);
    screen.tapRow(form.description.get(), 200);
    screen.runSteps();
    screen.save(QString("form-%1-multiline.png").arg(device));
}

} // namespace

TEST_F(FormScreenshots, EveryKindOfRowOnATablet)
{
    shoot(*this, "tablet");
}

TEST_F(FormScreenshots, EveryKindOfRowOnAPhone)
{
    shoot(*this, "phone");
}
