#include "DetailFormFixture.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormController.h"
#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormMultilineTextViewController.h"
#include "forms/FormRadioElement.h"
#include "forms/GenericTemplateDetailViewController.h"
#include "platform/MutableDictionary.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TextView.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>

#include <thread>

using namespace detailtest;

namespace {

// A table with a column of each type, a reminder on its Date column.
struct RowForm : DetailFormTest {
    TemplateColumn *text = nullptr, *bigText = nullptr, *date = nullptr, *numeric = nullptr,
                   *yesNo = nullptr, *list = nullptr, *link = nullptr, *time = nullptr,
                   *dateTime = nullptr, *currency = nullptr, *secret = nullptr;

    void makeColumns()
    {
        text = column("Name", TypeConstants::Text);
        text->setAutocomplete(true);
        bigText = column("Notes", TypeConstants::BigText);
        date = column("Due", TypeConstants::Date);
        date->setReminder(true);
        numeric = column("Count", TypeConstants::Numeric, 2);
        yesNo = column("Done", TypeConstants::YesNo);
        list = column("Colour", TypeConstants::List);
        list->setListvalues(QStringLiteral("Red,Green,Blue"));
        link = column("Site", TypeConstants::Link);
        time = column("At", TypeConstants::Time);
        dateTime = column("When", TypeConstants::DateTime);
        currency = column("Price", TypeConstants::Currency, 2);
        secret = column("Pin", TypeConstants::Protected);
        secret->setAutocomplete(true);
        for (TemplateColumn* made : std::as_const(controller->columns))
            EXPECT_TRUE(made->saveTemplateColumn());
    }

    static QString id(const TemplateColumn* column) { return column->id().toString(); }

    GenericTemplateDetailViewController* openRow(unsigned button, Rows* row)
    {
        return open<GenericTemplateDetailViewController>("GenericTemplateDetailViewController",
            button, row, row->getData(controller->columns, controller->password));
    }

    void pressSave(QuickDetailViewController* form)
    {
        FormElement* save = form->root()->sections().value(1)->elements().value(0).get();
        ASSERT_NE(save, nullptr);
        tapRow(form, save);
    }

    bool formClosed() { return shownForm() == nullptr; }

    void runSteps()
    {
        for (int round = 0; round < 5 && !scheduler->pending.empty(); ++round) {
            scheduler->runAll();
            settle();
        }
    }

    // Opens the row's editor (pushed on a phone, in a popover on a tablet), types and
    // leaves it by Back or a tap outside.
    void writeNote(QuickDetailViewController* form, FormElement* element, const QString& text)
    {
        tapRow(form, element, 200);
        runSteps();
        PopoverController* popover = form->popoverForChildRoot();
        auto* editor = qobject_cast<FormMultilineTextViewController*>(
            popover ? popover->contentViewController() : navigation->topViewController());
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->textView()->isFirstResponder());
        QTest::keyClicks(editor->textView()->textEdit(), text);
        settle();
        if (popover)
            popover->dismissPopoverAnimated(false);
        else
            navigation->popViewController(false);
        settle();
        EXPECT_EQ(shownForm(), form);
    }

    // Taps the list row, then the item on the list it opens; the list closes by itself.
    void pickFromList(QuickDetailViewController* form, FormElement* element, int item)
    {
        tapRow(form, element);
        FormController* list = form->popoverBeingPresentedParent();
        if (!list)
            list = qobject_cast<FormController*>(navigation->topViewController());
        ASSERT_NE(list, nullptr);
        ASSERT_NE(list, form);
        FormTableView* items = list->formTableView();
        const platform::ui::IndexPath row(item, 0);
        items->scrollToRowAtIndexPath(row, platform::ui::TableView::ScrollPosition::None, false);
        settle();
        const QRectF r = items->rectForRowAtIndexPath(row);
        testsupport::GestureSynthesizer::tap(
            items, QPointF(40, r.center().y()) - items->contentOffset());
        settle();
        runSteps();
        testsupport::processEvents(400);
        EXPECT_EQ(form->popoverBeingPresentedParent(), nullptr);
        EXPECT_EQ(shownForm(), form);
    }

    // Opens the row's picker, sets it to `start` and turns one wheel a row on; answers the
    // row's date afterwards.
    QDateTime turnPicker(QuickDetailViewController* form, FormElement* element,
        const QDateTime& start, int component)
    {
        tapRow(form, element, 200);
        runSteps();
        auto* cell = qobject_cast<FormDateEntryTableViewCell*>(
            form->formTableView()->cellForElement(element));
        platform::ui::DatePicker* picker = cell ? cell->pickerView() : nullptr;
        if (!picker) {
            ADD_FAILURE() << "no picker for " << element->bind().toStdString();
            return {};
        }
        picker->setDate(start);
        platform::ui::PickerView* wheels = picker->wheels();
        testsupport::GestureSynthesizer::tap(wheels,
            QPointF(wheels->rectForComponent(component).center().x(),
                wheels->bounds().center().y() + 33.0));
        settle();
        cell->handleActionBarDone();
        settle();
        return qobject_cast<FormDateTimeInlineElement*>(element)->dateValue();
    }
};

struct RowFormOnDevice : RowForm, ::testing::WithParamInterface<const char*> { };

struct RowFormRoundTrip : RowForm, ::testing::WithParamInterface<std::tuple<const char*, bool>> { };

} // namespace

TEST_P(RowFormRoundTrip, TypedValuesAreStoredAsTheRowEncoderWritesThemAndComeBackUnchanged)
{
    const QString device = std::get<0>(GetParam());
    if (std::get<1>(GetParam()))
        controller->password = QStringLiteral("pw");
    makeColumns();
    showHost(device);
    Rows* row = newRow();
    auto* form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Contacts - Add");

    typeInto(form, elementBound(form, id(text)), "Ada");
    QApplication::clipboard()->setText("example.com");
    tapRow(form, elementBound(form, id(link)), 200);
    scheduler->runAll();
    ASSERT_NE(focusedField(), nullptr);
    QTest::keyClick(focusedField()->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    typeInto(form, elementBound(form, id(numeric)), "1234");
    typeInto(form, elementBound(form, id(currency)), "995");
    typeInto(form, elementBound(form, id(secret)), "s3cret");
    platform::ui::TextInput::endEditing(nullptr, true);
    tapRow(form, elementBound(form, id(yesNo)));
    writeNote(form, elementBound(form, id(bigText)), "Long note");
    pickFromList(form, elementBound(form, id(list)), 1);
    // Month, hour and day wheels turned one row on.
    const QDateTime due = turnPicker(
        form, elementBound(form, id(date)), QDateTime(QDate(2026, 3, 4), QTime(15, 30)), 0);
    EXPECT_EQ(due.date(), QDate(2026, 4, 4));
    const QDateTime at = turnPicker(
        form, elementBound(form, id(time)), QDateTime(QDate(2026, 3, 4), QTime(9, 45)), 0);
    EXPECT_EQ(at.time(), QTime(10, 45));
    const QDateTime when = turnPicker(
        form, elementBound(form, id(dateTime)), QDateTime(QDate(2026, 5, 6), QTime(7, 8)), 0);
    EXPECT_EQ(when, QDateTime(QDate(2026, 5, 7), QTime(7, 8)));
    // Reminder items: None, Once, Daily, Weekly, ...
    pickFromList(form, elementBound(form, Rows::reminderKey(id(date))), 3);
    save(QStringLiteral("row-form-%1%2.png").arg(device, controller->password ? "-protected" : ""));
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));

    const QVariantMap expected { { id(text), "Ada" }, { id(bigText), "Long note" },
        { id(date), due }, { Rows::reminderKey(id(date)), "Weekly" }, { id(numeric), 12.34 },
        { id(yesNo), true }, { id(list), "Green" }, { id(link), "example.com" }, { id(time), at },
        { id(dateTime), when }, { id(currency), 9.95 }, { id(secret), "s3cret" } };
    ASSERT_EQ(controller->saved.size(), 1);
    EXPECT_EQ(storedJson(row), expectedJson(expected));
    // Keys are column ids, never names.
    EXPECT_FALSE(controller->saved.first().contains("Name"));

    // Reopened, the form shows what was stored; saved untouched, the row stays as it was.
    const QString before = storedJson(row);
    form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Contacts - Edit");
    EXPECT_EQ(qobject_cast<FormEntryElement*>(elementBound(form, id(text)))->textValue(), "Ada");
    EXPECT_EQ(
        qobject_cast<FormEntryElement*>(elementBound(form, id(secret)))->textValue(), "s3cret");
    EXPECT_EQ(
        qobject_cast<FormRadioElement*>(elementBound(form, id(list)))->selectedItem(), "Green");
    EXPECT_TRUE(qobject_cast<FormBooleanElement*>(elementBound(form, id(yesNo)))->boolValue());
    EXPECT_EQ(qobject_cast<FormRadioElement*>(elementBound(form, Rows::reminderKey(id(date))))
                  ->selectedValue(),
        "Weekly");
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));
    EXPECT_EQ(storedJson(row), before);
}

INSTANTIATE_TEST_SUITE_P(Devices, RowFormRoundTrip,
    ::testing::Combine(::testing::Values("phone", "tablet"), ::testing::Bool()));

TEST_F(RowForm, ElementsFollowTheColumnTypesOnEachDevice)
{
    makeColumns();
    showHost("phone");
    Rows* row = newRow();
    auto* form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    // A caption before every field but the yes/no one, and one before the reminder.
    EXPECT_EQ(rowsInFirstSection(form), 2 * 11 - 1 + 2);
    EXPECT_TRUE(qobject_cast<FormAutoEntryElement*>(elementBound(form, id(text))));
    EXPECT_TRUE(qobject_cast<FormEntryElement*>(elementBound(form, id(text)))->title().isEmpty());
    auto* price = qobject_cast<FormDecimalElement*>(elementBound(form, id(currency)));
    EXPECT_EQ(price->fractionDigits(), 2u);
    EXPECT_FALSE(price->suffix().isEmpty());
    EXPECT_TRUE(
        qobject_cast<FormDecimalElement*>(elementBound(form, id(numeric)))->suffix().isEmpty());
    EXPECT_EQ(qobject_cast<FormRadioElement*>(elementBound(form, id(list)))->items(),
        QVariantList({ "Red", "Green", "Blue" }));
    auto* reminder
        = qobject_cast<FormRadioElement*>(elementBound(form, Rows::reminderKey(id(date))));
    EXPECT_EQ(reminder->items(),
        QVariantList({ "None", "Once", "Daily", "Weekly", "Monthly", "Yearly" }));
    EXPECT_EQ(form->popupContentSize(), QSizeF(600, 650));
}

TEST_F(RowForm, AnUntouchedReminderOfANewRowSavesNone)
{
    date = column("Due", TypeConstants::Date);
    date->setReminder(true);
    ASSERT_TRUE(date->saveTemplateColumn());
    showHost("tablet");
    Rows* row = newRow();
    auto* form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(rowsInFirstSection(form), 2);
    pressSave(form);
    ASSERT_EQ(controller->saved.size(), 1);
    EXPECT_EQ(controller->saved.first().value(Rows::reminderKey(id(date))), "None");
}

// A date the user leaves alone stays blank: a new row's is not stored as the day it was
// entered, and an edited row's blank one stays blank after its picker opened and closed.
TEST_P(RowFormOnDevice, ANewRowStartsAtTodayAndAStoredBlankDateStaysBlank)
{
    text = column("Name", TypeConstants::Text);
    date = column("Birthday", TypeConstants::Date);
    dateTime = column("When", TypeConstants::DateTime);
    time = column("At", TypeConstants::Time);
    showHost(GetParam());

    // A new row's date fields start at today, shown, and are saved as shown.
    Rows* fresh = newRow();
    auto* form = openRow(BaseDataController::AddAction, fresh);
    ASSERT_NE(form, nullptr);
    auto* birthday = qobject_cast<FormDateTimeInlineElement*>(elementBound(form, id(date)));
    ASSERT_NE(birthday, nullptr);
    EXPECT_FALSE(birthday->displayText().isEmpty());
    typeInto(form, elementBound(form, id(text)), "Ada");
    platform::ui::TextInput::endEditing(nullptr, true);
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));
    const QVariantMap saved = fresh->getData(controller->columns, controller->password);
    EXPECT_EQ(saved.value(id(date)).toDateTime().toLocalTime().date(), QDate::currentDate());

    // A stored row whose dates are blank keeps them blank, even after a picker was
    // opened and closed without a turn.
    Rows* row = newRow({ { id(text), "Bo" } });
    const QString before = storedJson(row);
    form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);
    FormElement* element = elementBound(form, id(date));
    EXPECT_EQ(qobject_cast<FormDateTimeInlineElement*>(element)->displayText(), "");
    tapRow(form, element, 200);
    runSteps();
    auto* cell
        = qobject_cast<FormDateEntryTableViewCell*>(form->formTableView()->cellForElement(element));
    ASSERT_NE(cell, nullptr);
    EXPECT_NE(cell->pickerView(), nullptr);
    cell->handleActionBarDone();
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));
    EXPECT_EQ(storedJson(row), before);
}

INSTANTIATE_TEST_SUITE_P(Devices, RowFormOnDevice, ::testing::Values("phone", "tablet"));

// A List value that is not among the column's items (the list changed since, or an
// import stored it) is kept when the user does not touch it, and replaced when they do.
TEST_P(RowFormOnDevice, AnUntouchedListValueNotAmongTheItemsIsSavedAsItWas)
{
    text = column("Name", TypeConstants::Text);
    list = column("Colour", TypeConstants::List);
    list->setListvalues(QStringLiteral("Red,Green,Blue"));
    ASSERT_TRUE(list->saveTemplateColumn());
    showHost(GetParam());
    Rows* row = newRow({ { id(text), "Bo" }, { id(list), "Purple" } });
    const QString before = storedJson(row);
    auto* form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);
    auto* radio = qobject_cast<FormRadioElement*>(elementBound(form, id(list)));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->selected(), -1);
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));
    EXPECT_EQ(storedJson(row), before);
    EXPECT_EQ(row->getData(controller->columns, controller->password).value(id(list)), "Purple");

    form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);
    pickFromList(form, elementBound(form, id(list)), 2);
    pressSave(form);
    ASSERT_TRUE(testsupport::waitUntil([&] { return formClosed(); }));
    EXPECT_EQ(row->getData(controller->columns, controller->password).value(id(list)), "Blue");
}

TEST_F(RowForm, ARefusedOrFailedSaveKeepsTheFormOpenWithItsValues)
{
    text = column("Name", TypeConstants::Text);
    showHost("phone");
    Rows* row = newRow();
    auto* form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    typeInto(form, elementBound(form, id(text)), "Kept");
    platform::ui::TextInput::endEditing(nullptr, true);

    controller->acceptSave = false;
    pressSave(form);
    EXPECT_EQ(shownForm(), form);
    controller->acceptSave = true;
    controller->failSave = true;
    pressSave(form);
    EXPECT_EQ(shownForm(), form);
    EXPECT_EQ(alertMessages(), QStringList({ "The row could not be stored." }));
    EXPECT_EQ(qobject_cast<FormEntryElement*>(elementBound(form, id(text)))->textValue(), "Kept");
    ASSERT_EQ(controller->saved.size(), 2);
    EXPECT_EQ(controller->saved.last().value(id(text)), "Kept");
}

TEST_F(RowForm, BackOnAPhoneRollsBackButAScreenPushedOverTheFormDoesNot)
{
    text = column("Name", TypeConstants::Text);
    showHost("phone");
    Rows* row = newRow();
    auto* form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);

    text->setName("Unsaved");
    navigation->pushViewController(new platform::ui::ViewController(), false);
    settle();
    EXPECT_EQ(text->name(), "Unsaved");
    navigation->popViewController(false);
    settle();
    navigation->popViewController(false);
    settle();
    EXPECT_EQ(text->name(), "Name");
}

TEST_F(RowForm, ACloudReloadKeepsAnAddFormAndReactsToTheEditedRecord)
{
    text = column("Name", TypeConstants::Text);
    showHost("tablet");
    Rows* row = newRow({ { id(text), "Stored" } });

    // Add: the typed values stay whatever happened to the store.
    auto* form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    auto* entry = qobject_cast<FormEntryElement*>(elementBound(form, id(text)));
    entry->setTextValue("Typed");
    controller->setDetailRowInAction({});
    form->cloudStoreLoaded();
    EXPECT_EQ(shownForm(), form);
    EXPECT_EQ(entry->textValue(), "Typed");
    EXPECT_TRUE(alertMessages().isEmpty());
    host->dismissPopup();
    settle();

    // Edit, record unchanged: the typed value stays.
    form = openRow(BaseDataController::EditAction, row);
    entry = qobject_cast<FormEntryElement*>(elementBound(form, id(text)));
    entry->setTextValue("Typed");
    form->cloudStoreLoaded();
    EXPECT_EQ(entry->textValue(), "Typed");
    EXPECT_EQ(controller->extraData().toMap().value(id(text)), "Stored");

    // Edit, record changed elsewhere: its values come back.
    row->updateData({ { id(text), "Synced" } }, controller->columns, controller->password);
    row->setMtimestamp(row->mtimestamp().toDouble() + 10);
    form->cloudStoreLoaded();
    EXPECT_EQ(entry->textValue(), "Synced");

    // Edit, record gone: said so, and the form closes.
    controller->setDetailRowInAction({});
    form->cloudStoreLoaded();
    EXPECT_EQ(alertMessages(), QStringList({ "Data has been changed or deleted by Sync." }));
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() == nullptr; }));
}

TEST_F(RowForm, AProtectedValueIsMaskedTogglesWithoutChangeAndIsNeverCompleted)
{
    secret = column("Pin", TypeConstants::Protected);
    secret->setAutocomplete(true);
    ASSERT_TRUE(secret->saveTemplateColumn());
    showHost("tablet");
    Rows* row = newRow({ { id(secret), "1234" } });
    auto* form = openRow(BaseDataController::EditAction, row);
    ASSERT_NE(form, nullptr);
    auto* entry = qobject_cast<FormEntryElement*>(elementBound(form, id(secret)));
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(qobject_cast<FormAutoEntryElement*>(entry));
    EXPECT_TRUE(controller->completionsAskedFor.isEmpty());
    EXPECT_TRUE(entry->isSecureTextEntry());
    auto* cell
        = qobject_cast<FormEntryTableViewCell*>(form->formTableView()->cellForElement(entry));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->textField()->lineEdit()->echoMode(), QLineEdit::Password);

    entry->onImageSelected(entry);
    settle();
    EXPECT_FALSE(entry->isSecureTextEntry());
    cell = qobject_cast<FormEntryTableViewCell*>(form->formTableView()->cellForElement(entry));
    EXPECT_EQ(cell->textField()->lineEdit()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(entry->textValue(), "1234");
    entry->onImageSelected(entry);
    EXPECT_TRUE(entry->isSecureTextEntry());
    EXPECT_EQ(entry->textValue(), "1234");
}

TEST(DetailFormBase, HeightsGrowWithTheRowsUpToTheirCaps)
{
    auto& device = platform::ui::Device::current();
    ASSERT_TRUE(device.selectModel("tablet"));
    const platform::ui::Orientation before = device.orientation();
    device.setOrientation(platform::ui::Orientation::Portrait);
    EXPECT_EQ(QuickDetailViewController::calculateHeight(3), 300);
    EXPECT_EQ(QuickDetailViewController::calculateHeight(20), 650);
    EXPECT_EQ(QuickDetailViewController::calculateActualHeight(20), 900);
    device.setOrientation(platform::ui::Orientation::LandscapeLeft);
    EXPECT_EQ(QuickDetailViewController::calculateHeight(3), 480);
    EXPECT_EQ(QuickDetailViewController::calculateActualHeight(3), 675);
    device.setOrientation(before);
}

TEST_F(RowForm, ATableWithoutColumnsSavesAnEmptyDictionaryAndOddColumnsGetNothingOrOneEmptyItem)
{
    showHost("tablet");
    Rows* row = newRow();
    controller->setLastClickedButton(BaseDataController::AddAction);
    controller->setDetailRowInAction(RowObject::fromObject(row));
    host->ShowDetail({}, "GenericTemplateDetailViewController", {});
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
    settle();
    auto* form = qobject_cast<GenericTemplateDetailViewController*>(shownForm());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(rowsInFirstSection(form), 0);
    pressSave(form);
    ASSERT_EQ(controller->saved.size(), 1);
    EXPECT_TRUE(controller->saved.first().isEmpty());
    host->dismissPopup();
    settle();

    list = column("Colour", TypeConstants::List);
    column("Odd", QStringLiteral("Picture"));
    form = openRow(BaseDataController::AddAction, row);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(rowsInFirstSection(form), 1);
    EXPECT_EQ(qobject_cast<FormRadioElement*>(elementBound(form, id(list)))->items(),
        QVariantList({ "" }));
}

TEST_F(RowForm, TheRootIsBuiltOffTheMainThreadAndTheFormOnIt)
{
    const auto formClass = DetailFormRegistry::formClass("GenericTemplateDetailViewController");
    ASSERT_TRUE(formClass.has_value());
    std::shared_ptr<QObject> root;
    std::thread worker([&] { root = formClass->createForm(QString()); });
    worker.join();
    auto tree = std::dynamic_pointer_cast<FormRootElement>(root);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->controllerName(), "GenericTemplateDetailViewController");
    EXPECT_TRUE(tree->sections().isEmpty());
    std::unique_ptr<BaseViewController> form(formClass->controllerForRoot(root));
    EXPECT_TRUE(qobject_cast<GenericTemplateDetailViewController*>(form.get()));
    EXPECT_FALSE(form->isViewLoaded());
}
