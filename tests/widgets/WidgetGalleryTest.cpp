// The gallery: each widget that no screen opens yet, shown on a phone and on a tablet and
// saved as a picture under the build folder. Run under a real X server with
// KIVOTAB_GALLERY_SHOTS set to a folder, it also takes each picture from the X server.
#include "ScreenFixture.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"
#include "widgets/ColorPickerController.h"
#include "widgets/GradientButton.h"
#include "widgets/KeyboardControls.h"
#include "widgets/MenuBarView.h"
#include "widgets/MenuItem.h"
#include "widgets/MultiTabProtocol.h"
#include "widgets/MultiTabView.h"
#include "widgets/SheetCustomPicker.h"
#include "widgets/SheetCustomPickerDelegate.h"
#include "widgets/SheetDatePicker.h"
#include "widgets/SheetDistancePicker.h"
#include "widgets/SheetLocalePicker.h"
#include "widgets/SheetStringPicker.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/UIAlertView_Blocks.h"

#include <QDir>
#include <QPointer>

using namespace platform::ui;

namespace {

class Sizes : public SheetCustomPickerDelegate {
public:
    QStringList sizes = { "Small", "Medium", "Large" };
    QStringList colours = { "Red", "Green", "Blue", "Black" };
    int numberOfComponentsInPickerView(PickerView*) override { return 2; }
    int pickerViewNumberOfRowsInComponent(PickerView*, int component) override
    {
        return int(component == 0 ? sizes.size() : colours.size());
    }
    QString pickerViewTitleForRow(PickerView*, int row, int component) override
    {
        return component == 0 ? sizes.value(row) : colours.value(row);
    }
};

class TabHost : public ViewController, public MultiTabProtocol { };

struct Gallery : ScreenFixture, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        ScreenFixture::SetUp();
        close();
        open(GetParam());
    }

    // Saves the window's picture and, under an X server, the server's own.
    void shoot(const QString& piece)
    {
        const QString name = QString("gallery-%1-%2.png").arg(piece, GetParam());
        EXPECT_TRUE(save(name));
        const QString folder = qEnvironmentVariable("KIVOTAB_GALLERY_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        testsupport::processEvents(300);
        testsupport::runTool("import", { "-window", "root", folder + "/" + name });
    }

    void dismiss(AbstractSheetPicker* picker)
    {
        picker->dismissPicker();
        flush();
    }

    bool phone() const { return QString(GetParam()) == "phone"; }
};

} // namespace

TEST_P(Gallery, Pickers)
{
    auto* strings = SheetStringPicker::showPickerWithTitle(
        "Category", { "Kitchen", "Garden", "Workshop", "Pantry", "Cellar" }, 2, {}, {}, below);
    shoot("picker-string");
    dismiss(strings);

    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30));
    const QList<std::pair<SheetDatePicker::Mode, QString>> modes
        = { { SheetDatePicker::Mode::Time, "time" }, { SheetDatePicker::Mode::Date, "date" },
              { SheetDatePicker::Mode::DateAndTime, "datetime" },
              { SheetDatePicker::Mode::CountDownTimer, "countdown" } };
    for (const auto& [mode, name] : modes) {
        auto* date = new SheetDatePicker("Reminder", mode, when, SheetDatePicker::DoneBlock(),
            SheetDatePicker::CancelBlock(), below);
        date->setCountDownDuration(5400);
        date->addCustomButtonWithTitleValue("Now", QDateTime::currentDateTime());
        date->showSheetPicker();
        shoot("picker-date-" + name);
        dismiss(date);
    }

    auto* custom = SheetCustomPicker::showPickerWithTitle(
        "Size and colour", std::make_shared<Sizes>(), true, below, { 1, 2 });
    shoot("picker-custom");
    dismiss(custom);

    auto* zones = SheetLocalePicker::showPickerWithTitle(
        "Time zone", QTimeZone("Europe/Berlin"), {}, {}, below);
    shoot("picker-timezone");
    dismiss(zones);

    auto* distance = SheetDistancePicker::showPickerWithTitle(
        "Distance", "km", 250, 142, "m", 999, 75, screen, "missing", below);
    shoot("picker-distance");
    dismiss(distance);
}

TEST_P(Gallery, KeyboardBars)
{
    auto* name = new TextField(QRectF(20, 380, 300, 32), screen->view());
    name->setBorderStyle(TextField::BorderStyle::RoundedRect);
    name->setPlaceholder("Name");
    auto* query = new TextView(QRectF(20, 420, 300, 80), screen->view());
    query->setText("SELECT * FROM items");
    name->show();
    query->show();
    KeyboardControls controls;
    controls.setTextFields({ name, query });
    controls.reloadTextFields();
    name->becomeFirstResponder();
    controls.setActiveTextField(name);
    shoot("keyboard-default");
    controls.addQuery();
    query->becomeFirstResponder();
    controls.setActiveTextField(query);
    controls.buttonSQLPressed();
    shoot("keyboard-sql");
    query->forceResignFirstResponder();
    controls.clearTextFields();
    flush();
}

TEST_P(Gallery, ColourPicker)
{
    for (const auto& [colour, name] : { std::pair { Color::colorWithRed(1, 0, 0), QString("red") },
             std::pair { Color::colorWithWhite(0.5, 1), QString("grey") } }) {
        auto* picker = new ColorPickerController(colour, "Color Picker");
        if (phone()) {
            navigation->pushViewController(picker, false);
            shoot("colorpicker-" + name);
            navigation->popViewController(false);
        } else {
            auto* wrapper = new NavigationController();
            wrapper->pushViewController(picker, false);
            QPointer<SimplePopupViewController> popup
                = new SimplePopupViewController(wrapper, QSizeF(400, 480), true);
            wrapper->setParent(popup);
            popup->presentPopoverFromPoint(QPointF(0, 0));
            shoot("colorpicker-" + name);
            popup->dismissPopoverAnimated(false);
        }
        flush();
    }
}

TEST_P(Gallery, BlockAlert)
{
    QPointer<AlertView> alert = UIAlertView_Blocks::showWithTitle("Delete Record?",
        "The row and its reminders are removed.", "Cancel", { "Delete" }, [](AlertView*, int) {});
    shoot("alert");
    if (alert)
        alert->dismissWithClickedButtonIndex(0, false);
    flush();
}

TEST_P(Gallery, MenuBarAndTabs)
{
    auto* file = new MenuItem("File", "Save");
    file->addchildWithText("Open", "Open");
    file->addchildWithText("Save", "Save");
    file->addchildWithText("Close");
    auto* bar = new MenuBarView(screen, { file, new MenuItem("Edit"), new MenuItem("View") });
    bar->selectItem(0);
    shoot("menubar");
    bar->dismissPopup();
    flush();
    delete bar;

    auto* host = new TabHost();
    host->setParent(screen);
    host->view()->setFrame(screen->view()->bounds());
    host->view()->setBackgroundColor(QColor(239, 239, 244));
    screen->view()->addSubview(host->view());
    auto* strip = new MultiTabView(host, QPointF(0, 0), true, true);
    for (const QString& title :
        QStringList { "Kitchen", "Garden", "Workshop", "Pantry", "Cellar" }) {
        auto* page = new ViewController();
        page->view()->setBackgroundColor(Qt::white);
        auto* label = new Label(QRectF(20, 20, 280, 30), page->view());
        label->setText(title + " inventory");
        strip->addPage(page, title);
    }
    testsupport::processEvents(80);
    strip->selectTab(IndexPath(1, 0));
    shoot("tabs");
}

TEST_P(Gallery, GradientButtons)
{
    const QStringList names = { "Silver", "Blue", "Teal", "Green", "Orange", "Red", "Black" };
    QList<GradientButton*> buttons;
    for (int type = 0; type < 7; ++type) {
        auto* button = new GradientButton(QRectF(20, 60 + type * 40, 150, 34), screen->view());
        auto* pressed = new GradientButton(QRectF(190, 60 + type * 40, 150, 34), screen->view());
        for (GradientButton* b : { button, pressed }) {
            b->setType(type);
            b->setTitle(names[type]);
            b->setTitleFont(Font::boldSystem(15));
            b->show();
        }
        pressed->setHighlighted(true);
        buttons << button << pressed;
    }
    shoot("gradientbuttons");
}

INSTANTIATE_TEST_SUITE_P(PhoneAndTablet, Gallery, ::testing::Values("phone", "tablet"));
