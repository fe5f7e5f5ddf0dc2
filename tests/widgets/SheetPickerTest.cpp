#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/Exception.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"
#include "widgets/DistancePickerView.h"
#include "widgets/PickerSheet.h"
#include "widgets/PopoverController.h"
#include "widgets/SheetCustomPicker.h"
#include "widgets/SheetCustomPickerDelegate.h"
#include "widgets/SheetDatePicker.h"
#include "widgets/SheetDistancePicker.h"
#include "widgets/SheetLocalePicker.h"
#include "widgets/SheetStringPicker.h"

#include <QPointer>
#include <QSet>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

// Receives the pickers' actions, as a screen would.
class Receiver : public QObject {
    Q_OBJECT
public:
    QStringList calls;
    QVariant value;
    QVariant small;
    QObject* origin = nullptr;

    Q_INVOKABLE void picked(const QVariant& chosen, QObject* from)
    {
        calls << "picked";
        value = chosen;
        origin = from;
    }
    Q_INVOKABLE void distance(const QVariant& big, const QVariant& little, QObject* from)
    {
        calls << "distance";
        value = big;
        small = little;
        origin = from;
    }
    Q_INVOKABLE void cancelled(QObject* from)
    {
        calls << "cancelled";
        origin = from;
    }
    Q_INVOKABLE void custom() { calls << "custom"; }
};

// Logged messages, while it lives.
struct LogCapture {
    static QStringList& lines()
    {
        static QStringList captured;
        return captured;
    }
    QtMessageHandler previous;
    LogCapture()
    {
        lines().clear();
        previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { lines() << text; });
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
};

QString raisedReason(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), platform::Exception::InternalInconsistency);
        return exception.reason();
    }
    return QString();
}

// What a toolbar shows, item by item.
QStringList describe(Toolbar* toolbar)
{
    QStringList items;
    for (BarButtonItem* item : toolbar->items()) {
        if (item->systemItem() == BarButtonItem::SystemItem::Cancel)
            items << "Cancel";
        else if (item->systemItem() == BarButtonItem::SystemItem::Done)
            items << "Done";
        else if (item->systemItem() == BarButtonItem::SystemItem::FlexibleSpace)
            items << "space";
        else if (auto* label = qobject_cast<Label*>(item->customView()))
            items << "title:" + label->text();
        else
            items << "button:" + item->title();
    }
    return items;
}

class TwoWheels : public SheetCustomPickerDelegate {
public:
    int succeeded = 0;
    int cancelled = 0;
    int numberOfComponentsInPickerView(PickerView*) override { return 2; }
    int pickerViewNumberOfRowsInComponent(PickerView*, int) override { return 3; }
    void sheetPickerDidSucceed(SheetCustomPicker*, QObject*) override { ++succeeded; }
    void sheetPickerDidCancel(SheetCustomPicker*, QObject*) override { ++cancelled; }
};

// A picker whose view is no picker view.
class PlainViewPicker : public AbstractSheetPicker {
public:
    using AbstractSheetPicker::AbstractSheetPicker;
    View* configuredPickerView() override
    {
        auto* view = new View(QRectF(0, 40, 100, 100));
        setPickerView(view);
        return view;
    }
};

struct Pickers : ScreenFixture {
    QVariantList fruit = { "Apple", "Banana", "Cherry" };

    PickerView* wheels(AbstractSheetPicker* picker)
    {
        return qobject_cast<PickerView*>(picker->pickerView());
    }
};

} // namespace

TEST_F(Pickers, EachMisuseRaisesItsText)
{
    QObject notAView;
    const QString origin = raisedReason([&] {
        SheetStringPicker picker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), &notAView);
    });
    EXPECT_TRUE(origin.startsWith("Invalid origin provided to SheetPicker ( <QObject: 0x"))
        << origin.toStdString();
    EXPECT_TRUE(raisedReason([&] {
        SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), nullptr);
    }).startsWith("Invalid origin provided to SheetPicker ( (null) )"));

    AbstractSheetPicker base(nullptr, QByteArray(), QByteArray(), below, this->screen);
    EXPECT_EQ(raisedReason([&] { base.showSheetPicker(); }),
        "This is an abstract class, you must use a subclass of AbstractSheetPicker (like "
        "SheetStringPicker)");
    EXPECT_EQ(raisedReason([&] { base.notifyTargetDidSucceed(nullptr, {}, nullptr); }),
        "This is an abstract class, you must use a subclass of AbstractSheetPicker (like "
        "SheetStringPicker)");

    SheetStringPicker noList(
        "Fruit", {}, 0, nullptr, QByteArray(), QByteArray(), below, this->screen);
    noList.setNoData();
    EXPECT_EQ(raisedReason([&] { noList.showSheetPicker(); }),
        "Picker view failed to instantiate, perhaps you have invalid component data.");

    SheetStringPicker strings(
        "Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below, this->screen);
    strings.addCustomButtonWithTitleValue("First", 0);
    EXPECT_EQ(raisedReason([&] { strings.customButtonPressed(1); }),
        "Bad custom button tag: 1, custom button count: 1");
    EXPECT_EQ(raisedReason([&] { strings.customButtonPressed(-1); }),
        "Bad custom button tag: -1, custom button count: 1");
    EXPECT_EQ(raisedReason([&] { strings.customButtonPressed(0); }), "PickerView is invalid");
    strings.setCustomButtons(
        { QVariant("not a record"), QVariantMap { { AbstractSheetPicker::ButtonActionKey, 7 } } });
    EXPECT_EQ(raisedReason([&] { strings.customButtonPressed(0); }),
        "Custom button dictionary is invalid");
    EXPECT_EQ(raisedReason([&] { strings.customButtonPressed(1); }), "Unknown action type");

    PlainViewPicker plain(nullptr, QByteArray(), QByteArray(), below, this->screen);
    plain.addCustomButtonWithTitleValue("Zero", 0);
    plain.showSheetPicker();
    EXPECT_EQ(raisedReason([&] { plain.customButtonPressed(0); }),
        "customButtonPressed not overridden, cannot interact with subclassed pickerView");
    plain.dismissPicker();

    Receiver receiver;
    SheetDatePicker dates("When", SheetDatePicker::Mode::Date, QDateTime(), &receiver, "missing",
        below, {}, this->screen);
    dates.showSheetPicker();
    const QString invalid
        = QStringLiteral("Invalid target/action ( %1 / missing ) combination used for SheetPicker")
              .arg(receiver.metaObject()->className());
    EXPECT_EQ(raisedReason([&] { dates.actionPickerDone(); }), invalid);
    SheetDatePicker datesWithTag("When", SheetDatePicker::Mode::Date, QDateTime(), &receiver,
        "picked", below, {}, this->screen);
    EXPECT_EQ(raisedReason([&] { datesWithTag.customButtonPressed(3); }),
        "Bad custom button tag: 3, custom button count: 0");

    EXPECT_EQ(raisedReason([&] { SheetCustomPicker("Custom", nullptr, true, below); }),
        "Delegate can't be nil");
    SheetDistancePicker distance(
        "Far", "km", 9, 1, "m", 9, 1, &receiver, "missing", below, this->screen);
    distance.showSheetPicker();
    EXPECT_EQ(raisedReason([&] { distance.actionPickerDone(); }), invalid);
}

TEST_F(Pickers, ToolbarOrderForEachCombinationOfCancelTitleAndCustomButtons)
{
    struct Case {
        bool hideCancel;
        QString title;
        bool custom;
        QStringList expected;
    };
    const QList<Case> cases = {
        { false, "Fruit", false, { "Cancel", "space", "title:Fruit", "space", "Done" } },
        { false, "", false, { "Cancel", "space", "Done" } },
        { true, "Fruit", false, { "space", "title:Fruit", "space", "Done" } },
        { true, "", false, { "space", "Done" } },
        { false, "Fruit", true,
            { "Cancel", "button:One", "button:Two", "space", "title:Fruit", "space", "Done" } },
        { false, "", true, { "Cancel", "button:One", "button:Two", "space", "Done" } },
        { true, "Fruit", true,
            { "button:One", "button:Two", "space", "title:Fruit", "space", "Done" } },
        { true, "", true, { "button:One", "button:Two", "space", "Done" } },
    };
    for (const Case& c : cases) {
        SheetStringPicker picker(
            c.title, fruit, 0, nullptr, QByteArray(), QByteArray(), below, this->screen);
        picker.setHideCancel(c.hideCancel);
        if (c.custom) {
            picker.addCustomButtonWithTitleValue("One", 1);
            picker.addCustomButtonWithTitleActionBlock("Two", {});
        }
        Toolbar* toolbar = picker.createPickerToolbarWithTitle(c.title);
        EXPECT_EQ(describe(toolbar), c.expected) << c.title.toStdString() << c.hideCancel;
        EXPECT_EQ(toolbar->frame(), QRectF(0, 0, 320, 44));
        delete toolbar;
    }
}

TEST_F(Pickers, CustomButtonRecordsOfEachKind)
{
    Receiver receiver;
    SheetStringPicker picker(
        "Fruit", fruit, 2, nullptr, QByteArray(), QByteArray(), below, this->screen);
    picker.addCustomButtonWithTitleValue(QString(), QVariant());
    picker.addCustomButtonWithTitleTarget("Call", &receiver, "custom");
    picker.addCustomButtonWithTitleActionBlock("Run", {});
    const QVariantList records = picker.customButtons();
    ASSERT_EQ(records.size(), 3);
    const QVariantMap value = records[0].toMap();
    EXPECT_EQ(value.value("buttonTitle").toString(), "");
    EXPECT_EQ(value.value("buttonAction").toInt(), 0);
    EXPECT_EQ(value.value("buttonValue").toInt(), 0);
    EXPECT_FALSE(value.contains("buttonActionTarget"));
    const QVariantMap call = records[1].toMap();
    EXPECT_EQ(call.value("buttonAction").toInt(), 1);
    EXPECT_EQ(call.value("buttonValue").toByteArray(), "custom");
    EXPECT_EQ(call.value("buttonActionTarget").value<QObject*>(), &receiver);
    const QVariantMap run = records[2].toMap();
    EXPECT_EQ(run.value("buttonAction").toInt(), 2);
    // An empty block stands in for none.
    EXPECT_TRUE(bool(run.value("buttonValue").value<AbstractSheetPicker::ActionBlock>()));

    // Kind 0 without a value selects row 0 and leaves the picker up.
    picker.showSheetPicker();
    EXPECT_EQ(wheels(&picker)->selectedRowInComponent(0), 2);
    picker.customButtonPressed(0);
    EXPECT_EQ(wheels(&picker)->selectedRowInComponent(0), 0);
    EXPECT_EQ(picker.selectedIndex(), 0);
    EXPECT_TRUE(picker.popOverController());
    EXPECT_TRUE(picker.holdsItself());
    picker.dismissPicker();
}

TEST_F(Pickers, KindOneClosesEvenWhenTheTargetDoesNotAnswerAndKindTwoRunsItsBlockAfterClosing)
{
    QObject silent;
    auto* picker
        = new SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below);
    picker->addCustomButtonWithTitleTarget("Call", &silent, "custom");
    picker->showSheetPicker();
    QPointer<SheetStringPicker> watch(picker);
    picker->customButtonPressed(0);
    EXPECT_FALSE(watch->holdsItself());
    flush();
    EXPECT_TRUE(watch.isNull());

    Receiver receiver;
    auto* second
        = new SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below);
    second->addCustomButtonWithTitleTarget("Call", &receiver, "custom");
    bool closedFirst = false;
    second->addCustomButtonWithTitleActionBlock(
        "Run", [&] { closedFirst = !second->holdsItself(); });
    second->showSheetPicker();
    second->customButtonPressed(1);
    EXPECT_TRUE(closedFirst);
    flush();

    auto* third
        = new SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below);
    third->addCustomButtonWithTitleTarget("Call", &receiver, "custom");
    third->showSheetPicker();
    third->customButtonPressed(0);
    EXPECT_EQ(receiver.calls, QStringList({ "custom" }));
    flush();
}

TEST_F(Pickers, ACustomButtonsTargetDeletedWhileThePickerIsUpIsNotCalled)
{
    // The target of a button added, and of a record made by hand with a plain pointer.
    auto* added = new Receiver();
    auto* byHand = new Receiver();
    const QVariantMap record { { AbstractSheetPicker::ButtonTitleKey, "By hand" },
        { AbstractSheetPicker::ButtonActionKey, int(AbstractSheetPicker::CallSelector) },
        { AbstractSheetPicker::ButtonValueKey, QByteArray("custom") },
        { AbstractSheetPicker::ButtonActionTargetKey, QVariant::fromValue<QObject*>(byHand) } };
    auto* first
        = new SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below);
    first->addCustomButtonWithTitleTarget("Added", added, "custom");
    auto* second
        = new SheetStringPicker("Fruit", fruit, 0, nullptr, QByteArray(), QByteArray(), below);
    second->setCustomButtons({ record });
    EXPECT_EQ(second->customButtons()
                  .value(0)
                  .toMap()
                  .value(AbstractSheetPicker::ButtonActionTargetKey)
                  .value<QObject*>(),
        byHand);

    for (auto [picker, target] : { std::pair { first, added }, std::pair { second, byHand } }) {
        picker->showSheetPicker();
        delete target;
        QPointer<SheetStringPicker> watch(picker);
        picker->customButtonPressed(0); // closes, calling no one
        EXPECT_FALSE(watch->holdsItself());
        flush();
        EXPECT_TRUE(watch.isNull());
    }
}

TEST_F(Pickers, StringPickerWithAnEmptyListOrNumbers)
{
    int doneIndex = -1;
    QVariant doneValue = "unset";
    auto* empty = SheetStringPicker::showPickerWithTitle(
        "None", {}, 4,
        [&](SheetStringPicker*, int index, const QVariant& value) {
            doneIndex = index;
            doneValue = value;
        },
        {}, below);
    PickerView* view = wheels(empty);
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->showsSelectionIndicator());
    EXPECT_FALSE(view->isUserInteractionEnabled());
    empty->doneBarButtonItem()->trigger();
    EXPECT_EQ(doneIndex, 4);
    EXPECT_FALSE(doneValue.isValid());
    flush();

    auto* numbers = SheetStringPicker::showPickerWithTitle(
        "Numbers", { 7, 2.5, QVariant() }, 0, {}, {}, below);
    EXPECT_EQ(numbers->pickerViewTitleForRow(wheels(numbers), 0, 0), "7");
    EXPECT_EQ(numbers->pickerViewTitleForRow(wheels(numbers), 1, 0), "2.5");
    EXPECT_EQ(numbers->pickerViewTitleForRow(wheels(numbers), 2, 0), QString());
    EXPECT_EQ(numbers->pickerViewWidthForComponent(wheels(numbers), 0),
        wheels(numbers)->bounds().width() - 30);
    numbers->dismissPicker();
    flush();
}

TEST_F(Pickers, StringPickerLogsOnlyWithNeitherBlocksNorTarget)
{
    LogCapture log;
    auto* blocks = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 1, [](SheetStringPicker*, int, const QVariant&) {}, {}, below);
    blocks->doneBarButtonItem()->trigger();
    EXPECT_TRUE(LogCapture::lines().isEmpty());

    Receiver receiver;
    auto* targeted = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 1, &receiver, "picked", "cancelled", below);
    GestureSynthesizer::tap(
        wheels(targeted), wheels(targeted)->rectForComponent(0).center() + QPointF(0, 32));
    targeted->doneBarButtonItem()->trigger();
    EXPECT_EQ(receiver.calls, QStringList({ "picked" }));
    EXPECT_EQ(receiver.value, QVariant(2));
    EXPECT_EQ(receiver.origin, below);
    EXPECT_TRUE(LogCapture::lines().isEmpty());

    auto* neither = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 1, nullptr, QByteArray(), QByteArray(), below);
    neither->doneBarButtonItem()->trigger();
    EXPECT_EQ(LogCapture::lines(),
        QStringList({ "Invalid target/action ( (null) / (null) ) combination used for "
                      "SheetPicker" }));
    flush();
}

TEST_F(Pickers, ASelectionOrCustomValuePastTheRowsIsNeverRead)
{
    int doneIndex = -1;
    QVariant doneValue = "unset";
    auto* picker = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 9,
        [&](SheetStringPicker*, int index, const QVariant& value) {
            doneIndex = index;
            doneValue = value;
        },
        {}, below);
    EXPECT_EQ(wheels(picker)->selectedRowInComponent(0), 0);
    picker->dismissPicker();
    flush();

    auto* past = new SheetStringPicker(
        "Fruit", fruit, 9,
        [&](SheetStringPicker*, int index, const QVariant& value) {
            doneIndex = index;
            doneValue = value;
        },
        {}, below);
    past->addCustomButtonWithTitleValue("Far", 12);
    past->showSheetPicker();
    past->customButtonPressed(0);
    EXPECT_EQ(past->selectedIndex(), 9);
    past->doneBarButtonItem()->trigger();
    EXPECT_EQ(doneIndex, 9);
    EXPECT_FALSE(doneValue.isValid());
    flush();
}

TEST_F(Pickers, APickerLivesUntilItsActionReturnsAndEndsOnce)
{
    int done = 0;
    int cancelled = 0;
    QPointer<SheetStringPicker> inside;
    bool aliveInAction = false;
    auto* picker = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 0,
        [&](SheetStringPicker* p, int, const QVariant&) {
            ++done;
            flush();
            aliveInAction = inside && p->data().size() == 3;
        },
        [&](SheetStringPicker*) { ++cancelled; }, below);
    inside = picker;
    picker->doneBarButtonItem()->trigger();
    EXPECT_TRUE(aliveInAction);
    // A second Done or a Cancel after it does nothing.
    if (inside) {
        inside->actionPickerDone();
        inside->actionPickerCancel();
    }
    EXPECT_EQ(done, 1);
    EXPECT_EQ(cancelled, 0);
    flush();
    EXPECT_TRUE(inside.isNull());
}

TEST_F(Pickers, DatePickerValues)
{
    QVariant value;
    const QDateTime given(QDate(2021, 3, 14), QTime(15, 9));
    auto* date = SheetDatePicker::showPickerWithTitle(
        "When", SheetDatePicker::Mode::DateAndTime, given,
        [&](SheetDatePicker*, const QVariant& chosen, QObject*) { value = chosen; }, {}, below);
    date->doneBarButtonItem()->trigger();
    EXPECT_EQ(value.toDateTime(), given);
    flush();

    // With no date the wheels start at now.
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    auto* now = SheetDatePicker::showPickerWithTitle(
        "When", SheetDatePicker::Mode::DateAndTime, QDateTime(),
        [&](SheetDatePicker*, const QVariant& chosen, QObject*) { value = chosen; }, {}, below);
    now->doneBarButtonItem()->trigger();
    EXPECT_TRUE(value.toDateTime().isValid());
    EXPECT_GE(value.toDateTime(), before.addSecs(-60));
    flush();

    // A date outside the limits is reported as the wheels show it.
    auto* limited = new SheetDatePicker(
        "When", SheetDatePicker::Mode::Date, QDateTime(QDate(2030, 1, 1), QTime(12, 0)),
        [&](SheetDatePicker*, const QVariant& chosen, QObject*) { value = chosen; }, {}, below);
    limited->setMaximumDate(QDateTime(QDate(2025, 6, 1), QTime(12, 0)));
    limited->addCustomButtonWithTitleValue("Text", "not a date");
    limited->addCustomButtonWithTitleValue("Later", QDateTime(QDate(2040, 1, 1), QTime(12, 0)));
    limited->showSheetPicker();
    auto* dates = qobject_cast<DatePicker*>(limited->pickerView());
    ASSERT_TRUE(dates);
    limited->customButtonPressed(0);
    EXPECT_EQ(limited->selectedDate(), dates->date());
    limited->customButtonPressed(1);
    EXPECT_EQ(limited->selectedDate(), dates->date());
    limited->doneBarButtonItem()->trigger();
    EXPECT_EQ(value.toDateTime(), dates->date());
    EXPECT_EQ(value.toDateTime().date(), QDate(2025, 6, 1));
    flush();
}

TEST_F(Pickers, CountDownReportsTheDurationAndIgnoresCustomValues)
{
    Receiver receiver;
    auto* picker = new SheetDatePicker("Timer", SheetDatePicker::Mode::CountDownTimer,
        QDateTime(QDate(2021, 1, 1), QTime(0, 0)), &receiver, "picked", below);
    picker->setCountDownDuration(5400);
    picker->addCustomButtonWithTitleValue("Date", QDateTime(QDate(2022, 1, 1), QTime(0, 0)));
    picker->showSheetPicker();
    picker->customButtonPressed(0);
    EXPECT_EQ(picker->selectedDate(), QDateTime(QDate(2021, 1, 1), QTime(0, 0)));
    picker->doneBarButtonItem()->trigger();
    EXPECT_EQ(receiver.calls, QStringList({ "picked" }));
    EXPECT_EQ(receiver.value.typeId(), QMetaType::Double);
    EXPECT_EQ(receiver.value.toDouble(), 5400);
    flush();
}

TEST_F(Pickers, CustomPickerChecksInitialSelectionsAndMayHideCancel)
{
    auto delegate = std::make_shared<TwoWheels>();
    SheetCustomPicker mismatch("Two", delegate, true, below, { 1 }, this->screen);
    EXPECT_EQ(raisedReason([&] { mismatch.showSheetPicker(); }), "Number of sections not match");
    SheetCustomPicker tooFar("Two", delegate, true, below, { 1, 3 }, this->screen);
    EXPECT_EQ(raisedReason([&] { tooFar.showSheetPicker(); }), "Number of sections not match");

    auto* picker = SheetCustomPicker::showPickerWithTitle("Two", delegate, false, below, { 1, 2 });
    EXPECT_FALSE(describe(picker->toolbar()).contains("Cancel"));
    EXPECT_EQ(wheels(picker)->selectedRowInComponent(0), 1);
    EXPECT_EQ(wheels(picker)->selectedRowInComponent(1), 2);
    picker->doneBarButtonItem()->trigger();
    EXPECT_EQ(delegate->succeeded, 1);
    EXPECT_EQ(delegate->cancelled, 0);
    flush();
}

TEST_F(Pickers, OnATabletAnOutsideTapSendsTheCancelNoticeAndReleasesThePicker)
{
    Receiver receiver;
    QPointer<SheetStringPicker> picker = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 0, &receiver, "picked", "cancelled", below);
    ASSERT_TRUE(picker->popOverController());
    EXPECT_EQ(picker->presentFromRect(), QRectF(0, 0, 320, 260));
    EXPECT_EQ(picker->popOverController()->contentSize(), QSizeF(320, 260));
    GestureSynthesizer::tap(rootView(), QPointF(20, 700));
    ASSERT_TRUE(testsupport::waitUntil([&] {
        flush();
        return picker.isNull();
    }));
    EXPECT_EQ(receiver.calls, QStringList({ "cancelled" }));
    EXPECT_EQ(receiver.origin, below);
    EXPECT_EQ(belowTaps, 0);
}

TEST_F(Pickers, OnAPhoneTheSheetRisesDimmedAndARotationClosesIt)
{
    close();
    open("phone");
    Receiver receiver;
    QPointer<SheetStringPicker> picker = SheetStringPicker::showPickerWithTitle(
        "Fruit", fruit, 0, &receiver, "picked", "cancelled", below);
    QPointer<PickerSheet> sheet = picker->actionSheet();
    ASSERT_TRUE(sheet);
    flush();
    View* overlay = Application::shared().keyWindow()->overlayLevel();
    EXPECT_TRUE(sheet->isDescendantOfView(overlay));
    EXPECT_EQ(sheet->backgroundColor(), QColor(0, 0, 0, 128));
    const QRectF panel = sheet->panel()->convertRectToView(sheet->panel()->bounds(), overlay);
    EXPECT_EQ(panel, QRectF(0, 667 - 260, 375, 260));

    // An orientation the application does not support leaves it up.
    Application::shared().setSupportedInterfaceOrientations(1u << int(Orientation::Portrait));
    Device::current().setOrientation(Orientation::LandscapeLeft);
    flush();
    EXPECT_TRUE(picker);
    EXPECT_TRUE(sheet && sheet->presented());
    Device::current().setOrientation(Orientation::Portrait);
    flush();
    Application::shared().setSupportedInterfaceOrientations(30);

    // A supported one closes it without a notice.
    Device::current().setOrientation(Orientation::LandscapeLeft);
    ASSERT_TRUE(testsupport::waitUntil([&] {
        flush();
        return picker.isNull() && sheet.isNull();
    }));
    EXPECT_TRUE(receiver.calls.isEmpty());
    Device::current().setOrientation(Orientation::Portrait);
}

TEST_F(Pickers, EveryZoneOfTwoOrThreePartsIsListedOnceAndDoneNamesAKnownZone)
{
    QTimeZone chosen;
    auto* picker = SheetLocalePicker::showPickerWithTitle(
        "Zone", QTimeZone("Europe/Paris"),
        [&](SheetLocalePicker*, const QTimeZone& zone) { chosen = zone; }, {}, below);
    QSet<QString> listed;
    int count = 0;
    for (const QString& continent : picker->continents())
        for (const QString& city : picker->getCitiesByContinent(continent)) {
            listed.insert(continent + "/" + city);
            ++count;
        }
    EXPECT_EQ(count, listed.size());
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
        const int parts = int(QString::fromUtf8(id).split('/').size());
        EXPECT_EQ(listed.contains(QString::fromUtf8(id)), parts == 2 || parts == 3) << id.data();
    }
    PickerView* view = wheels(picker);
    EXPECT_EQ(view->selectedRowInComponent(0), picker->continents().indexOf("Europe"));
    EXPECT_EQ(picker->selectedCity(), "Paris");
    const QList<QByteArray> ids = QTimeZone::availableTimeZoneIds();
    const QSet<QByteArray> known(ids.begin(), ids.end());
    for (int c = 0; c < picker->continents().size(); ++c) {
        picker->pickerViewDidSelectRow(view, c, 0);
        view->selectRow(c, 0, false);
        for (int row = 0; row < view->numberOfRowsInComponent(1); ++row) {
            picker->pickerViewDidSelectRow(view, row, 1);
            EXPECT_TRUE(known.contains(picker->selectedTimeZone().id()))
                << picker->selectedContinent().toStdString() << "/"
                << picker->selectedCity().toStdString();
        }
    }
    picker->doneBarButtonItem()->trigger();
    EXPECT_TRUE(known.contains(chosen.id()));
    flush();
}

TEST_F(Pickers, ThreePartAndSlashlessInitialZones)
{
    QTimeZone chosen;
    auto* picker = SheetLocalePicker::showPickerWithTitle(
        "Zone", QTimeZone("America/Argentina/Buenos_Aires"),
        [&](SheetLocalePicker*, const QTimeZone& zone) { chosen = zone; }, {}, below);
    EXPECT_EQ(picker->selectedContinent(), "America");
    EXPECT_EQ(picker->selectedCity(), "Argentina/Buenos_Aires");
    PickerView* view = wheels(picker);
    EXPECT_EQ(view->selectedRowInComponent(1),
        picker->getCitiesByContinent("America").indexOf("Argentina/Buenos_Aires"));
    EXPECT_TRUE(picker->cityTitle("America", "Argentina/Buenos_Aires")
                    .startsWith("Argentina/Buenos_Aires ("));
    // Choosing another continent takes the city at the city wheel's row.
    const int europe = int(picker->continents().indexOf("Europe"));
    const int row = view->selectedRowInComponent(1);
    view->selectRow(europe, 0, false);
    picker->pickerViewDidSelectRow(view, europe, 0);
    EXPECT_EQ(view->numberOfRowsInComponent(1), picker->getCitiesByContinent("Europe").size());
    EXPECT_EQ(picker->selectedCity(),
        picker->getCitiesByContinent("Europe").value(
            std::min(row, int(picker->getCitiesByContinent("Europe").size()) - 1)));
    picker->doneBarButtonItem()->trigger();
    EXPECT_EQ(chosen.id(), ("Europe/" + picker->selectedCity()).toUtf8());
    flush();

    auto* utc = SheetLocalePicker::showPickerWithTitle(
        "Zone", QTimeZone("UTC"), [&](SheetLocalePicker*, const QTimeZone& zone) { chosen = zone; },
        {}, below);
    const QString first = utc->continents().value(0) + "/"
        + utc->getCitiesByContinent(utc->continents().value(0)).value(0);
    EXPECT_EQ(wheels(utc)->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheels(utc)->selectedRowInComponent(1), 0);
    utc->doneBarButtonItem()->trigger();
    EXPECT_TRUE(chosen.isValid());
    EXPECT_EQ(QString::fromUtf8(chosen.id()), first);
    flush();
}

TEST_F(Pickers, DistanceWheels)
{
    Receiver receiver;
    auto* picker = SheetDistancePicker::showPickerWithTitle(
        "Far", "km", 250, 142, "m", 99, 7, &receiver, "distance", below);
    PickerView* view = wheels(picker);
    ASSERT_TRUE(qobject_cast<DistancePickerView*>(view));
    EXPECT_EQ(view->numberOfComponents(), 7);
    const QList<int> rows = { 3, 10, 10, 1, 10, 10, 1 };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(view->numberOfRowsInComponent(c), rows[c]) << c;
    const QList<int> shown = { 1, 4, 2, 0, 0, 7, 0 };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(view->selectedRowInComponent(c), shown[c]) << c;
    EXPECT_DOUBLE_EQ(
        picker->pickerViewWidthForComponent(view, 0), (view->bounds().width() - 30) / 7);
    // Past the maximum on the wheels is reported as it stands.
    view->selectRow(2, 0, false);
    view->selectRow(9, 1, false);
    view->selectRow(9, 2, false);
    picker->doneBarButtonItem()->trigger();
    EXPECT_EQ(receiver.calls, QStringList({ "distance" }));
    EXPECT_EQ(receiver.value.toLongLong(), 299);
    EXPECT_EQ(receiver.small.toLongLong(), 7);
    flush();

    auto* zero
        = new SheetDistancePicker("Far", "km", 0, 0, "m", 0, 0, &receiver, "distance", below);
    zero->showSheetPicker();
    EXPECT_EQ(wheels(zero)->numberOfComponents(), 4);
    EXPECT_EQ(wheels(zero)->numberOfRowsInComponent(0), 1);
    EXPECT_EQ(wheels(zero)->numberOfRowsInComponent(2), 1);
    zero->dismissPicker();
    flush();
}

TEST_F(Pickers, StartingAmountsOutsideTheRangeAreClamped)
{
    Receiver receiver;
    auto* picker = SheetDistancePicker::showPickerWithTitle(
        "Far", "km", 250, 900, "m", 99, -5, &receiver, "distance", below);
    PickerView* view = wheels(picker);
    EXPECT_EQ(view->selectedRowInComponent(0), 2);
    EXPECT_EQ(view->selectedRowInComponent(1), 5);
    EXPECT_EQ(view->selectedRowInComponent(2), 0);
    EXPECT_EQ(view->selectedRowInComponent(4), 0);
    EXPECT_EQ(view->selectedRowInComponent(5), 0);
    picker->doneBarButtonItem()->trigger();
    EXPECT_EQ(receiver.value.toLongLong(), 250);
    EXPECT_EQ(receiver.small.toLongLong(), 0);
    flush();
}

TEST_F(Pickers, DistanceUnitLabelsSitOverTheirWheels)
{
    DistancePickerView view(QRectF(0, 0, 320, 216), rootView());
    struct Source : PickerViewDataSource {
        int numberOfComponentsInPickerView(PickerView*) override { return 2; }
        int pickerViewNumberOfRowsInComponent(PickerView*, int) override { return 10; }
    } source;
    view.setDataSource(&source);
    view.addLabel("km", 1);
    EXPECT_EQ(view.labels().value("1").toString(), "km");
    EXPECT_EQ(view.labels().value("longestString_1").toString(), "km");
    view.show();
    view.didMoveToWindow();
    auto* label = qobject_cast<Label*>(view.viewWithTag(2));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "km");
    EXPECT_LE(label->frame().right(), view.rectForComponent(1).right());
    EXPECT_GE(label->frame().left(), view.rectForComponent(1).left());
    view.updateLabel("mi", 1);
    EXPECT_EQ(label->text(), "mi");
    view.setDataSource(nullptr);
}

#include "SheetPickerTest.moc"
