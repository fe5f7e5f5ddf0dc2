#include "forms/FormAutoEntryElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormRadioElement.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/SegmentedControl.h"

#include "forms/FormScreenFixture.h"

using namespace platform::ui;
using formtest::FormScreen;

namespace {

// A form whose focusable entries are, in order: name, city, date, zip, amount, category.
// Around them: a hidden row, a disabled row, a radio row, a hidden section, a
// multi-line row and a switch, none of which takes the keys.
struct Sample {
    std::shared_ptr<FormRootElement> root = std::make_shared<FormRootElement>();
    std::shared_ptr<FormEntryElement> name = FormEntryElement::initWithTitle("Name", "Ada");
    std::shared_ptr<FormEntryElement> hidden = FormEntryElement::initWithTitle("Hidden", "");
    std::shared_ptr<FormEntryElement> disabled = FormEntryElement::initWithTitle("Code", "K-1");
    std::shared_ptr<FormRadioElement> kind
        = FormRadioElement::initWithItems({ "Home", "Work" }, 0, "Kind");
    std::shared_ptr<FormEntryElement> city = FormEntryElement::initWithTitle("City", "Leeds");
    std::shared_ptr<FormEntryElement> inHiddenSection = FormEntryElement::initWithTitle("Gone", "");
    std::shared_ptr<FormMultilineElement> note = FormMultilineElement::initWithTitle("Note", "Hi");
    std::shared_ptr<FormDateTimeInlineElement> date
        = FormDateTimeInlineElement::initWithTitle("Due",
            QDateTime(QDate(2024, 3, 12), QTime(9, 30), Qt::UTC), FormDateTimeInlineElement::Date);
    std::shared_ptr<FormEntryElement> zip = FormEntryElement::initWithTitle("Zip", "LS1");
    std::shared_ptr<FormBooleanElement> active = FormBooleanElement::initWithTitle("Active", true);
    std::shared_ptr<FormDecimalElement> amount = FormDecimalElement::initWithTitle("Amount", 12);
    std::shared_ptr<FormAutoEntryElement> category
        = FormAutoEntryElement::initWithTitle("Category", "");

    Sample()
    {
        root->setTitle("Contact");
        root->setGrouped(true);
        hidden->setHidden(true);
        disabled->setEnabled(false);
        auto first = FormSection::initWithTitle("Person");
        for (const std::shared_ptr<FormElement>& element :
            std::initializer_list<std::shared_ptr<FormElement>> {
                name, hidden, disabled, kind, city })
            first->addElement(element);
        auto gone = FormSection::initWithTitle("Gone");
        gone->addElement(inHiddenSection);
        gone->setHidden(true);
        auto second = FormSection::initWithTitle("Address");
        for (const std::shared_ptr<FormElement>& element :
            std::initializer_list<std::shared_ptr<FormElement>> { note, date, zip, active })
            second->addElement(element);
        auto third = FormSection::initWithTitle("Money");
        third->addElement(amount);
        third->addElement(category);
        root->addSection(first);
        root->addSection(gone);
        root->addSection(second);
        root->addSection(third);
    }

    QList<FormEntryElement*> order() const
    {
        return { name.get(), city.get(), date.get(), zip.get(), amount.get(), category.get() };
    }
};

using FormFocus = FormScreen;

} // namespace

TEST_F(FormFocus, BarAndReturnKeyFollowTheEntriesBeforeAndAfter)
{
    Sample form;
    open(form.root);
    // The bar is made when an entry first takes the keys, not for each row shown.
    for (FormEntryElement* element : form.order()) {
        ASSERT_NE(entryCellOf(element), nullptr) << element->title().toStdString();
        EXPECT_EQ(entryCellOf(element)->actionBar(), nullptr) << element->title().toStdString();
    }
    // Previous and Next are enabled by whether there is an entry to go to.
    for (FormEntryElement* element : form.order()) {
        FormEntryTableViewCell* cell = entryCellOf(element);
        ASSERT_NE(cell, nullptr) << element->title().toStdString();
        cell->becomeFirstResponder();
        settle();
        cell = entryCellOf(element);
        ASSERT_NE(cell, nullptr) << element->title().toStdString();
        ASSERT_NE(cell->prevNext(), nullptr);
        EXPECT_EQ(cell->prevNext()->isEnabledForSegmentAtIndex(0), element != form.name.get())
            << element->title().toStdString();
        EXPECT_EQ(cell->prevNext()->isEnabledForSegmentAtIndex(1), element != form.category.get())
            << element->title().toStdString();
    }
    // Beginning to edit sets Next, or Done on the last entry; a return key the element
    // chose itself stays.
    entryCellOf(form.name.get())->becomeFirstResponder();
    EXPECT_EQ(entryCellOf(form.name.get())->textField()->returnKeyType(),
        TextInputTraits::ReturnKeyType::Next);
    entryCellOf(form.category.get())->becomeFirstResponder();
    EXPECT_EQ(entryCellOf(form.category.get())->textField()->returnKeyType(),
        TextInputTraits::ReturnKeyType::Done);
    form.zip->setReturnKeyType(int(TextInputTraits::ReturnKeyType::Go));
    table()->reloadCellForElements({ form.zip.get() });
    settle();
    entryCellOf(form.zip.get())->becomeFirstResponder();
    EXPECT_EQ(entryCellOf(form.zip.get())->textField()->returnKeyType(),
        TextInputTraits::ReturnKeyType::Go);
    // The bar shows above the field that takes the keys.
    auto* panel = Application::shared().keyWindow()->inputPanel();
    EXPECT_TRUE(panel->isShowing());
    EXPECT_EQ(panel->accessoryView(), entryCellOf(form.zip.get())->actionBar());
}

TEST_F(FormFocus, TabAndShiftTabVisitExactlyTheFocusableEntriesInOrder)
{
    Sample form;
    open(form.root);
    entryCellOf(form.name.get())->becomeFirstResponder();
    runSteps();
    QList<FormEntryElement*> visited { focused() };
    for (int i = 0; i < 8; ++i) {
        key(Qt::Key_Tab);
        if (focused() != visited.last())
            visited << focused();
    }
    EXPECT_EQ(visited, form.order());
    // Tab on the last entry stays there.
    EXPECT_EQ(focused(), form.category.get());
    QList<FormEntryElement*> back { focused() };
    for (int i = 0; i < 8; ++i) {
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        if (focused() != back.last())
            back << focused();
    }
    QList<FormEntryElement*> reversed = form.order();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(back, reversed);
    // The date row took the keys with its picker in the keyboard's place.
    entryCellOf(form.zip.get())->becomeFirstResponder();
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focused(), form.date.get());
    auto* dateCell = qobject_cast<FormDateEntryTableViewCell*>(cellOf(form.date.get()));
    ASSERT_NE(dateCell, nullptr);
    EXPECT_NE(dateCell->pickerView(), nullptr);
    EXPECT_EQ(
        Application::shared().keyWindow()->inputPanel()->shownInputView(), dateCell->pickerView());
    EXPECT_TRUE(dateCell->isSelected());
}

TEST_F(FormFocus, ReturnAndTheBarMoveOnLikeTab)
{
    Sample form;
    open(form.root);
    entryCellOf(form.name.get())->becomeFirstResponder();
    QList<FormEntryElement*> visited { focused() };
    for (int i = 0; i < 5; ++i) {
        key(Qt::Key_Return);
        visited << focused();
    }
    EXPECT_EQ(visited, form.order());
    // Return on the last entry closes the keyboard.
    key(Qt::Key_Return);
    EXPECT_EQ(TextInput::firstResponder(), nullptr);

    // The bar's Next and Previous walk the same way; the control shows no segment after.
    entryCellOf(form.city.get())->becomeFirstResponder();
    SegmentedControl* bar = entryCellOf(form.city.get())->prevNext();
    bar->tapSegment(1);
    runSteps();
    EXPECT_EQ(focused(), form.date.get());
    EXPECT_EQ(bar->selectedSegmentIndex(), SegmentedControl::NoSegment);
    entryCellOf(form.date.get())->prevNext()->tapSegment(0);
    runSteps();
    EXPECT_EQ(focused(), form.city.get());
    // Previous on the first entry is refused by the bar.
    entryCellOf(form.name.get())->becomeFirstResponder();
    entryCellOf(form.name.get())->prevNext()->tapSegment(0);
    runSteps();
    EXPECT_EQ(focused(), form.name.get());
    // Done closes the keyboard.
    entryCellOf(form.name.get())->handleActionBarDone();
    EXPECT_EQ(TextInput::firstResponder(), nullptr);
}

TEST_F(FormFocus, AnEntryScrolledAwayIsScrolledToAndFocusedAfterAPause)
{
    auto root = std::make_shared<FormRootElement>();
    root->setTitle("Long");
    auto section = FormSection::initWithTitle("Fields");
    QList<std::shared_ptr<FormEntryElement>> fields;
    for (int i = 0; i < 40; ++i) {
        fields << FormEntryElement::initWithTitle(QString("Field %1").arg(i), QString::number(i));
        section->addElement(fields.last());
    }
    root->addSection(section);
    open(root, "phone");
    // The first field that is out of sight.
    int away = -1;
    for (int i = 0; i < fields.size() && away < 0; ++i)
        if (!cellOf(fields[i].get()))
            away = i;
    ASSERT_GT(away, 1);
    entryCellOf(fields[away - 1].get())->becomeFirstResponder();
    runSteps();
    // Scrolling the row to the middle brings the next one in sight: scroll back first.
    table()->setContentOffset(QPointF(0, 0));
    settle();
    ASSERT_EQ(cellOf(fields[away].get()), nullptr);
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), fields[away].get());
    EXPECT_TRUE(
        table()->visibleRect().intersects(table()->rectForRowAtIndexPath(IndexPath(away, 0))));

    // The same by Return, and only after the pause.
    TextInput::endEditing(nullptr, true);
    entryCellOf(fields[away - 1].get())->becomeFirstResponder();
    scheduler->pending.clear();
    table()->setContentOffset(QPointF(0, 0));
    settle();
    ASSERT_EQ(cellOf(fields[away].get()), nullptr);
    QTest::keyClick(entryCellOf(fields[away - 1].get())->textField()->lineEdit(), Qt::Key_Return);
    settle();
    EXPECT_EQ(focused(), fields[away - 1].get());
    ASSERT_FALSE(scheduler->pending.empty());
    EXPECT_EQ(scheduler->pending.back().first, FormEntryTableViewCell::FocusDelayMilliseconds);
    runSteps();
    EXPECT_EQ(focused(), fields[away].get());
}
