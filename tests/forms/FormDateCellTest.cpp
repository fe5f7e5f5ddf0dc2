#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormEntryElement.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"

#include "forms/FormScreenFixture.h"

using namespace platform::ui;
using formtest::FormScreen;

namespace {

using DateCell = FormScreen;

const QDateTime kWhen(QDate(2024, 1, 31), QTime(9, 30), Qt::UTC);

// A tap one row below (or above) the middle of a wheel of the picker.
void turn(DatePicker* picker, int component, int rows)
{
    PickerView* wheels = picker->wheels();
    testsupport::GestureSynthesizer::tap(wheels,
        QPointF(wheels->rectForComponent(component).center().x(),
            wheels->bounds().center().y() + rows * 33.0));
    testsupport::processEvents(5);
}

} // namespace

TEST_F(DateCell, TheRowShowsItsValueByModeAndThePickerWritesItBack)
{
    auto due
        = FormDateTimeInlineElement::initWithTitle("Due", kWhen, FormDateTimeInlineElement::Date);
    auto timer = FormDateTimeInlineElement::initWithTitle("Timer",
        QDateTime::fromSecsSinceEpoch(3725, Qt::UTC), FormDateTimeInlineElement::CountDownTimer);
    auto custom = FormDateTimeInlineElement::initWithTitle(
        "Custom", kWhen, FormDateTimeInlineElement::Date);
    custom->setCustomDateFormat("yyyy/MM/dd");
    auto centred = std::make_shared<FormDateTimeInlineElement>();
    centred->setDateValue(kWhen);
    centred->setMode(FormDateTimeInlineElement::Time);
    centred->setCenterLabel(true);
    auto root = std::make_shared<FormRootElement>();
    auto section = FormSection::initWithTitle("Dates");
    for (const auto& element : { due, timer, custom, centred })
        section->addElement(element);
    root->addSection(section);
    open(root);
    auto dateCell = [&](FormElement* element) {
        return qobject_cast<FormDateEntryTableViewCell*>(cellOf(element));
    };
    EXPECT_EQ(dateCell(due.get())->detailTextLabel()->text(), "Jan 31, 2024");
    EXPECT_EQ(dateCell(timer.get())->detailTextLabel()->text(), "1 hrs, 2 mins");
    EXPECT_EQ(dateCell(custom.get())->detailTextLabel()->text(), "2024/01/31");
    EXPECT_EQ(dateCell(centred.get())->centeredLabel()->text(), "9:30\u202FAM");
    EXPECT_EQ(dateCell(centred.get())->textLabel()->text(), "");
    EXPECT_EQ(dateCell(centred.get())->detailTextLabel()->text(), "");

    int changes = 0;
    due->onValueChanged = [&](FormRootElement*) { ++changes; };
    // A tap opens the picker at the row's date; a row made with a title and date is
    // deselected at once, but the cell shows itself selected while the picker is open.
    tapRow(due.get(), 200);
    FormDateEntryTableViewCell* cell = dateCell(due.get());
    DatePicker* picker = cell->pickerView();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->datePickerMode(), DatePicker::Mode::Date);
    EXPECT_EQ(picker->date(), kWhen);
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
    EXPECT_TRUE(cell->isSelected());
    EXPECT_EQ(Application::shared().keyWindow()->inputPanel()->shownInputView(), picker);
    // February: the 29th, in the row and in the element, with one change told.
    turn(picker, 0, 1);
    EXPECT_EQ(due->dateValue().date(), QDate(2024, 2, 29));
    EXPECT_EQ(cell->detailTextLabel()->text(), "Feb 29, 2024");
    EXPECT_EQ(changes, 1);
    // Leaving drops the picker and the selection.
    cell->handleActionBarDone();
    EXPECT_EQ(cell->pickerView(), nullptr);
    EXPECT_FALSE(cell->isSelected());

    // The count-down starts at the element's duration and writes seconds back.
    tapRow(timer.get(), 200);
    DatePicker* countdown = dateCell(timer.get())->pickerView();
    ASSERT_NE(countdown, nullptr);
    EXPECT_EQ(countdown->datePickerMode(), DatePicker::Mode::CountDownTimer);
    EXPECT_EQ(countdown->countDownDuration(), 3720);
    turn(countdown, 0, 1);
    EXPECT_EQ(timer->ticksValue().toDouble(), 2 * 3600 + 2 * 60);
    EXPECT_EQ(dateCell(timer.get())->detailTextLabel()->text(), "2 hrs, 2 mins");
}

TEST_F(DateCell, ARowMadePlainlyStaysSelectedUntilTheFocusMovesOn)
{
    auto when = std::make_shared<FormDateTimeInlineElement>();
    when->setTitle("When");
    when->setMode(FormDateTimeInlineElement::DateAndTime);
    auto next = FormEntryElement::initWithTitle("Next", "");
    auto root = std::make_shared<FormRootElement>();
    auto section = FormSection::initWithTitle("Rows");
    section->addElement(when);
    section->addElement(next);
    root->addSection(section);
    open(root);
    tapRow(when.get(), 200);
    EXPECT_TRUE(table()->indexPathForSelectedRow().has_value());
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), next.get());
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
}

TEST_F(DateCell, ADateTimeRowJoinsThePickedTimeWhenItsFormGoes)
{
    auto alarm = FormDateTimeElement::initWithTitle("Alarm", kWhen);
    alarm->setMode(0);
    auto root = std::make_shared<FormRootElement>();
    auto section = FormSection::initWithTitle("Rows");
    section->addElement(alarm);
    root->addSection(section);
    open(root, "phone");
    EXPECT_EQ(cellOf(alarm.get())->detailTextLabel()->text(), "9:30\u202FAM");
    tapRow(alarm.get());
    auto* sub = qobject_cast<FormController*>(navigation->topViewController());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->formTableView()->isScrollEnabled());
    EXPECT_EQ(sub->formTableView()->indexPathForSelectedRow(), IndexPath(0, 0));
    auto* time = qobject_cast<FormDateTimeInlineElement*>(alarm->elementWithKey("time"));
    ASSERT_NE(time, nullptr);
    time->setDateValue(QDateTime(QDate(2020, 1, 1), QTime(18, 45), Qt::UTC));
    navigation->popViewController(false);
    settle();
    // The time part from the sub-form, today's date (time mode).
    EXPECT_EQ(alarm->dateValue().toLocalTime().time(), QTime(18, 45));
    EXPECT_EQ(alarm->dateValue().toLocalTime().date(), QDate::currentDate());
    EXPECT_EQ(cellOf(alarm.get())->detailTextLabel()->text(), "6:45\u202FPM");
}
