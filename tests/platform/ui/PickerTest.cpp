#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Toolbar.h"

#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

struct Fruits : PickerViewDataSource, PickerViewDelegate {
    QList<QStringList> columns { { "Apple", "Banana", "Cherry", "Date", "Elder" },
        { "Small", "Medium", "Large" } };
    QList<std::pair<int, int>> selected;

    int numberOfComponentsInPickerView(PickerView*) override { return int(columns.size()); }
    int pickerViewNumberOfRowsInComponent(PickerView*, int component) override
    {
        return int(columns.value(component).size());
    }
    QString pickerViewTitleForRow(PickerView*, int row, int component) override
    {
        return columns.value(component).value(row);
    }
    void pickerViewDidSelectRow(PickerView*, int row, int component) override
    {
        selected << std::make_pair(row, component);
    }
};

// A point one row above (-1) or below (+1) the band of a component, on the drum.
QPointF rowOffset(PickerView* picker, int component, int rows)
{
    return QPointF(picker->rectForComponent(component).center().x(),
        picker->bounds().center().y() + rows * 33.0);
}

struct Pickers : ::testing::Test {
    View root { QRectF(0, 0, 320, 216) };
    void SetUp() override
    {
        Animation::setInstant(true);
        root.show();
    }
};

} // namespace

TEST_F(Pickers, APersonsChoiceIsReportedAndAChoiceMadeInCodeIsNot)
{
    Fruits fruits;
    auto* picker = new PickerView(root.bounds(), &root);
    picker->setDataSource(&fruits);
    picker->setDelegate(&fruits);
    EXPECT_EQ(picker->numberOfComponents(), 2);
    EXPECT_EQ(picker->numberOfRowsInComponent(0), 5);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);

    picker->selectRow(3, 0, true);
    picker->selectRow(99, 1, false); // a row the component lacks: ignored
    EXPECT_EQ(picker->selectedRowInComponent(1), 0);
    picker->selectRow(2, 1, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 3);
    EXPECT_EQ(picker->selectedRowInComponent(1), 2);
    EXPECT_TRUE(fruits.selected.isEmpty());

    // A click on the row above the band brings it there.
    GestureSynthesizer::tap(picker, rowOffset(picker, 0, -1));
    EXPECT_EQ(fruits.selected, (QList<std::pair<int, int>> { { 2, 0 } }));
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    // A click on the band's own row changes nothing and says nothing.
    GestureSynthesizer::tap(picker, rowOffset(picker, 0, 0));
    EXPECT_EQ(fruits.selected.size(), 1);

    // A slow drag of two rows downwards brings the rows above into the band.
    const QPointF from = rowOffset(picker, 1, 0);
    GestureSynthesizer::drag(picker, from, from + QPointF(0, 64), 8, 3.0);
    EXPECT_EQ(picker->selectedRowInComponent(1), 0);
    EXPECT_EQ(fruits.selected.last(), std::make_pair(0, 1));

    // The keys turn the wheel last touched; the mouse wheel too, once it comes to rest.
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(fruits.selected.last(), std::make_pair(1, 1));
    const QPointF at = rowOffset(picker, 0, 0);
    QWheelEvent wheel(at, picker->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(picker, &wheel);
    ASSERT_TRUE(testsupport::waitUntil([&] { return fruits.selected.size() == 4; }, 2000));
    EXPECT_EQ(fruits.selected.last(), std::make_pair(3, 0));

    // Fewer rows after a reload keep the choice within them.
    fruits.columns[0] = { "Fig" };
    picker->reloadComponent(0);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    fruits.columns.clear();
    picker->reloadAllComponents();
    EXPECT_EQ(picker->numberOfComponents(), 0);
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
}

TEST_F(Pickers, DateWheelsFollowTheLocaleAndRollBackToADayTheMonthHas)
{
    auto* picker = new DatePicker(root.bounds(), &root);
    picker->setTimeZone(QTimeZone("UTC"));
    picker->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    picker->setDatePickerMode(DatePicker::Mode::Date);
    int changes = 0;
    picker->addTarget([&](Control*) { ++changes; }, ControlEventValueChanged);
    picker->setDate(QDateTime(QDate(2024, 1, 31), QTime(9, 30), QTimeZone("UTC")));
    EXPECT_EQ(changes, 0);
    PickerView* wheels = picker->wheels();
    ASSERT_EQ(wheels->numberOfComponents(), 3);
    // Month, day, year, as a date is written in the United States.
    EXPECT_EQ(wheels->numberOfRowsInComponent(0), 12);
    EXPECT_EQ(wheels->numberOfRowsInComponent(1), 31);
    EXPECT_EQ(wheels->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheels->selectedRowInComponent(1), 30);

    // January 31st, then February: the 29th of 2024, and the day wheel rolls back.
    GestureSynthesizer::tap(wheels, rowOffset(wheels, 0, 1));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker->date(), QDateTime(QDate(2024, 2, 29), QTime(9, 30), QTimeZone("UTC")));
    EXPECT_EQ(wheels->selectedRowInComponent(1), 28);

    // Day, month, year in German.
    picker->setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(wheels->numberOfRowsInComponent(0), 31);
    EXPECT_EQ(wheels->numberOfRowsInComponent(1), 12);
    EXPECT_EQ(changes, 1);
}

TEST_F(Pickers, LimitsHoldAgainstAPersonsTurnAndMinutesComeInSteps)
{
    const QTimeZone utc("UTC");
    auto* picker = new DatePicker(root.bounds(), &root);
    picker->setTimeZone(utc);
    picker->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    picker->setDatePickerMode(DatePicker::Mode::Date);
    picker->setDate(QDateTime(QDate(2024, 3, 14), QTime(12, 0), utc));
    picker->setMinimumDate(QDateTime(QDate(2024, 3, 10), QTime(0, 0), utc));
    picker->setMaximumDate(QDateTime(QDate(2024, 3, 20), QTime(18, 0), utc));
    QList<QDateTime> reported;
    picker->addTarget([&](Control*) { reported << picker->date(); }, ControlEventValueChanged);

    // Eight days on is past the maximum: the wheel comes back to it.
    PickerView* wheels = picker->wheels();
    const QPointF from = rowOffset(wheels, 1, 0);
    GestureSynthesizer::drag(wheels, from, from - QPointF(0, 8 * 32), 16, 8.0);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported.first(), QDateTime(QDate(2024, 3, 20), QTime(18, 0), utc));
    EXPECT_EQ(wheels->selectedRowInComponent(1), 19);
    // A date set in code outside the limits is held to them, silently.
    picker->setDate(QDateTime(QDate(2023, 1, 1), QTime(0, 0), utc));
    EXPECT_EQ(picker->date(), QDateTime(QDate(2024, 3, 10), QTime(0, 0), utc));
    EXPECT_EQ(reported.size(), 1);

    picker->setDatePickerMode(DatePicker::Mode::Time);
    picker->setMinuteInterval(15);
    EXPECT_EQ(picker->minuteInterval(), 15);
    ASSERT_EQ(wheels->numberOfComponents(), 3); // hour, minute, AM/PM
    EXPECT_EQ(wheels->numberOfRowsInComponent(1), 4);
    picker->setMinuteInterval(7); // does not divide an hour
    EXPECT_EQ(picker->minuteInterval(), 1);
    picker->setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(wheels->numberOfComponents(), 2); // 24 hours, no AM/PM
    EXPECT_EQ(wheels->numberOfRowsInComponent(0), 24);
}

TEST_F(Pickers, CountDownRunsAtLeastOneStepAndAtMostADay)
{
    auto* picker = new DatePicker(root.bounds(), &root);
    picker->setDatePickerMode(DatePicker::Mode::CountDownTimer);
    picker->setCountDownDuration(59);
    EXPECT_EQ(picker->countDownDuration(), 60);
    picker->setCountDownDuration(100000);
    EXPECT_EQ(picker->countDownDuration(), 23 * 3600 + 59 * 60);
    picker->setCountDownDuration(3725); // 1 h 2 min 5 s: whole minutes
    EXPECT_EQ(picker->countDownDuration(), 3720);
    int changes = 0;
    picker->addTarget([&](Control*) { ++changes; }, ControlEventValueChanged);
    PickerView* wheels = picker->wheels();
    GestureSynthesizer::tap(wheels, rowOffset(wheels, 0, -1));
    EXPECT_EQ(picker->countDownDuration(), 120);
    EXPECT_EQ(changes, 1);
    // Down to nothing is not a count-down: one minute it is.
    GestureSynthesizer::tap(wheels, rowOffset(wheels, 1, -1));
    GestureSynthesizer::tap(wheels, rowOffset(wheels, 1, -1));
    EXPECT_EQ(picker->countDownDuration(), 60);
    EXPECT_EQ(wheels->selectedRowInComponent(1), 1);
}

// A date picker in a sheet as the pickers show one: the bar, then the wheels, with the
// days outside the limits in grey.
namespace {

// Rows shown as labels; counts the views it makes and the ones handed back.
struct LabelRows : Fruits {
    int made = 0;
    int reused = 0;
    View* pickerViewViewForRow(PickerView*, int row, int component, View* reusing) override
    {
        auto* label = qobject_cast<Label*>(reusing);
        if (label)
            ++reused;
        else {
            label = new Label(QRectF(0, 0, 100, 32));
            ++made;
        }
        label->setText(columns.value(component).value(row));
        return label;
    }
};

} // namespace

TEST_F(Pickers, RowViewsAreShownAndHandedBackForReuse)
{
    LabelRows rows;
    PickerView picker(QRectF(0, 0, 320, 216), &root);
    picker.setDataSource(&rows);
    picker.setDelegate(&rows);
    picker.show();
    picker.grab();
    auto* shown = qobject_cast<Label*>(picker.viewForRow(0, 0));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(), "Apple");
    EXPECT_EQ(shown->parentWidget(), &picker);
    const int madeFirst = rows.made;
    EXPECT_GT(madeFirst, 0);
    // Painting again asks for the same rows and is handed the same views.
    picker.grab();
    EXPECT_EQ(rows.made, madeFirst);
    EXPECT_GE(rows.reused, madeFirst);
    picker.selectRow(4, 0, false);
    picker.grab();
    EXPECT_EQ(qobject_cast<Label*>(picker.viewForRow(4, 0))->text(), "Elder");
    picker.setDelegate(nullptr);
}

TEST_F(Pickers, ARowTheComponentLacksIsIgnoredAndReloadsKeepTheSelectionWithinTheRows)
{
    Fruits fruits;
    PickerView picker(QRectF(0, 0, 320, 216), &root);
    picker.setDataSource(&fruits);
    picker.setDelegate(&fruits);
    picker.selectRow(3, 0, false);
    picker.selectRow(9, 0, false);
    picker.selectRow(-1, 0, false);
    EXPECT_EQ(picker.selectedRowInComponent(0), 3);
    fruits.columns[0] = QStringList({ "Fig", "Grape" });
    picker.reloadComponent(0);
    EXPECT_EQ(picker.selectedRowInComponent(0), 1);
    EXPECT_TRUE(fruits.selected.isEmpty());
}

TEST(DatePicker, Screenshot)
{
    Animation::setInstant(true);
    for (const QString device : { "tablet", "phone" }) {
        const double width = device == "tablet" ? 320 : 375;
        View sheet(QRectF(0, 0, width, 260));
        sheet.setBackgroundColor(Qt::white);
        auto* bar = new Toolbar(&sheet);
        bar->setFrame(QRectF(0, 0, width, 44));
        auto* title = new Label(QRectF(0, 0, 180, 30));
        title->setText("Due date");
        title->setFont(Font::boldSystem(16));
        title->setTextAlignment(Qt::AlignCenter);
        bar->setItems({ new BarButtonItem(BarButtonItem::SystemItem::Cancel, {}, bar),
            new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace, {}, bar),
            new BarButtonItem(title, bar),
            new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace, {}, bar),
            new BarButtonItem(BarButtonItem::SystemItem::Done, {}, bar) });
        auto* picker = new DatePicker(QRectF(0, 44, width, 216), &sheet);
        const QTimeZone utc("UTC");
        picker->setTimeZone(utc);
        picker->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        picker->setDatePickerMode(DatePicker::Mode::Date);
        picker->setDate(QDateTime(QDate(2024, 3, 14), QTime(12, 0), utc));
        picker->setMinimumDate(QDateTime(QDate(2024, 3, 12), QTime(0, 0), utc));
        sheet.show();
        testsupport::processEvents(10);
        sheet.snapshot().save(
            testsupport::outputPath(QStringLiteral("date-picker-%1.png").arg(device)));
    }
}
