#include "platform/ui/InputPanel.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ViewController.h"

#include <QPointer>

#include <functional>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

const QColor kBar(0, 144, 223);

// A form as the detail screens show one: titled rows in a grouped section, each with a
// borderless field right of the titles.
class FormView : public View {
public:
    explicit FormView(const QStringList& titles, const QStringList& values)
    {
        setBackgroundColor(QColor(239, 239, 244));
        for (int i = 0; i < titles.size(); ++i) {
            auto* row = new View(this);
            row->setBackgroundColor(Qt::white);
            auto* title = new Label(row);
            title->setText(titles[i]);
            title->setFont(Font::named("HelveticaNeue-Medium", 15));
            auto* field = new TextField(row);
            field->setText(values.value(i));
            field->setFont(Font::named("HelveticaNeue", 15));
            field->setTextColor(QColor(60, 60, 67));
            field->setClearButtonMode(TextField::ViewMode::WhileEditing);
            field->setPlaceholder(titles[i]);
            rows << row;
            titleLabels << title;
            fields << field;
        }
    }

    void layoutSubviews() override
    {
        const double width = bounds().width();
        const double inset = width > 600 ? 40 : 0;
        double y = 35;
        for (int i = 0; i < rows.size(); ++i) {
            rows[i]->setFrame(QRectF(inset, y, width - 2 * inset, 44));
            titleLabels[i]->setFrame(QRectF(15, 0, 110, 44));
            fields[i]->setFrame(QRectF(130, 7, width - 2 * inset - 140, 30));
            y += 45;
        }
    }

    QList<View*> rows;
    QList<Label*> titleLabels;
    QList<TextField*> fields;
};

// The bar above the keyboard: Previous and Next, a flexible space, Done.
Toolbar* keyboardBar()
{
    auto* bar = new Toolbar();
    bar->setFrame(QRectF(0, 0, 320, 44));
    bar->setBarTintColor(kBar);
    bar->setTranslucent(false);
    bar->setTintColor(Qt::white);
    auto* segments = new SegmentedControl({ "Previous", "Next" });
    segments->setMomentary(true);
    segments->setTintColor(Qt::white);
    segments->setFrame(QRectF(0, 0, 150, 29));
    bar->setItems({ new BarButtonItem(segments, bar),
        new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace, {}, bar),
        new BarButtonItem(BarButtonItem::SystemItem::Done, {}, bar) });
    return bar;
}

struct Keyboard {
    QStringList names;
    QList<QVariantMap> infos;
    QList<platform::NotificationCenter::Token> tokens;

    Keyboard()
    {
        for (const QString& name :
            { InputPanel::KeyboardWillShowNotification, InputPanel::KeyboardDidShowNotification,
                InputPanel::KeyboardWillHideNotification, InputPanel::KeyboardDidHideNotification })
            tokens << platform::NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const platform::Notification& n) {
                    names << n.name;
                    infos << n.userInfo;
                });
    }
    ~Keyboard()
    {
        for (auto token : tokens)
            platform::NotificationCenter::defaultCenter().removeObserver(token);
    }
};

struct Screen : ::testing::Test {
    NavigationController* navigation = nullptr;
    ViewController* screen = nullptr;
    FormView* form = nullptr;

    void build(const QString& device, const QStringList& titles, const QStringList& values)
    {
        Animation::setInstant(true);
        ASSERT_TRUE(Device::current().selectModel(device));
        auto& bar = NavigationBar::appearance();
        bar.barTintColor = kBar;
        bar.tintColor = Qt::white;
        bar.translucent = false;
        bar.titleTextAttributes.foregroundColor = Qt::white;
        bar.titleTextAttributes.font = Font::named("HelveticaNeue-Medium", 17);
        bar.titleTextAttributes.hasFont = true;
        navigation = new NavigationController();
        screen = new ViewController();
        screen->setTitle("Inventory - Edit");
        form = new FormView(titles, values);
        screen->setView(form);
        navigation->pushViewController(screen, false);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
        testsupport::processEvents(20);
    }

    void TearDown() override
    {
        TextInput::endEditing(nullptr, true);
        Application::shared().reset();
        delete navigation;
        navigation = nullptr;
        NavigationBar::appearance() = {};
        EXPECT_TRUE(Device::current().selectModel("tablet"));
    }

    QImage shoot(const QString& name)
    {
        testsupport::processEvents(20);
        const QImage shot = Application::shared().keyWindow()->snapshot();
        shot.save(testsupport::outputPath(name));
        return shot;
    }
};

} // namespace

TEST_F(Screen, ThePanelShowsTheFocusedFieldsBarAndPostsTheKeyboardNotifications)
{
    build("tablet", { "Name", "Description" }, { "Kitchen", "" });
    Keyboard keyboard;
    Window* window = Application::shared().keyWindow();
    TextField* name = form->fields[0];
    TextField* description = form->fields[1];
    QPointer<Toolbar> nameBar = keyboardBar();
    Toolbar* descriptionBar = keyboardBar();
    name->setInputAccessoryView(nameBar);
    description->setInputAccessoryView(descriptionBar);
    // Kept, hidden, by the field until it shows.
    EXPECT_EQ(nameBar->parentWidget(), name);
    EXPECT_TRUE(nameBar->isHidden());

    ASSERT_TRUE(name->becomeFirstResponder());
    InputPanel* panel = window->inputPanel();
    EXPECT_TRUE(panel->isShowing());
    EXPECT_EQ(panel->accessoryView(), nameBar);
    EXPECT_EQ(nameBar->parentWidget(), panel);
    EXPECT_FALSE(nameBar->isHidden());
    const QRectF shown(0, window->height() - 44, window->width(), 44);
    EXPECT_EQ(panel->frame(), shown);
    EXPECT_EQ(nameBar->frame(), QRectF(0, 0, window->width(), 44));
    ASSERT_GE(keyboard.names.size(), 1);
    EXPECT_EQ(keyboard.names.first(), InputPanel::KeyboardWillShowNotification);
    const QVariantMap info = keyboard.infos.first();
    EXPECT_EQ(info.value(InputPanel::FrameEndUserInfoKey).toRectF(), shown);
    EXPECT_EQ(info.value(InputPanel::FrameBeginUserInfoKey).toRectF(), shown.translated(0, 44));
    EXPECT_DOUBLE_EQ(info.value(InputPanel::AnimationDurationUserInfoKey).toDouble(), 0.25);
    EXPECT_TRUE(info.contains(InputPanel::AnimationCurveUserInfoKey));
    // The did-show follows once the slide ends, through the main queue.
    EXPECT_TRUE(testsupport::waitUntil([&] { return keyboard.names.size() >= 2; }));
    EXPECT_EQ(keyboard.names,
        QStringList(
            { InputPanel::KeyboardWillShowNotification, InputPanel::KeyboardDidShowNotification }));

    // From field to field the panel stays and shows the new field's bar; the old bar
    // goes back to its field.
    keyboard.names.clear();
    ASSERT_TRUE(description->becomeFirstResponder());
    testsupport::processEvents(10);
    EXPECT_EQ(panel->accessoryView(), descriptionBar);
    EXPECT_EQ(nameBar->parentWidget(), name);
    EXPECT_TRUE(nameBar->isHidden());
    EXPECT_FALSE(keyboard.names.contains(InputPanel::KeyboardWillHideNotification));

    // Nothing first responder: the panel goes.
    keyboard.names.clear();
    description->resignFirstResponder();
    EXPECT_TRUE(testsupport::waitUntil([&] { return panel->isHidden(); }));
    EXPECT_FALSE(panel->isShowing());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(keyboard.names,
        QStringList(
            { InputPanel::KeyboardWillHideNotification, InputPanel::KeyboardDidHideNotification }));
    EXPECT_EQ(descriptionBar->parentWidget(), description);

    // A field with neither bar nor input view needs no room: nothing shows.
    keyboard.names.clear();
    auto* plain = new TextField(QRectF(0, 0, 100, 30), form);
    ASSERT_TRUE(plain->becomeFirstResponder());
    testsupport::processEvents(10);
    EXPECT_FALSE(panel->isShowing());
    EXPECT_TRUE(keyboard.names.isEmpty());

    // A field that goes away while shown takes its bar back with it.
    ASSERT_TRUE(name->becomeFirstResponder());
    delete name;
    EXPECT_TRUE(testsupport::waitUntil([&] { return nameBar.isNull(); }));
    EXPECT_FALSE(panel->isShowing());
    EXPECT_TRUE(nameBar.isNull());
}

// A form closed, hidden or popped while one of its fields has the keys: the field stops
// being first responder and the panel goes, so the screen's toolbar shows again.
TEST_F(Screen, AFieldTakenOffTheScreenStopsEditingAndThePanelGoes)
{
    build("phone", { "Name" }, { "Kitchen" });
    InputPanel* panel = Application::shared().keyWindow()->inputPanel();
    const QList<std::pair<const char*, std::function<void(View*)>>> ways = {
        { "taken out of the window", [](View* holder) { holder->removeFromSuperview(); } },
        { "hidden", [](View* holder) { holder->setHidden(true); } },
        { "taken out, then deleted",
            [](View* holder) {
                holder->removeFromSuperview();
                delete holder;
            } },
        { "popped with its screen", [this](View*) { navigation->popViewController(true); } },
    };
    for (const auto& [name, takeOff] : ways) {
        SCOPED_TRACE(name);
        auto* pushed = new ViewController();
        auto* holder = new View(QRectF(0, 0, 300, 100));
        holder->setBackgroundColor(Qt::white);
        pushed->setView(holder);
        navigation->pushViewController(pushed, false);
        testsupport::processEvents(10);
        auto* field = new TextField(QRectF(10, 10, 200, 30), holder);
        field->setInputAccessoryView(keyboardBar());
        ASSERT_TRUE(field->becomeFirstResponder());
        testsupport::processEvents(10);
        ASSERT_TRUE(panel->isShowing());
        QPointer<TextField> alive(field);
        QPointer<View> kept(holder);
        takeOff(holder);
        // The panel notices once the events of that moment are done and then slides away, each
        // a step through the main queue: on a busy machine more than a fixed wait allows.
        EXPECT_TRUE(testsupport::waitUntil([&] { return panel->isHidden(); }));
        EXPECT_FALSE(panel->isShowing());
        EXPECT_TRUE(panel->isHidden());
        EXPECT_EQ(TextInput::firstResponder(), nullptr);
        if (alive) {
            EXPECT_FALSE(alive->isFirstResponder());
        }
        if (navigation->topViewController() == pushed)
            navigation->popViewController(false);
        if (kept && !kept->parentWidget())
            delete kept.data();
        testsupport::processEvents(10);
    }
}

TEST_F(Screen, AnInputViewShowsBelowTheBarInPlaceOfTheKeyboard)
{
    build("phone", { "Due" }, { "" });
    TextField* due = form->fields[0];
    auto* picker = new DatePicker();
    picker->setBackgroundColor(Qt::white);
    due->setInputAccessoryView(keyboardBar());
    due->setInputView(picker);
    ASSERT_TRUE(due->becomeFirstResponder());
    Window* window = Application::shared().keyWindow();
    InputPanel* panel = window->inputPanel();
    EXPECT_EQ(panel->shownInputView(), picker);
    EXPECT_EQ(panel->frame(), QRectF(0, window->height() - 44 - 216, window->width(), 260));
    EXPECT_EQ(picker->frame(), QRectF(0, 44, window->width(), 216));
}

// Screens to look at: a form field with its bar in the panel, and a date picker as the
// field's input view, on a tablet and on a phone.
TEST_F(Screen, ScreenshotsOfAFieldWithItsBarAndOfADatePicker)
{
    for (const QString device : { "tablet", "phone" }) {
        build(device, { "Name", "Category", "Amount", "Due" },
            { "Kitchen inventory", "Household", "1,250.00", "Mar 14, 2024 3:35 PM" });
        TextField* name = form->fields[0];
        name->setInputAccessoryView(keyboardBar());
        ASSERT_TRUE(name->becomeFirstResponder());
        name->setText("Kitchen inventory");
        shoot(QStringLiteral("input-panel-field-%1.png").arg(device));

        TextField* due = form->fields[3];
        auto* picker = new DatePicker();
        picker->setBackgroundColor(Qt::white);
        picker->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        picker->setMinuteInterval(5);
        picker->setDate(QDateTime(QDate(2024, 3, 14), QTime(15, 35), picker->timeZone()));
        due->setInputAccessoryView(keyboardBar());
        due->setInputView(picker);
        ASSERT_TRUE(due->becomeFirstResponder());
        const QImage shot = shoot(QStringLiteral("input-panel-date-picker-%1.png").arg(device));
        // The picker's band is where the panel is, at the bottom.
        const double y = Application::shared().keyWindow()->height() - 108;
        EXPECT_EQ(shot.pixelColor(
                      2, int(y * shot.height() / Application::shared().keyWindow()->height())),
            QColor(Qt::white));
        TearDown();
    }
}
