#include "RecordingReminders.h"
#include "ScreensFixture.h"

#include "screens/MainDataController.h"

using screenstest::FakeAppScreen;

namespace {

// Home over a database holding tables of one definition.
struct HomeTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        database = addDatabase("Work");
        definition = addDefinition("Contacts");
        name = addColumn(definition->id().toString(), "Name", "Text");
    }

    FakeAppScreen* openHome()
    {
        // As a tap on the databases screen leaves it.
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        screen = open<MainDataController>("Home", link);
        controller = controllerOf<MainDataController>(screen);
        return screen;
    }

    QStringList tableNames() const
    {
        QStringList names;
        for (const QVariant& row : controller->rows())
            names << RowObject::object(row)->property("name").toString();
        return names;
    }

    // The tables as stored, by their order.
    QStringList storedOrder()
    {
        KivoLib::currentContext()->reset();
        QStringList names;
        for (UserTemplate* table : UserTemplate::getUserTemplates(database->id().toString()))
            names << QStringLiteral("%1=%2")
                         .arg(table->name().toString())
                         .arg(table->order().toInt());
        return names;
    }

    QString templateId() const { return definition->id().toString(); }

    Database* database = nullptr;
    Template* definition = nullptr;
    TemplateColumn* name = nullptr;
    FakeAppScreen* screen = nullptr;
    std::shared_ptr<MainDataController> controller;
};

} // namespace

TEST_F(HomeTest, WithoutADatabaseHomeWaitsForTheStore)
{
    preferences()->setDefaultDatabase("00000000-0000-0000-0000-000000000000");
    screen = open<MainDataController>("Home");
    EXPECT_EQ(screen->title(), "Please Wait");
    EXPECT_EQ(screen->hudCount, 1);
    EXPECT_EQ(screen->dataController->count(), 0);
}

TEST_F(HomeTest, HomeShowsTheTappedDatabasesTablesInTheirOrder)
{
    addTable(database->id().toString(), templateId(), "First");
    addTable(database->id().toString(), templateId(), "Second");
    addTable(addDatabase("Other")->id().toString(), templateId(), "Elsewhere");
    openHome();
    EXPECT_EQ(screen->title(), "Work");
    EXPECT_EQ(tableNames(), QStringList({ "First", "Second" }));
    EXPECT_EQ(ApplicationState::database(), database);
    EXPECT_EQ(preferences()->defaultDatabase().toString(), database->id().toString());
    EXPECT_EQ(controller->getGridData(0)->Image, "contacts");
    EXPECT_EQ(controller->columnWidths(), QList<double>({ 100, 100, 0 }));

    // Without a link Home shows the open database.
    FakeAppScreen* again = open<MainDataController>("Home");
    EXPECT_EQ(again->title(), "Work");
    EXPECT_EQ(again->dataController->count(), 2);
}

TEST_F(HomeTest, ATableNeedsANameOfItsOwnADescriptionAndADefinitionWithColumns)
{
    addTable(database->id().toString(), templateId(), "People");
    openHome();
    controller->setLastClickedButton(1);
    UserTemplate* made = UserTemplate::add(database->id().toString());
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_EQ(lastAlertText(), "Invalid Name.\r\nInvalid Description.\r\nInvalid Template.");
    dismissAlerts();

    made->setName("People");
    made->setDescr("Again");
    made->setTemplate_id(addDefinition("Empty")->id());
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_EQ(lastAlertText(), "Duplicate Entry.\r\nInvalid Template.");
    dismissAlerts();

    made->setName("Friends");
    made->setTemplate_id(templateId());
    EXPECT_TRUE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_TRUE(alertsShown().isEmpty());
}

TEST_F(HomeTest, ARefusedEditIsPutBackSoAReorderCannotStoreIt)
{
    UserTemplate* people = addTable(database->id().toString(), templateId(), "People");
    addTable(database->id().toString(), templateId(), "Clients");
    openHome();
    controller->setLastClickedButton(2);
    people->setDescr("Renamed under its own name");
    EXPECT_TRUE(controller->saveRow(RowObject::fromObject(people)));

    people->setName("Clients");
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(people)));
    EXPECT_EQ(people->name().toString(), "People");
    ASSERT_TRUE(controller->moveRow(0, 1));
    controller->itemsReorderd();
    EXPECT_EQ(storedOrder(), QStringList({ "Clients=0", "People=1" }));
}

TEST_F(HomeTest, DraggingWritesTheDisplayedOrder)
{
    for (const char* table : { "A", "B", "C", "D" })
        addTable(database->id().toString(), templateId(), table);
    openHome();
    ASSERT_TRUE(controller->moveRow(3, 0));
    ASSERT_TRUE(controller->moveRow(2, 1));
    EXPECT_EQ(tableNames(), QStringList({ "D", "B", "A", "C" }));
    controller->itemsReorderd();
    EXPECT_EQ(storedOrder(), QStringList({ "D=0", "B=1", "A=2", "C=3" }));

    // The ordering form: ids in their new order; unknown ids keep their place.
    screen->refreshView();
    QStringList ids;
    for (const QVariant& row : controller->rows())
        ids << RowObject::object(row)->property("id").toString();
    const OrderedDictionary ordering = controller->getOrderingData();
    EXPECT_EQ(ordering.keyEnumerator(), ids);
    EXPECT_TRUE(controller->onOrderingComplete({ ids[3], "gone", ids[0], ids[1], ids[2] }));
    EXPECT_EQ(storedOrder(), QStringList({ "C=0", "D=2", "B=3", "A=4" }));
}

TEST_F(HomeTest, AddingNeedsADefinitionAndATableWithRowsStays)
{
    ASSERT_TRUE(Template::deleteTemplate(definition));
    openHome();
    controller->add(nullptr);
    EXPECT_TRUE(screen->shownForms.isEmpty());
    EXPECT_TRUE(alertsShown().isEmpty());

    definition = addDefinition("Contacts");
    name = addColumn(templateId(), "Name", "Text");
    controller->add(nullptr);
    ASSERT_EQ(screen->shownForms, QStringList({ "UserTemplateDetailViewController" }));
    auto* made = qobject_cast<UserTemplate*>(RowObject::object(screen->shownRows.last()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->database_id().toString(), database->id().toString());

    UserTemplate* used = addTable(database->id().toString(), templateId(), "Used");
    addRow(used->id().toString(), { { name->id().toString(), "Ann" } }, { name });
    addTable(database->id().toString(), templateId(), "Unused");
    screen->refreshView();
    screen->setSelectedRow(0);
    EXPECT_FALSE(controller->deleteRow());
    EXPECT_EQ(lastAlertText(), "List in use.");
    screen->setSelectedRow(1);
    EXPECT_TRUE(controller->deleteRow());
    screen->refreshView();
    EXPECT_EQ(tableNames(), QStringList({ "Used" }));
}

TEST_F(HomeTest, TheSettingsMenuHasNineEntries)
{
    openHome();
    const auto options = MainDataController::options();
    EXPECT_EQ(options.texts,
        QStringList({ "Notifications", "Preferences", "Databases", "Templates",
            "Add Default Templates", "Colors", "File Browser", "Backup", "Restore" }));
    EXPECT_EQ(options.images,
        QStringList({ "reminder", "settingsmetro", "databases", "definetemplate", "defaulttemplate",
            "color", "filebrowser", "backup", "restore" }));

    controller->settings(nullptr);
    ASSERT_EQ(screen->optionLists.size(), 1);
    const auto list = screen->optionLists.first();
    EXPECT_EQ(list.popupSize, QSizeF(645, 405));
    EXPECT_EQ(list.screen->title, "Options");

    list.handler(0);
    list.handler(2);
    list.handler(3);
    list.handler(6);
    list.handler(5);
    ASSERT_EQ(screen->opened.size(), 5);
    QStringList ids;
    for (const auto& opened : screen->opened) {
        ids << opened.screenId;
        EXPECT_EQ(opened.segue, "Menu");
    }
    EXPECT_EQ(ids,
        QStringList({ "Reminders", "Databases", "Templates", "SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID",
            "5139F808-3946-49F7-8E65-F38461B82762" }));
    // The colours are the open database's.
    EXPECT_EQ(RowObject::object(screen->opened.last().data), database);
    EXPECT_EQ(screen->popupDismissals, 5);

    list.handler(7);
    list.handler(8);
    ASSERT_EQ(screen->browsers.size(), 2);
    EXPECT_TRUE(screen->browsers[0].save);
    EXPECT_EQ(screen->browsers[1].defaultFileName, "backup.zip");
    list.handler(13);
    EXPECT_EQ(screen->opened.size(), 5);
}

TEST_F(HomeTest, DefaultTablesAreAddedAfterTheConfirmation)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    QList<Template*> system;
    for (Template* candidate : Template::getTemplates())
        if (candidate->issystem().toBool())
            system << candidate;
    ASSERT_GE(system.size(), 2);
    // A table the user made from a default definition and named himself.
    Template* bundled = system.last();
    const QString databaseId = database->id().toString();
    addTable(databaseId, bundled->id().toString(), "Tools", "Hand tools in the shed");
    openHome();
    const qint64 before = controller->count();
    controller->settings(nullptr);
    screen->optionLists.first().handler(4);
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->tag(), 402);
    EXPECT_EQ(alerts[0]->message(), "Do you want to Add Default Templates?");
    alerts[0]->clickButtonAtIndex(0);
    testsupport::processEvents(10);
    EXPECT_EQ(controller->count(), before);

    controller->settings(nullptr);
    screen->optionLists.last().handler(4);
    alertsShown().last()->clickButtonAtIndex(1);
    testsupport::processEvents(10);
    EXPECT_EQ(screen->hudCount, 0);
    EXPECT_GE(screen->hudShows, 1);

    // One table for each default definition: the missing ones are added under their
    // definition's name, the user's keeps the name and description he gave it.
    const qint64 all = before + system.size() - 1;
    EXPECT_EQ(controller->count(), all);
    EXPECT_EQ(tableNames().count("Tools"), 1);
    EXPECT_FALSE(tableNames().contains(bundled->name().toString()));

    // Asked again, nothing changes.
    controller->settings(nullptr);
    screen->optionLists.last().handler(4);
    alertsShown().last()->clickButtonAtIndex(1);
    testsupport::processEvents(10);
    EXPECT_EQ(controller->count(), all);
    EXPECT_EQ(tableNames().count("Tools"), 1);

    KivoLib::currentContext()->reset();
    QStringList stored;
    for (UserTemplate* table : UserTemplate::getUserTemplates(databaseId))
        stored << table->name().toString() + u'|' + table->descr().toString();
    EXPECT_EQ(stored.size(), all);
    EXPECT_TRUE(stored.contains("Tools|Hand tools in the shed")) << stored.join(", ").toStdString();
}

TEST_F(HomeTest, TheReminderResetRunsOncePerProcess)
{
    auto reminders = std::make_shared<screenstest::RecordingReminders>();
    ApplicationState::setReminders(reminders);
    MainDataController::setReminderResetDelay(20);
    openHome();
    testsupport::processEvents(60);
    EXPECT_TRUE(reminders->calls.isEmpty());

    preferences()->setResetReminders(true);
    screen->refreshView();
    screen->refreshView();
    open<MainDataController>("Home");
    EXPECT_TRUE(reminders->calls.isEmpty());
    // The reset runs a moment later, on a timer: waited for, then given the time a second
    // one would take.
    EXPECT_TRUE(testsupport::waitUntil([&] { return !reminders->calls.isEmpty(); }));
    testsupport::processEvents(60);
    EXPECT_EQ(reminders->calls, QStringList({ "rebuildAll" }));
    screen->refreshView();
    testsupport::processEvents(60);
    EXPECT_EQ(reminders->calls.size(), 1);
}

TEST_F(HomeTest, AnOpenTableIsTheLinksDataOfItsRows)
{
    addTable(database->id().toString(), templateId(), "People");
    openHome();
    screen->setSelectedRow(0);
    controller->tapOnDisclosure(0);
    EXPECT_EQ(screen->segues, QStringList({ "Menu" }));
    EXPECT_EQ(screen->childscreensDuringSegue, QStringList({ "Template Rows" }));
    EXPECT_TRUE(alertsShown().isEmpty());
}
