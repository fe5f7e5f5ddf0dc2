#include "ScreensFixture.h"

#include "forms/DetailForms.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/GenericTemplateDetailViewController.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "style/Theme.h"
#include "utilities/shell/CloudStoreProtocol.h"
#include "widgets/PopoverController.h"

#include <QCoreApplication>

namespace screenstest {
namespace {

// The rows screen of one table of clients as the application shows it (its own screen,
// its forms made off the main thread and shown pushed or in a popover), with the reloads
// an import sends to the screens.
struct RowFormsAcrossReloads : ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        DetailForms::registerAll();
        platform::ui::Storyboard::main().clear();
        ApplicationScreen::registerStoryboard(platform::ui::Storyboard::main());
        database = addDatabase("Work");
        Template* definition = addDefinition("Clients");
        name = addColumn(definition->id().toString(), "Name", TypeConstants::Text);
        columns = { name };
        table = addTable(database->id().toString(), definition->id().toString(), "Clients");
        for (const char* client : { "Ann", "Bob" })
            addRow(table->id().toString(), { { nameId(), client } }, columns);
    }

    void TearDown() override
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ScreensTest::TearDown();
    }

    QString nameId() const { return name->id().toString(); }

    ApplicationScreen* showRows(const QString& device)
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        auto& application = platform::ui::Application::shared();
        application.reset();
        navigation = std::make_unique<platform::ui::NavigationController>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(table);
        auto* screen = new ApplicationScreen();
        screen->setParentLink(link);
        screen->setScreen(ScreenFactory::GetScreen(ScreenFactory::TemplateRows, link));
        navigation->pushViewController(screen, false);
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return screen;
    }

    static void settle(int ms = 80)
    {
        testsupport::processEvents(ms);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    static std::shared_ptr<GenericTemplateDataController> rowsOf(ApplicationScreen* screen)
    {
        return std::dynamic_pointer_cast<GenericTemplateDataController>(screen->dataController());
    }

    // The row form the screen shows, once it shows: pushed on a phone, in the popover on
    // a tablet.
    GenericTemplateDetailViewController* awaitForm(ApplicationScreen* screen)
    {
        GenericTemplateDetailViewController* form = nullptr;
        testsupport::waitUntil(
            [&] {
                settle(20);
                if (auto* pushed = dynamic_cast<GenericTemplateDetailViewController*>(
                        navigation->topViewController()))
                    form = pushed;
                else if (PopoverController* popover = screen->popupController())
                    form = dynamic_cast<GenericTemplateDetailViewController*>(
                        popover->contentViewController());
                return form != nullptr;
            },
            30000);
        return form;
    }

    bool formShown(ApplicationScreen* screen, GenericTemplateDetailViewController* form) const
    {
        return navigation->topViewController() == form
            || (screen->popupController()
                && screen->popupController()->contentViewController() == form);
    }

    void type(GenericTemplateDetailViewController* form, const QString& text)
    {
        auto* entry = qobject_cast<FormEntryElement*>(form->root()->elementWithKey(nameId()));
        if (!entry) {
            for (const auto& section : form->root()->sections())
                for (const auto& item : section->elements())
                    if (item->bind().endsWith(":" + nameId()))
                        entry = qobject_cast<FormEntryElement*>(item.get());
        }
        ASSERT_NE(entry, nullptr);
        entry->setTextValue(text);
    }

    // The names the table's rows hold, as stored, sorted.
    QStringList storedNames(const Rows::Password& password = std::nullopt) const
    {
        QStringList names;
        for (Rows* row : Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt)) {
            const auto values = row->decodeData(columns, password);
            names << (values ? values->value(nameId()).toString() : QStringLiteral("?"));
        }
        names.sort();
        return names;
    }

    // What the application's delegate does after an import: each screen of the stack that
    // follows the store reloads.
    void importArrived()
    {
        for (platform::ui::ViewController* screen : navigation->viewControllers())
            if (auto* follower = dynamic_cast<CloudStoreProtocol*>(screen))
                follower->cloudStoreLoaded();
        settle();
    }

    QString typedName(GenericTemplateDetailViewController* form) const
    {
        for (const auto& section : form->root()->sections())
            for (const auto& item : section->elements())
                if (auto* entry = qobject_cast<FormEntryElement*>(item.get());
                    entry && item->bind().endsWith(":" + nameId()))
                    return entry->textValue();
        return {};
    }

    Database* database = nullptr;
    TemplateColumn* name = nullptr;
    Rows::Columns columns;
    UserTemplate* table = nullptr;
};

} // namespace

// Add is tapped with a row chosen, and an import's reload comes before the form, made off
// the main thread, shows (the grid then chooses its row again): the form still adds a row,
// and the chosen row stays as it was.
TEST_F(RowFormsAcrossReloads, AnAddTappedJustBeforeAReloadAddsARowAndLeavesTheChosenOne)
{
    for (const char* device : { "tablet", "phone" }) {
        SCOPED_TRACE(device);
        const QStringList before = storedNames();
        ApplicationScreen* screen = showRows(device);
        auto controller = rowsOf(screen);
        ASSERT_EQ(controller->count(), qint64(before.size()));
        screen->setSelectedRow(0);
        controller->tapOnItem(0);
        const QString chosen = controller->rowValues(0).value(nameId()).toString();
        ASSERT_FALSE(chosen.isEmpty());

        controller->add(nullptr);
        // Another machine's row arrives, and the screens reload, before the form shows.
        addRow(table->id().toString(), { { nameId(), QString("Cy ") + device } }, columns);
        controller->cloudStoreLoaded();
        controller->tapOnItem(screen->selectedRow());

        GenericTemplateDetailViewController* form = awaitForm(screen);
        ASSERT_NE(form, nullptr);
        type(form, QString("Dee ") + device);
        form->onSave();
        settle();
        EXPECT_FALSE(formShown(screen, form)) << alertTexts().join('\n').toStdString();

        QStringList expected = before;
        expected << QString("Cy ") + device << QString("Dee ") + device;
        expected.sort();
        EXPECT_EQ(storedNames().join(", ").toStdString(), expected.join(", ").toStdString());
        dismissAlerts();
    }
}

// The table is protected elsewhere, and the row edited there, while its rows and the row's
// Edit form are open here. The screen says so and asks for the password; the form keeps
// what was typed (the row, changed, does not read here to be shown instead). Its Save, with
// the prompt dismissed, asks again (no word of a wrong password), and once the password is
// given the form saves what was typed, encrypted, and every row shows.
TEST_F(RowFormsAcrossReloads,
    AnEditFormOpenWhenTheTableIsProtectedElsewhereSavesOnceThePasswordIsGiven)
{
    const QString password = QStringLiteral("key");
    for (const char* device : { "tablet", "phone" }) {
        SCOPED_TRACE(device);
        if (table->isprotected().toBool()) {
            ASSERT_TRUE(table->changeProtection(password, std::nullopt, columns));
        }
        ApplicationScreen* screen = showRows(device);
        auto controller = rowsOf(screen);
        const qint64 rows = controller->count();
        ASSERT_GE(rows, 2);
        screen->setSelectedRow(0);
        controller->tapOnItem(0);
        const QString chosen = controller->rowValues(0).value(nameId()).toString();
        Rows* chosenRow = controller->rowAt(0);
        ASSERT_NE(chosenRow, nullptr);
        controller->edit(nullptr);
        GenericTemplateDetailViewController* form = awaitForm(screen);
        ASSERT_NE(form, nullptr);
        const QString typed = chosen + " typed on " + device;
        type(form, typed);

        // Protected on the other machine (through the model, as its import leaves it), and
        // the row edited there afterwards: the form's row has changed, unreadably here.
        ASSERT_TRUE(table->changeProtection(std::nullopt, password, columns));
        chosenRow->updateData({ { nameId(), chosen + " elsewhere" } }, columns, password);
        chosenRow->setMtimestamp(chosenRow->mtimestamp().toDouble() + 100);
        ASSERT_TRUE(KivoLib::commit());
        importArrived();
        EXPECT_TRUE(controller->isLocked());
        EXPECT_EQ(
            alertTexts(), QStringList({ "\n", GenericTemplateDataController::ProtectedMeanwhile }));
        ASSERT_TRUE(formShown(screen, form));
        EXPECT_EQ(typedName(form).toStdString(), typed.toStdString());
        alertsShown().last()->dismissWithClickedButtonIndex(0, false);
        answerPrompt(QString(), 0);
        ASSERT_TRUE(alertsShown().isEmpty());

        form->onSave();
        settle();
        ASSERT_TRUE(formShown(screen, form));
        ASSERT_EQ(alertTexts(), QStringList({ "\n" }));
        EXPECT_EQ(alertsShown().last()->title(), "Password");
        EXPECT_EQ(alertsShown().last()->tag(), MainDataController::OpenPasswordTag);
        answerPrompt(password);
        settle();
        EXPECT_TRUE(alertsShown().isEmpty()) << alertTexts().join('\n').toStdString();
        EXPECT_FALSE(formShown(screen, form));
        EXPECT_FALSE(controller->isLocked());
        EXPECT_EQ(controller->count(), rows);
        const QStringList names = storedNames(password);
        EXPECT_TRUE(names.contains(typed)) << names.join(", ").toStdString();
        EXPECT_FALSE(names.contains(chosen));
        EXPECT_FALSE(names.contains(chosen + " elsewhere"));
        EXPECT_FALSE(names.contains("?"));
        EXPECT_EQ(names.size(), rows);
    }
}

} // namespace screenstest
