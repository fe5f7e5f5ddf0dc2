#pragma once

#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "forms/DetailForms.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/QuickDetailViewController.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/GridData.h"
#include "grid/MainCollectionViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "model/AppDelegate.h"
#include "model/ModelRegistry.h"
#include "platform/Folders.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "reports/ExportDetailDataController.h"
#include "screens/ApplicationScreen.h"
#include "screens/ScreenFactory.h"
#include "utilities/text/FormatLocale.h"
#include "widgets/PopoverController.h"
#include "widgets/SimplePopupViewController.h"

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace e2e {

using testsupport::GestureSynthesizer;

// The application's delegate as main makes it, without taking over the process's signals.
class TestDelegate : public AppDelegate {
protected:
    void installCrashHandler() override { }
};

// The application started as main starts it: the real delegate and store, the screen
// factory, and the window's navigation stack with the first screen; on a tablet or a phone.
struct AppTest : ::testing::TestWithParam<const char*> {
    // How long the store may take to load: on a loaded machine, with the cloud on, past half
    // a minute.
    static constexpr int LaunchMs = 60000;

    void SetUp() override
    {
        FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        platform::ui::Animation::setInstant(true);
        ASSERT_TRUE(platform::ui::Device::current().selectModel(GetParam()));
        ModelRegistry::registerClasses();
        delegate = std::make_unique<TestDelegate>();
        delegate->setLaunchWait([](int, std::function<void()> done) { done(); });
        ASSERT_TRUE(delegate->didFinishLaunching());
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return delegate->isLaunched() && delegate->isStoreReady(); }, LaunchMs));
        ScreenFactory::install();
        DetailForms::registerAll();
        ExportDetailDataController::install();
        navigation.reset(MainCollectionViewController::createRootNavigation());
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle(100);
    }

    void TearDown() override
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delegate.reset();
        platform::ui::Storyboard::main().clear();
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    bool tablet() const { return QString(GetParam()) == "tablet"; }

    // A list a screen shows (its settings, say): in its popup on a tablet, pushed on a phone.
    MainCollectionViewController* listOn(BaseViewController* screen)
    {
        if (!tablet())
            return dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<MainCollectionViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    // The window that stands for the screen.
    static platform::ui::Window* window()
    {
        return platform::ui::Application::shared().keyWindow();
    }

    // The window's pixels as the X server holds them.
    static QImage server()
    {
        settle(300);
        platform::ui::Window* shown = window();
        const QPoint at = shown->mapToGlobal(QPoint(0, 0));
        return shown->screen()
            ->grabWindow(0, at.x(), at.y(), shown->width(), shown->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    static void settle(int ms = 40)
    {
        testsupport::processEvents(ms);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    ApplicationScreen* top() const
    {
        return dynamic_cast<ApplicationScreen*>(navigation->topViewController());
    }

    template<class Controller> static Controller* controllerOf(BaseViewController* screen)
    {
        return screen ? dynamic_cast<Controller*>(screen->dataController().get()) : nullptr;
    }

    static platform::ui::View* tileView(MainCollectionViewController* screen, int item, int tag)
    {
        auto* cell
            = screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
        return cell ? cell->contentView()->viewWithTag(tag) : nullptr;
    }

    // The titles of the tiles, in item order.
    static QStringList titles(MainCollectionViewController* screen)
    {
        QStringList shown;
        settle();
        const int count = screen->collectionView()->numberOfItemsInSection(0);
        for (int i = 0; i < count; ++i)
            if (auto* label = qobject_cast<platform::ui::Label*>(tileView(screen, i, 3000)))
                shown << label->text();
        return shown;
    }

    // Taps the disclosure arrow of the tile with that title.
    static bool open(MainCollectionViewController* screen, const QString& title)
    {
        const int at = int(titles(screen).indexOf(title));
        if (at < 0)
            return false;
        GestureSynthesizer::tap(tileView(screen, at, 2000));
        settle(100);
        return true;
    }

    // Reloads the screen and lets the grid select its row again, as it does a moment
    // after a reload.
    static void reload(ApplicationScreen* screen)
    {
        screen->refreshView();
        settle(250);
    }

    // Adds a database through the Databases screen's add button and its form.
    bool addDatabase(ApplicationScreen* databases, const QString& name, const QString& descr)
    {
        databases->dataController()->add(nullptr);
        const bool saved = fillAndSave(databases, { { "name", name }, { "descr", descr } });
        if (saved)
            reload(databases);
        return saved;
    }

    // Adds a table to Home through its add button and the table form.
    bool addTable(ApplicationScreen* home, const QString& name, const QString& definitionId,
        bool isProtected = false)
    {
        home->dataController()->add(nullptr);
        const bool saved = fillAndSave(home,
            { { "name", name }, { "descr", "About " + name }, { "template", definitionId },
                { "protected", isProtected } });
        if (saved)
            reload(home);
        return saved;
    }

    // Adds a row through the rows screen's add button and the row form.
    bool addRow(ApplicationScreen* rows, const QVariantMap& values)
    {
        rows->dataController()->add(nullptr);
        const bool saved = fillAndSave(rows, values);
        if (saved)
            reload(rows);
        return saved;
    }

    // The button of that tag in the screen's bottom toolbar or in its navigation bar.
    static platform::ui::View* barButton(BaseViewController* screen, int tag)
    {
        QList<platform::ui::BarButtonItem*> items = screen->toolbarItems();
        items += screen->navigationItem()->rightBarButtonItems();
        for (platform::ui::BarButtonItem* item : std::as_const(items))
            if (item && item->tag() == tag && item->view())
                return item->view();
        return nullptr;
    }

    // The texts of a column-table row, column by column.
    static QStringList columnTexts(MainCollectionViewController* screen, int item)
    {
        QStringList texts;
        for (int tag = 100;
             auto* label = qobject_cast<platform::ui::Label*>(tileView(screen, item, tag)); ++tag)
            texts << label->text();
        return texts;
    }

    static platform::ui::AlertView* alertTitled(const QString& title)
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            if (alert->title() == title)
                return alert;
        return nullptr;
    }

    // All texts of the alerts shown now, then closes them.
    static QStringList takeMessages()
    {
        settle();
        QStringList texts;
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts()) {
            texts << alert->title() + "|" + alert->message();
            alert->dismissWithClickedButtonIndex(0, false);
        }
        settle();
        return texts;
    }

    // Closes the one alert that says the text, leaving any others.
    static bool dismissMessage(const QString& text)
    {
        settle();
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts()) {
            if (alert->message().contains(text) || alert->title().contains(text)) {
                alert->dismissWithClickedButtonIndex(0, false);
                settle();
                return true;
            }
        }
        return false;
    }

    // Whether a stored row's text holds the text.
    static bool storedTextsHold(const QString& text)
    {
        const QStringList texts = storedTexts();
        return std::any_of(
            texts.cbegin(), texts.cend(), [&](const QString& json) { return json.contains(text); });
    }

    // Types the text into the secure prompt of that title and presses OK.
    static bool answerPrompt(const QString& title, const QString& text)
    {
        settle();
        platform::ui::AlertView* alert = alertTitled(title);
        if (!alert || !alert->textFieldAtIndex(0))
            return false;
        alert->textFieldAtIndex(0)->setText(text);
        alert->dismissWithClickedButtonIndex(1, false);
        settle(60);
        return true;
    }

    // The detail form the screen opened, if any, after a moment: pushed on a phone, in the
    // popover on a tablet. For a form that must come, awaitedForm.
    QuickDetailViewController* openedForm(ApplicationScreen* screen)
    {
        settle(150);
        return shownForm(screen);
    }

    // The form the screen was asked to open, once it shows: its root is built off the main
    // thread, which on a busy machine takes longer than any fixed wait; null when none came.
    QuickDetailViewController* awaitedForm(ApplicationScreen* screen)
    {
        settle(150);
        QuickDetailViewController* form = nullptr;
        testsupport::waitUntil([&] { return (form = shownForm(screen)) != nullptr; }, 30000);
        return form;
    }

    QuickDetailViewController* shownForm(ApplicationScreen* screen)
    {
        if (auto* pushed
            = dynamic_cast<QuickDetailViewController*>(navigation->topViewController()))
            return pushed;
        PopoverController* popover = screen->popupController();
        return popover ? dynamic_cast<QuickDetailViewController*>(popover->contentViewController())
                       : nullptr;
    }

    // The form's element bound to the key (a property or a column id), or keyed by it.
    static FormElement* element(QuickDetailViewController* form, const QString& key)
    {
        FormRootElement* root = form ? form->root() : nullptr;
        if (!root)
            return nullptr;
        if (FormElement* keyed = root->elementWithKey(key))
            return keyed;
        for (const auto& section : root->sections())
            for (const auto& item : section->elements())
                if (item->bind().endsWith(":" + key))
                    return item.get();
        return nullptr;
    }

    // Types the values into the form's fields and presses Save; true when it closed.
    bool fillAndSave(ApplicationScreen* screen, const QVariantMap& texts)
    {
        QuickDetailViewController* form = awaitedForm(screen);
        if (!form)
            return false;
        QPointer<QuickDetailViewController> alive(form);
        // Pickers first: a picked definition sets the protection switch.
        QStringList keys = texts.keys();
        std::stable_partition(keys.begin(), keys.end(), [&](const QString& key) {
            return qobject_cast<FormRadioElement*>(element(form, key)) != nullptr;
        });
        for (const QString& key : std::as_const(keys)) {
            const QVariant value = texts.value(key);
            FormElement* field = element(form, key);
            if (auto* picker = qobject_cast<FormRadioElement*>(field)) {
                picker->setSelectedValue(value);
                picker->fieldDidEndEditing();
            } else if (auto* flag = qobject_cast<FormBooleanElement*>(field)) {
                flag->setBoolValue(value.toBool());
            } else if (auto* entry = qobject_cast<FormEntryElement*>(field)) {
                entry->setTextValue(value.toString());
            } else {
                ADD_FAILURE() << "no field for " << key.toStdString();
            }
        }
        form->onSave();
        settle(100);
        return !alive
            || (navigation->topViewController() != alive
                && (!screen->popupController()
                    || screen->popupController()->contentViewController() != alive));
    }

    // Leaves the form open after a refusal: Close on a tablet, Back on a phone.
    void closeForm(ApplicationScreen* screen)
    {
        if (screen->popupController())
            screen->dismissPopup();
        else if (navigation->topViewController() != screen)
            navigation->popViewController(false);
        settle();
    }

    void back()
    {
        navigation->popViewController(false);
        settle(100);
    }

    static bool saveShot(const QString& name)
    {
        settle(60);
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    // The rows' stored texts as the store file holds them.
    static QStringList storedTexts()
    {
        QStringList texts;
        const QString path = platform::Folders::applicationSupport() + "/Kivotab.sqlite";
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            return texts;
        }
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT \"json\" FROM \"Rows\"", -1, &statement, nullptr);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            texts << QString::fromUtf8(text ? text : "");
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return texts;
    }

    std::unique_ptr<TestDelegate> delegate;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

} // namespace e2e
