#include "AppFixture.h"

#include "grid/FileBrowserViewController.h"
#include "grid/ListSelectViewController.h"
#include "model/Database.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "screens/DatabaseDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "widgets/CheckMarkLabel.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace e2e {
namespace {

const QString kContacts = QStringLiteral("7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A");
const QString kName = QStringLiteral("319525EF-176E-4462-93BA-68EB30D7D6E7");
const QString kPhone = QStringLiteral("89C20BFE-16C0-4414-A9FD-40BDB2692BD2");
const QString kFavourite = QStringLiteral("984608CE-B316-4C68-B981-45053C2F4B6E");

struct Journey : AppTest {
    // Types into the screen's search bar as a person does.
    static void search(ApplicationScreen* screen, const QString& text)
    {
        if (!screen->searchBar()->isVisible())
            screen->showHideSearchBar();
        auto* field = screen->searchBar()->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, text);
        settle(60);
    }
};

TEST_P(Journey, ADatabaseItsTablesAndRowsFromTheFirstScreen)
{
    // The first screen lists the databases.
    ApplicationScreen* databases = top();
    ASSERT_NE(databases, nullptr);
    EXPECT_EQ(databases->screen()->id, "SCREEN_BRIDGE");
    EXPECT_EQ(databases->title(), "Databases");
    auto* databaseController = controllerOf<DatabaseDataController>(databases);
    ASSERT_NE(databaseController, nullptr);
    const int before = int(databaseController->count());
    EXPECT_EQ(titles(databases).size(), before);
    ASSERT_TRUE(saveShot(QString("e2e-first-screen-%1.png").arg(GetParam())));

    // A database with neither name nor description hears both in one alert.
    EXPECT_FALSE(addDatabase(databases, QString(), QString()));
    const QStringList both = takeMessages();
    ASSERT_EQ(both.size(), 1);
    EXPECT_TRUE(both.first().contains("Invalid Name.")) << both.first().toStdString();
    EXPECT_TRUE(both.first().contains("Invalid Description.")) << both.first().toStdString();
    closeForm(databases);

    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    // Editing it under its own name is no duplicate.
    databases->setSelectedRow(titles(databases).indexOf("Household"));
    databases->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(databases, { { "name", "Household" }, { "descr", "Our home" } }));
    EXPECT_TRUE(titles(databases).contains("Household"));
    // A second database of that name is refused.
    EXPECT_FALSE(addDatabase(databases, "Household", "Again"));
    EXPECT_TRUE(takeMessages().join("").contains("Duplicate Entry."));
    closeForm(databases);
    EXPECT_EQ(titles(databases).count("Household"), 1);

    // The database opens Home, titled with its name.
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    ASSERT_NE(home, databases);
    EXPECT_EQ(home->title(), "Household");
    auto* homeController = controllerOf<MainDataController>(home);
    ASSERT_NE(homeController, nullptr);
    EXPECT_TRUE(titles(home).isEmpty());

    // A definition without columns makes no table.
    Template* empty = Template::add();
    empty->setName("Empty");
    empty->setDescr("Nothing");
    ASSERT_TRUE(empty->saveTemplate());
    EXPECT_FALSE(addTable(home, "Nothing", empty->id().toString()));
    EXPECT_TRUE(takeMessages().join("").contains("Invalid Template."));
    closeForm(home);
    ASSERT_TRUE(addTable(home, "Friends", kContacts));
    ASSERT_TRUE(addTable(home, "Colleagues", kContacts));
    EXPECT_EQ(titles(home), QStringList({ "Friends", "Colleagues" }));

    // The table opens its rows, shown as tiles of its tile columns.
    ASSERT_TRUE(open(home, "Friends"));
    ApplicationScreen* rows = top();
    ASSERT_NE(rows, home);
    EXPECT_EQ(rows->title(), "Friends");
    auto* rowsController = controllerOf<GenericTemplateDataController>(rows);
    ASSERT_NE(rowsController, nullptr);
    EXPECT_EQ(QString(rows->rowViewContoller()->metaObject()->className()),
        "MultipleGenericRowViewController");

    // The row form's messages: the mandatory name, a phone over its length.
    EXPECT_FALSE(addRow(rows, { { kPhone, "0123456789012345678901" } }));
    const QString refused = takeMessages().join("");
    EXPECT_TRUE(refused.contains("Enter valid values for Name,Phone")) << refused.toStdString();
    closeForm(rows);
    for (const char* name : { "Carla Alison", "Bob Stone", "Zoë Ali", "Alice Brown" })
        ASSERT_TRUE(addRow(rows, { { kName, name }, { kPhone, "555" } }));
    // Sorted by the definition's sort column, ascending.
    EXPECT_EQ(titles(rows), QStringList({ "Alice Brown", "Bob Stone", "Carla Alison", "Zoë Ali" }));

    // Search, ignoring case and accents.
    search(rows, "ali");
    EXPECT_EQ(titles(rows), QStringList({ "Alice Brown", "Carla Alison", "Zoë Ali" }));
    search(rows, "e a");
    EXPECT_EQ(titles(rows), QStringList({ "Zoë Ali" }));
    search(rows, "");
    EXPECT_EQ(titles(rows).size(), 4);

    // Header taps sort: the first tap descending, the second ascending.
    rowsController->headerLabelTouched(1);
    rowsController->headerLabelTouched(0);
    EXPECT_EQ(titles(rows), QStringList({ "Zoë Ali", "Carla Alison", "Bob Stone", "Alice Brown" }));
    rowsController->headerLabelTouched(0);
    EXPECT_EQ(titles(rows), QStringList({ "Alice Brown", "Bob Stone", "Carla Alison", "Zoë Ali" }));

    // The same rows as a column table, then as tiles again.
    rows->dataController()->expandcollapse(nullptr);
    settle(100);
    EXPECT_EQ(QString(rows->rowViewContoller()->metaObject()->className()),
        "ModelColumnsRowViewController");
    ASSERT_TRUE(saveShot(QString("e2e-columns-%1.png").arg(GetParam())));
    rows->dataController()->expandcollapse(nullptr);
    settle(100);

    // A check mark's tap is stored at once.
    auto* check = qobject_cast<CheckMarkLabel*>(tileView(rows, 1, CheckMarkLabel::Tag));
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->checked());
    GestureSynthesizer::tap(check);
    settle();
    EXPECT_TRUE(check->checked());
    const QStringList stored = storedTexts();
    const QString bob = *std::find_if(
        stored.cbegin(), stored.cend(), [](const QString& json) { return json.contains("Bob"); });
    EXPECT_TRUE(bob.contains(kFavourite)) << bob.toStdString();
    ASSERT_TRUE(saveShot(QString("e2e-rows-%1.png").arg(GetParam())));

    // A row edited in its form, and one deleted after the confirmation.
    const int zoe = int(titles(rows).indexOf("Zoë Ali"));
    rows->setSelectedRow(zoe);
    rows->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(rows, { { kName, "Zoë Alison" }, { kPhone, "556" } }));
    reload(rows);
    EXPECT_TRUE(titles(rows).contains("Zoë Alison"));
    rows->setSelectedRow(titles(rows).indexOf("Zoë Alison"));
    rows->dataController()->remove(nullptr);
    ASSERT_NE(alertTitled("Confirmation"), nullptr);
    // The row goes once the alert has closed.
    alertTitled("Confirmation")->clickButtonAtIndex(1);
    settle(300);
    EXPECT_EQ(titles(rows), QStringList({ "Alice Brown", "Bob Stone", "Carla Alison" }));
    EXPECT_FALSE(storedTextsHold("Zo\u00EB"));

    // Back on Home: a table that holds rows is not deleted.
    back();
    ASSERT_EQ(top(), home);
    home->setSelectedRow(0);
    EXPECT_FALSE(homeController->deleteRow());
    EXPECT_TRUE(takeMessages().join("").contains("List in use."));
    EXPECT_EQ(titles(home).size(), 2);

    // A tile held and dragged onto the first place: the order is stored as shown.
    const auto centreOf = [&](int item) {
        auto* cell
            = home->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
        return cell ? cell->frame().center() - home->collectionView()->contentOffset() : QPointF();
    };
    ASSERT_EQ(titles(home), QStringList({ "Friends", "Colleagues" }));
    GestureSynthesizer::longPressDrag(home->collectionView(), centreOf(1), centreOf(0));
    settle(100);
    EXPECT_EQ(titles(home), QStringList({ "Colleagues", "Friends" }));
    reload(home);
    EXPECT_EQ(titles(home), QStringList({ "Colleagues", "Friends" }));
    const auto tables = UserTemplate::getUserTemplates(
        qobject_cast<Database*>(RowObject::object(home->parentLink()->data))->id().toString());
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0]->name().toString(), "Colleagues");
    EXPECT_EQ(tables[0]->order().toInt(), 0);
    EXPECT_EQ(tables[1]->order().toInt(), 1);

    // The settings menu lists its nine entries.
    homeController->settings(nullptr);
    settle(100);
    auto* menu = dynamic_cast<ListSelectViewController*>(
        tablet() ? nullptr : navigation->topViewController());
    if (tablet())
        EXPECT_NE(home->simplepopupController(), nullptr);
    else
        ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(saveShot(QString("e2e-home-settings-%1.png").arg(GetParam())));
    home->dismissPopup();
    if (menu)
        back();

    // A database in use is not deleted, and nothing of it changes.
    back();
    ASSERT_EQ(top(), databases);
    databases->setSelectedRow(titles(databases).indexOf("Household"));
    const qsizetype storedRows = storedTexts().size();
    EXPECT_FALSE(databaseController->deleteRow());
    EXPECT_TRUE(takeMessages().join("").contains("Database in use."));
    EXPECT_TRUE(titles(databases).contains("Household"));
    EXPECT_EQ(storedTexts().size(), storedRows);
    EXPECT_EQ(UserTemplate::getUserTemplates(
                  qobject_cast<Database*>(
                      RowObject::object(databaseController->getRowData(databases->selectedRow())))
                      ->id()
                      .toString())
                  .size(),
        2);

    // The Options list of the Databases screen.
    databaseController->settings(nullptr);
    settle(100);
    ASSERT_TRUE(saveShot(QString("e2e-databases-options-%1.png").arg(GetParam())));
}

TEST_P(Journey, AProtectedTableAsksForItsPasswordAndStoresNoClearText)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Private", "Secrets"));
    ASSERT_TRUE(open(databases, "Private"));
    ApplicationScreen* home = top();
    auto* homeController = controllerOf<MainDataController>(home);
    ASSERT_NE(homeController, nullptr);
    ASSERT_TRUE(addTable(home, "Vault", kContacts, true));

    // The first opening makes the password, typed twice.
    ASSERT_TRUE(open(home, "Vault"));
    ASSERT_NE(alertTitled("Create Password"), nullptr);
    ASSERT_TRUE(saveShot(QString("e2e-password-%1.png").arg(GetParam())));
    ASSERT_TRUE(answerPrompt("Create Password", "s3cret"));
    ASSERT_TRUE(answerPrompt("Retype Password", "other"));
    EXPECT_TRUE(dismissMessage("Password does not match."));
    ASSERT_TRUE(answerPrompt("Retype Password", "s3cret"));
    ApplicationScreen* rows = top();
    ASSERT_NE(rows, home);
    ASSERT_TRUE(addRow(rows, { { kName, "Dora Secret" }, { kPhone, "999" } }));
    EXPECT_EQ(titles(rows), QStringList({ "Dora Secret" }));
    EXPECT_FALSE(storedTextsHold("Dora"));
    EXPECT_FALSE(storedTextsHold("999"));
    back();

    // Then it asks once; a wrong or empty password is refused.
    ASSERT_TRUE(open(home, "Vault"));
    ASSERT_TRUE(answerPrompt("Password", "wrong"));
    EXPECT_TRUE(dismissMessage("Password is invalid."));
    EXPECT_EQ(top(), home);
    ASSERT_TRUE(answerPrompt("Password", ""));
    EXPECT_TRUE(dismissMessage("Password is invalid."));
    ASSERT_TRUE(answerPrompt("Password", "s3cret"));
    rows = top();
    ASSERT_NE(rows, home);
    EXPECT_EQ(titles(rows), QStringList({ "Dora Secret" }));
    back();

    // Unprotect makes the rows clear; Protect hides them again.
    home->setSelectedRow(0);
    home->dataController()->edit(nullptr);
    QuickDetailViewController* form = awaitedForm(home);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(element(form, "template"), nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "unprotect", Q_ARG(FormElement*, nullptr)));
    ASSERT_TRUE(answerPrompt("Password", "s3cret"));
    ASSERT_TRUE(testsupport::waitUntil([] { return storedTextsHold("Dora"); }));
    takeMessages();
    reload(home);
    home->setSelectedRow(0);
    home->dataController()->edit(nullptr);
    form = awaitedForm(home);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "protect", Q_ARG(FormElement*, nullptr)));
    ASSERT_TRUE(answerPrompt("Create Password", "n3w"));
    ASSERT_TRUE(answerPrompt("Retype Password", "n3w"));
    ASSERT_TRUE(testsupport::waitUntil([] { return !storedTextsHold("Dora"); }));
    takeMessages();
    ASSERT_TRUE(open(home, "Vault"));
    ASSERT_TRUE(answerPrompt("Password", "n3w"));
    rows = top();
    ASSERT_NE(rows, home);
    EXPECT_EQ(titles(rows), QStringList({ "Dora Secret" }));
}

TEST_P(Journey, DatabasesAndHomeShowTheirColumnTables)
{
    constexpr int kExpandCollapse = 35;
    const auto asColumns = [](ApplicationScreen* screen) {
        platform::ui::View* button = barButton(screen, kExpandCollapse);
        if (!button)
            return false;
        GestureSynthesizer::tap(button);
        settle(100);
        return QString(screen->rowViewContoller()->metaObject()->className())
            == "ModelColumnsRowViewController";
    };
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    const int household = int(titles(databases).indexOf("Household"));
    ASSERT_TRUE(asColumns(databases));
    EXPECT_EQ(columnTexts(databases, household), QStringList({ "Household", "Things at home" }));
    ASSERT_TRUE(saveShot(QString("e2e-databases-columns-%1.png").arg(GetParam())));
    ASSERT_TRUE(asColumns(databases) == false);

    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    ASSERT_TRUE(addTable(home, "Friends", kContacts));
    ASSERT_TRUE(asColumns(home));
    EXPECT_EQ(columnTexts(home, 0), QStringList({ "Friends", "About Friends" }));
    ASSERT_TRUE(saveShot(QString("e2e-home-columns-%1.png").arg(GetParam())));
}

TEST_P(Journey, BackupAndRestoreGoThroughTheFileBrowser)
{
    constexpr int kSettings = 28;
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    // Taps the item of the Options list that the settings button opens.
    const auto choose = [&](const QString& item) {
        platform::ui::View* settings = barButton(databases, kSettings);
        if (!settings)
            return false;
        GestureSynthesizer::tap(settings);
        settle(100);
        auto* list = tablet()
            ? nullptr
            : dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        if (tablet() && databases->simplepopupController())
            list = dynamic_cast<MainCollectionViewController*>(
                dynamic_cast<platform::ui::NavigationController*>(
                    databases->simplepopupController()->contentViewController())
                    ->topViewController());
        const int at = list ? int(titles(list).indexOf(item)) : -1;
        if (at < 0)
            return false;
        GestureSynthesizer::tap(tileView(list, at, 2000));
        settle(150);
        return true;
    };
    // The browser the command opened: pushed on a phone, in a popup on a tablet.
    const auto browser = [&]() -> FileBrowserViewController* {
        if (auto* pushed
            = dynamic_cast<FileBrowserViewController*>(navigation->topViewController()))
            return pushed;
        SimplePopupViewController* popup = databases->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<FileBrowserViewController*>(wrapper->topViewController())
                       : nullptr;
    };

    ASSERT_TRUE(choose("Backup"));
    FileBrowserViewController* saving = browser();
    ASSERT_NE(saving, nullptr);
    ASSERT_TRUE(saving->saveDialog());
    ASSERT_NE(saving->fileNameField(), nullptr);
    saving->fileNameField()->setText("household.zip");
    saving->textFieldShouldReturn(saving->fileNameField());
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    EXPECT_EQ(top(), databases);
    const QString archive = QDir(platform::Folders::documents()).filePath("household.zip");
    ASSERT_TRUE(QFile::exists(archive));

    // A database made after the backup is gone once it is restored.
    ASSERT_TRUE(addDatabase(databases, "Garage", "Tools"));
    ASSERT_TRUE(titles(databases).contains("Garage"));
    ASSERT_TRUE(choose("Restore"));
    FileBrowserViewController* opening = browser();
    ASSERT_NE(opening, nullptr);
    EXPECT_FALSE(opening->saveDialog());
    ASSERT_TRUE(open(opening, "household.zip"));
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    EXPECT_EQ(top(), databases);
    reload(databases);
    EXPECT_TRUE(titles(databases).contains("Household"));
    EXPECT_FALSE(titles(databases).contains("Garage"));
}

INSTANTIATE_TEST_SUITE_P(Devices, Journey, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
