#include "ScreensFixture.h"

#include "model/BackupRestore.h"
#include "screens/DatabaseDataController.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using screenstest::FakeAppScreen;

namespace {

struct DatabasesTest : screenstest::ScreensTest {
    FakeAppScreen* openDatabases()
    {
        screen = open<DatabaseDataController>("SCREEN_BRIDGE");
        controller = controllerOf<DatabaseDataController>(screen);
        return screen;
    }

    QStringList names() const
    {
        QStringList found;
        for (Database* database : Database::getDatabases())
            found << database->name().toString();
        return found;
    }

    // The file browser's answer, as the browser gives it.
    void chooseFile(const QString& path)
    {
        auto entry = std::make_shared<FileInfo>();
        entry->name = QFileInfo(path).fileName();
        entry->fullName = path;
        controller->fileBrowseCompleted(entry, nullptr);
        testsupport::processEvents(50);
    }

    FakeAppScreen* screen = nullptr;
    std::shared_ptr<DatabaseDataController> controller;
};

} // namespace

TEST_F(DatabasesTest, TheOptionsListHasFourFiveOrEightEntries)
{
    using Options = DatabaseDataController::Options;
    const Options local = DatabaseDataController::options(false, false);
    EXPECT_EQ(local.texts, QStringList({ "Preferences", "File Browser", "Backup", "Restore" }));
    EXPECT_EQ(local.images, QStringList({ "settingsmetro", "filebrowser", "backup", "restore" }));

    const Options cloudOff = DatabaseDataController::options(true, false);
    ASSERT_EQ(cloudOff.texts.size(), 5);
    EXPECT_EQ(cloudOff.texts.last(), "Enable iCloud");
    EXPECT_EQ(cloudOff.images.last(), "enableicloud");

    const Options cloudOn = DatabaseDataController::options(true, true);
    EXPECT_EQ(cloudOn.texts.mid(4),
        QStringList({ "Disable iCloud", "Rebuild iCloud", "Clear iCloud", "File Browser iCloud" }));
    EXPECT_EQ(cloudOn.images.mid(4),
        QStringList({ "disableicloud", "rebuildicloud", "clearicloud", "filebrowser" }));

    EXPECT_EQ(DatabaseDataController::optionsPopupSize(8), QSizeF(645, 365));
    EXPECT_EQ(DatabaseDataController::optionsPopupSize(5), QSizeF(645, 300));
    EXPECT_EQ(DatabaseDataController::optionsPopupSize(4), QSizeF(645, 235));
}

TEST_F(DatabasesTest, TheOptionsShowInAPopupOnATabletAndLeadOn)
{
    addDatabase("Work");
    openDatabases();
    controller->settings(nullptr);
    ASSERT_EQ(screen->optionLists.size(), 1);
    const auto list = screen->optionLists.first();
    EXPECT_EQ(list.screen->id, "List Image Selector");
    EXPECT_EQ(list.screen->title, "Options");
    EXPECT_EQ(list.rows.size(), 4);
    EXPECT_EQ(list.popupSize, QSizeF(645, 235));

    list.handler(0);
    EXPECT_EQ(screen->popupDismissals, 1);
    EXPECT_EQ(screen->shownForms.last(), "PreferencesDetailViewController");
    EXPECT_EQ(RowObject::object(screen->shownRows.last()), preferences());

    list.handler(1);
    ASSERT_EQ(screen->opened.size(), 1);
    EXPECT_EQ(screen->opened.first().screenId, "SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID");
    EXPECT_EQ(screen->opened.first().segue, "Menu");

    list.handler(2);
    ASSERT_EQ(screen->browsers.size(), 1);
    EXPECT_TRUE(screen->browsers[0].save);
    EXPECT_TRUE(QRegularExpression("^Backup_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.zip$")
                    .match(screen->browsers[0].defaultFileName)
                    .hasMatch())
        << screen->browsers[0].defaultFileName.toStdString();
    EXPECT_EQ(screen->browsers[0].title, "Backup");
    EXPECT_EQ(screen->browsers[0].delegate, controller.get());
    EXPECT_EQ(controller->backupRestoreMode(), 500);

    list.handler(3);
    EXPECT_FALSE(screen->browsers[1].save);
    EXPECT_EQ(screen->browsers[1].defaultFileName, "backup.zip");
    EXPECT_EQ(screen->browsers[1].type, "zip");
    EXPECT_EQ(controller->backupRestoreMode(), 501);

    // Without iCloud its entries do nothing.
    list.handler(4);
    EXPECT_TRUE(alertsShown().isEmpty());

    ASSERT_TRUE(platform::ui::Device::current().selectModel("phone"));
    controller->settings(nullptr);
    EXPECT_TRUE(screen->optionLists.last().popupSize.isEmpty());
}

TEST_F(DatabasesTest, ADatabaseNeedsANameOfItsOwnAndADescription)
{
    addDatabase("Work");
    openDatabases();
    Database* made = Database::add();
    controller->setLastClickedButton(1);
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_EQ(lastAlertText(), "Invalid Name.\r\nInvalid Description.");
    dismissAlerts();

    made->setName("Work");
    made->setDescr("Second");
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_EQ(lastAlertText(), "Duplicate Entry.");
    dismissAlerts();
    EXPECT_EQ(names(), QStringList({ "Work" }));

    made->setName("Home");
    EXPECT_TRUE(controller->saveRow(RowObject::fromObject(made)));
    EXPECT_EQ(names(), QStringList({ "Work", "Home" }));
}

TEST_F(DatabasesTest, EditingKeepsItsOwnNameAndARefusedEditIsPutBack)
{
    Database* work = addDatabase("Work");
    addDatabase("Home");
    openDatabases();
    controller->setLastClickedButton(2);
    work->setDescr("Changed");
    EXPECT_TRUE(controller->saveRow(RowObject::fromObject(work)));
    EXPECT_TRUE(alertsShown().isEmpty());

    // Renamed to the other database's name: refused, and the stored name is back, so a
    // later commit cannot store it.
    work->setName("Home");
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(work)));
    EXPECT_EQ(lastAlertText(), "Duplicate Entry.");
    EXPECT_EQ(work->name().toString(), "Work");
    ASSERT_TRUE(KivoLib::commit());
    KivoLib::currentContext()->reset();
    EXPECT_EQ(names(), QStringList({ "Work", "Home" }));
}

TEST_F(DatabasesTest, TheSystemDatabaseIsNeitherEditedNorDeleted)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    openDatabases();
    qint64 system = -1;
    for (qint64 i = 0; i < controller->count(); ++i) {
        if (RowObject::object(controller->getRowData(i))->property("id")
            == ApplicationState::SystemDatabaseId)
            system = i;
    }
    ASSERT_GE(system, 0);
    screen->setSelectedRow(system);
    controller->edit(nullptr);
    EXPECT_EQ(lastAlertText(), "System defined items can't be edited.");
    dismissAlerts();
    controller->remove(nullptr);
    EXPECT_EQ(lastAlertText(), "System defined items can't be deleted.");
    EXPECT_TRUE(screen->shownForms.isEmpty());
}

TEST_F(DatabasesTest, ADatabaseInUseStaysWhole)
{
    Template* definition = addDefinition("Contacts");
    TemplateColumn* name = addColumn(definition->id().toString(), "Name", "Text");
    Database* filled = addDatabase("Filled");
    UserTemplate* table = addTable(filled->id().toString(), definition->id().toString(), "People");
    addRow(table->id().toString(), { { name->id().toString(), "Ann" } }, { name });
    Database* twoTables = addDatabase("Two");
    addTable(twoTables->id().toString(), definition->id().toString(), "One");
    addTable(twoTables->id().toString(), definition->id().toString(), "Two");
    openDatabases();

    for (qint64 row : { 0, 1 }) {
        screen->setSelectedRow(row);
        EXPECT_FALSE(controller->deleteRow());
        EXPECT_EQ(lastAlertText(), "Database in use.");
        dismissAlerts();
    }
    KivoLib::currentContext()->reset();
    EXPECT_EQ(names(), QStringList({ "Filled", "Two" }));
    EXPECT_EQ(UserTemplate::getUserTemplatesAll().size(), 3);
    EXPECT_EQ(Rows::getRowsAll().size(), 1);
}

TEST_F(DatabasesTest, AnEmptyTableGoesWithItsDatabaseAndTheSystemOneIsOpenAfter)
{
    Template* definition = addDefinition("Contacts");
    addColumn(definition->id().toString(), "Name", "Text");
    Database* keep = addDatabase("Keep");
    Database* work = addDatabase("Work");
    addTable(work->id().toString(), definition->id().toString(), "Empty");
    openDatabases();
    // Work is open.
    screen->setSelectedRow(1);
    controller->tapOnDisclosure(1);
    EXPECT_EQ(ApplicationState::database(), work);
    EXPECT_EQ(preferences()->defaultDatabase().toString(), work->id().toString());
    EXPECT_EQ(screen->segues, QStringList({ "Menu" }));
    EXPECT_EQ(screen->childscreensDuringSegue, QStringList({ "Home" }));

    controller->remove(nullptr);
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->message(), "Delete Record?");
    alerts[0]->clickButtonAtIndex(1);
    testsupport::processEvents(10);

    KivoLib::currentContext()->reset();
    EXPECT_EQ(names(), QStringList({ "Keep" }));
    EXPECT_TRUE(UserTemplate::getUserTemplatesAll().isEmpty());
    EXPECT_EQ(ApplicationState::database(), nullptr);
    EXPECT_EQ(preferences()->defaultDatabase().toString(), ApplicationState::SystemDatabaseId);
    EXPECT_EQ(controller->count(), 1);
    Q_UNUSED(keep);
}

TEST_F(DatabasesTest, BackupAndAWholeRestoreReportSuccess)
{
    addDatabase("Before");
    openDatabases();
    const QString path = testsupport::homePath() + "/Backup_test.zip";
    controller->backup();
    chooseFile(path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(alertTexts(), QStringList({ "Operation Completed Successfully." }));
    EXPECT_GE(screen->hudShows, 1);
    EXPECT_EQ(screen->hudCount, 0);
    dismissAlerts();

    Database* after = addDatabase("After");
    screen->refreshView();
    screen->setSelectedRow(1);
    controller->tapOnDisclosure(1);
    ASSERT_EQ(ApplicationState::database(), after);

    controller->restore();
    chooseFile(path);
    EXPECT_EQ(alertTexts(), QStringList({ "Operation Completed Successfully." }));
    EXPECT_EQ(names(), QStringList({ "Before" }));
    EXPECT_EQ(controller->count(), 1);
    // The open database went with the old data.
    EXPECT_EQ(ApplicationState::database(), nullptr);
    EXPECT_EQ(preferences()->defaultDatabase().toString(), ApplicationState::SystemDatabaseId);
    EXPECT_EQ(screen->title(), "Databases");
    EXPECT_EQ(screen->hudCount, 0);
}

TEST_F(DatabasesTest, AFailedRestoreLeavesTheDataAsItWas)
{
    Database* work = addDatabase("Work");
    openDatabases();
    screen->setSelectedRow(0);
    controller->tapOnDisclosure(0);

    const QString path = testsupport::homePath() + "/broken.zip";
    QFile broken(path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("PK\x03\x04 not really an archive");
    broken.close();
    controller->restore();
    chooseFile(path);

    // It says why, so a damaged file is not taken for a wrong password, in one alert.
    const QStringList texts = alertTexts();
    EXPECT_EQ(texts,
        QStringList(
            { "The file is not a backup archive or it is damaged. Your data is unchanged." }))
        << texts.join("|").toStdString();
    EXPECT_EQ(names(), QStringList({ "Work" }));
    // No default content was loaded in its place, and the open database is still open.
    EXPECT_TRUE(Template::getTemplates().isEmpty());
    EXPECT_EQ(ApplicationState::database(), work);
    EXPECT_EQ(screen->hudCount, 0);

    // A file that is not there fails the same way.
    dismissAlerts();
    chooseFile(testsupport::homePath() + "/missing.zip");
    EXPECT_EQ(alertTexts().size(), 1);
    EXPECT_EQ(names(), QStringList({ "Work" }));
}

TEST_F(DatabasesTest, AFailedBackupSaysWhyInOneAlert)
{
    addDatabase("Work");
    openDatabases();
    const QString path = testsupport::homePath() + "/no-such-folder/Backup_test.zip";
    controller->backup();
    chooseFile(path);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(alertTexts(),
        QStringList({ LocalizedStrings::getMessageWithFormat(
            BackupRestore::ArchiveNotCreated, { path }) }));
    EXPECT_EQ(screen->hudCount, 0);
}

TEST_F(DatabasesTest, SearchLooksAtTheNamesOnly)
{
    addDatabase("Café", "Nothing");
    addDatabase("Work", "cafe notes");
    openDatabases();
    controller->searchData("CAFE");
    ASSERT_EQ(controller->count(), 1);
    EXPECT_EQ(RowObject::object(controller->getRowData(0))->property("name").toString(), "Café");
    EXPECT_EQ(controller->columnValues(0), QStringList({ "Café", "Nothing" }));
    EXPECT_EQ(controller->getGridData(0)->Image, "database");
}
