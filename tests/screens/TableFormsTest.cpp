#include "ScreensFixture.h"

#include "common/GestureSynthesizer.h"

#include "forms/DatabaseDetailViewController.h"
#include "forms/DetailForms.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "forms/TemplateDetailViewController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/DatabaseDataController.h"
#include "screens/MainDataController.h"
#include "screens/UserTemplateDetailViewController.h"
#include "style/Theme.h"
#include "widgets/PopoverController.h"
#include "widgets/UIImage_Theme.h"

#include <QCoreApplication>

namespace screenstest {
namespace {

struct TableForms : ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        DetailForms::registerAll();
        platform::ui::Storyboard::main().clear();
        ApplicationScreen::registerStoryboard(platform::ui::Storyboard::main());
        database = addDatabase("Garden");
        plain = addDefinition("Plants");
        addColumn(plain->id().toString(), "Name", TypeConstants::Text);
        locked = addDefinition("Seeds", true);
        addColumn(locked->id().toString(), "Name", TypeConstants::Text);
    }

    void TearDown() override
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ScreensTest::TearDown();
    }

    ApplicationScreen* show(const QString& screenId, const QString& device, QObject* row)
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        // The window takes the device's screen size when it is made: one made for another
        // device goes, with the stack it showed.
        auto& application = platform::ui::Application::shared();
        application.reset();
        navigation = std::make_unique<platform::ui::NavigationController>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto link = std::make_shared<Parent>();
        if (row)
            link->data = RowObject::fromObject(row);
        auto* screen = new ApplicationScreen();
        screen->setParentLink(link);
        screen->setScreen(ScreenFactory::GetScreen(screenId, link));
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

    // The form the screen shows now: pushed on a phone, in the popover on a tablet.
    template<class Form> Form* shownForm(ApplicationScreen* screen)
    {
        if (auto* pushed = dynamic_cast<Form*>(navigation->topViewController()))
            return pushed;
        PopoverController* popover = screen->popupController();
        return popover ? dynamic_cast<Form*>(popover->contentViewController()) : nullptr;
    }

    // The form the screen opens, once it shows: it is made off the main thread, and a
    // loaded machine takes longer than any fixed wait.
    template<class Form> Form* openedForm(ApplicationScreen* screen)
    {
        Form* form = nullptr;
        testsupport::waitUntil([&] { return (form = shownForm<Form>(screen)) != nullptr; }, 10000);
        settle();
        return form ? shownForm<Form>(screen) : nullptr;
    }

    static QStringList rowKinds(FormRootElement* root, int section = 0)
    {
        QStringList kinds;
        for (const auto& element : root->getSectionForIndex(section)->elements())
            kinds << QString::fromLatin1(element->metaObject()->className());
        return kinds;
    }

    static bool saveShot(const QString& name)
    {
        settle();
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    Database* database = nullptr;
    Template* plain = nullptr;
    Template* locked = nullptr;
};

TEST_F(TableForms, AddingOffersTheDefinitionsAndTheSwitchFollowsThePickedOne)
{
    for (const char* device : { "phone", "tablet" }) {
        ApplicationScreen* home = show(ScreenFactory::Home, device, database);
        home->dataController()->add(nullptr);
        auto* form = openedForm<UserTemplateDetailViewController>(home);
        ASSERT_NE(form, nullptr) << device;
        FormRootElement* root = form->root();
        EXPECT_EQ(root->title(), "List - Add");
        const bool phone = QString(device) == "phone";
        // Two rows per text field on a phone (caption, untitled entry), one on a tablet.
        EXPECT_EQ(rowKinds(root).size(), phone ? 7 : 4) << rowKinds(root).join(",").toStdString();
        auto* picker = qobject_cast<FormRadioElement*>(root->elementWithKey("template"));
        auto* flag = qobject_cast<FormBooleanElement*>(root->elementWithKey("protected"));
        ASSERT_NE(picker, nullptr);
        ASSERT_NE(flag, nullptr);
        EXPECT_EQ(picker->selected(), -1);
        EXPECT_FALSE(flag->boolValue());
        const QVariantList items = picker->items();
        const auto pickerRow = [&] {
            return qobject_cast<FormEntryTableViewCell*>(
                form->formTableView()->cellForElement(picker));
        };
        ASSERT_NE(pickerRow(), nullptr);
        // Definitions' pictures are tile icons, shown on the rows' icon square.
        const auto rowIcon = [](const QString& name) {
            return FormTableViewCell::rowIcon(UIImage_Theme::themedimageNamed(name));
        };
        EXPECT_EQ(pickerRow()->imageView()->image(), rowIcon("unknown"));
        picker->setSelected(items.indexOf(QVariant("Seeds")));
        picker->fieldDidEndEditing();
        EXPECT_TRUE(flag->boolValue());
        // The row shows the choice however it was made: the name and its definition's image.
        ASSERT_NE(pickerRow(), nullptr);
        EXPECT_EQ(pickerRow()->textField()->text(), "Seeds") << device;
        EXPECT_EQ(pickerRow()->imageView()->image(), rowIcon("contacts")) << device;
        ASSERT_TRUE(saveShot(QString("table-form-add-%1.png").arg(device)));
        picker->setSelected(items.indexOf(QVariant("Plants")));
        picker->fieldDidEndEditing();
        EXPECT_FALSE(flag->boolValue());

        // Save stores the table through Home.
        qobject_cast<FormEntryElement*>(
            root->getSectionForIndex(0)->elements()[phone ? 1 : 0].get())
            ->setTextValue("Beds");
        qobject_cast<FormEntryElement*>(
            root->getSectionForIndex(0)->elements()[phone ? 3 : 1].get())
            ->setTextValue("Raised beds");
        form->onSave();
        settle();
        const auto tables = UserTemplate::getUserTemplates(database->id().toString());
        ASSERT_EQ(tables.size(), 1) << device;
        EXPECT_EQ(tables.first()->name().toString(), "Beds");
        EXPECT_EQ(tables.first()->template_id().toString(), plain->id().toString());
        EXPECT_FALSE(tables.first()->isprotected().toBool());
        ASSERT_TRUE(UserTemplate::deleteUserTemplate(tables.first()));
        platform::ui::Application::shared().reset();
        navigation = std::make_unique<platform::ui::NavigationController>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(TableForms, ATableWithRowsOrAPasswordOffersOnlyItsProtectionButton)
{
    UserTemplate* table = addTable(database->id().toString(), plain->id().toString(), "Beds");
    addRow(table->id().toString(), {}, TemplateColumn::getColumns(plain->id().toString()));
    ApplicationScreen* home = show(ScreenFactory::Home, "tablet", database);
    home->setSelectedRow(0);
    home->dataController()->edit(nullptr);
    auto* form = openedForm<UserTemplateDetailViewController>(home);
    ASSERT_NE(form, nullptr);
    FormRootElement* root = form->root();
    EXPECT_EQ(root->title(), "List - Edit");
    EXPECT_EQ(root->elementWithKey("template"), nullptr);
    EXPECT_EQ(root->elementWithKey("protected"), nullptr);
    ASSERT_EQ(root->numberOfSections(), 3);
    auto* button
        = qobject_cast<FormButtonElement*>(root->getSectionForIndex(1)->elements()[0].get());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->title(), "Protect");
    EXPECT_EQ(button->controllerAction(), "protect:");
    ASSERT_TRUE(saveShot("table-form-edit-tablet.png"));
}

// A table without rows whose password check is set shows the button too: Unprotect while
// it is protected.
TEST_F(TableForms, ATableWithAPasswordCheckAndNoRowsOffersUnprotect)
{
    UserTemplate* table = addTable(database->id().toString(), locked->id().toString(), "Vault");
    table->setIsprotected(true);
    ASSERT_TRUE(table->setProtectionCheck("s3cret"));
    ASSERT_TRUE(table->saveUserTemplate());
    ApplicationScreen* home = show(ScreenFactory::Home, "tablet", database);
    home->setSelectedRow(0);
    home->dataController()->edit(nullptr);
    auto* form = openedForm<UserTemplateDetailViewController>(home);
    ASSERT_NE(form, nullptr);
    FormRootElement* root = form->root();
    EXPECT_EQ(root->elementWithKey("template"), nullptr);
    EXPECT_EQ(root->elementWithKey("protected"), nullptr);
    ASSERT_EQ(root->numberOfSections(), 3);
    auto* button
        = qobject_cast<FormButtonElement*>(root->getSectionForIndex(1)->elements()[0].get());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->title(), "Unprotect");
    EXPECT_EQ(button->controllerAction(), "unprotect:");
}

// Protect and Unprotect on the form close it and ask Home for the passwords, which then
// re-store the table's rows.
TEST_F(TableForms, TheProtectionButtonClosesTheFormAndHomeAsksForThePassword)
{
    UserTemplate* table = addTable(database->id().toString(), plain->id().toString(), "Beds");
    const auto columns = TemplateColumn::getColumns(plain->id().toString());
    addRow(table->id().toString(), { { columns.first()->id().toString(), "Basil" } }, columns);
    ApplicationScreen* home = show(ScreenFactory::Home, "tablet", database);
    const auto press = [&](const QString& title) {
        home->setSelectedRow(0);
        home->dataController()->edit(nullptr);
        auto* form = openedForm<UserTemplateDetailViewController>(home);
        ASSERT_NE(form, nullptr);
        auto* button = qobject_cast<FormButtonElement*>(
            form->root()->getSectionForIndex(1)->elements()[0].get());
        ASSERT_NE(button, nullptr);
        ASSERT_EQ(button->title(), title);
        platform::ui::TableViewCell* cell = form->formTableView()->cellForElement(button);
        ASSERT_NE(cell, nullptr);
        testsupport::GestureSynthesizer::tap(cell);
        EXPECT_TRUE(testsupport::waitUntil([&] {
            return shownForm<UserTemplateDetailViewController>(home) == nullptr;
        })) << title.toStdString();
        settle(150);
    };
    const auto waitForHome = [&] {
        ASSERT_TRUE(testsupport::waitUntil([&] { return home->hudCount() == 0; }));
        settle();
        EXPECT_EQ(alertTexts(), QStringList({ "Operation Completed Successfully." }));
        dismissAlerts();
    };

    press("Protect");
    ASSERT_EQ(alertsShown().size(), 1);
    EXPECT_EQ(alertsShown().last()->tag(), 301);
    answerPrompt("s3cret");
    EXPECT_EQ(alertsShown().last()->tag(), 302);
    answerPrompt("s3cret");
    waitForHome();
    EXPECT_TRUE(table->isprotected().toBool());
    EXPECT_TRUE(table->isPasswordValid("s3cret"));
    Rows* row = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).first();
    EXPECT_FALSE(row->decodeData(columns, std::nullopt).has_value());

    press("Unprotect");
    ASSERT_EQ(alertsShown().size(), 1);
    EXPECT_EQ(alertsShown().last()->tag(), 300);
    answerPrompt("s3cret");
    waitForHome();
    EXPECT_FALSE(table->isprotected().toBool());
    const auto values = row->decodeData(columns, std::nullopt);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->value(columns.first()->id().toString()), QVariant("Basil"));
}

TEST_F(TableForms, TheDatabaseFormSavesThroughItsScreenAndStaysOpenOnARefusal)
{
    ApplicationScreen* databases = show(ScreenFactory::Bridge, "phone", nullptr);
    databases->dataController()->add(nullptr);
    auto* form = openedForm<DatabaseDetailViewController>(databases);
    ASSERT_NE(form, nullptr);
    FormRootElement* root = form->root();
    EXPECT_EQ(root->title(), "Database - Add");
    ASSERT_TRUE(saveShot("database-form-phone.png"));
    form->onSave();
    settle();
    EXPECT_EQ(navigation->topViewController(), form);
    const QStringList messages = alertTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains("Invalid Name.")) << messages.first().toStdString();
    EXPECT_TRUE(messages.first().contains("Invalid Description."));
    dismissAlerts();
    auto entries = root->getSectionForIndex(0)->elements();
    qobject_cast<FormEntryElement*>(entries[1].get())->setTextValue("Orchard");
    qobject_cast<FormEntryElement*>(entries[3].get())->setTextValue("Fruit trees");
    form->onSave();
    settle();
    EXPECT_NE(navigation->topViewController(), form);
    bool found = false;
    for (Database* stored : Database::getDatabases())
        found |= stored->name().toString() == "Orchard"
            && stored->descr().toString() == "Fruit trees";
    EXPECT_TRUE(found);
}

// A new definition has no picture yet: its Image row still keeps the icons' column, so
// its caption starts where the other rows' do.
TEST_F(TableForms, ADefinitionWithoutAPictureKeepsItsImageRowInLine)
{
    for (const char* device : { "tablet", "phone" }) {
        SCOPED_TRACE(device);
        ApplicationScreen* templates = show(ScreenFactory::Templates, device, database);
        templates->dataController()->add(nullptr);
        auto* form = openedForm<TemplateDetailViewController>(templates);
        ASSERT_NE(form, nullptr);
        FormRootElement* root = form->root();
        FormElement* picture = root->elementWithKey(TemplateDetailViewController::ImageKey);
        ASSERT_NE(picture, nullptr);
        const auto cellOf = [&](FormElement* element) {
            return qobject_cast<FormTableViewCell*>(form->formTableView()->cellForElement(element));
        };
        FormTableViewCell* name = cellOf(root->getSectionForIndex(0)->elements()[0].get());
        FormTableViewCell* image = cellOf(picture);
        ASSERT_NE(name, nullptr);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->textLabel()->text(), "Image");
        EXPECT_EQ(image->textLabel()->frame().left(), name->textLabel()->frame().left());
        ASSERT_TRUE(saveShot(QString("template-form-add-%1.png").arg(device)));
    }
}

} // namespace
} // namespace screenstest
