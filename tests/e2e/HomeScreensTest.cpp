#include "AppFixture.h"
#include "common/ZipPasswordChecks.h"

#include "grid/FileBrowserViewController.h"
#include "grid/KivoPreviewController.h"
#include "grid/ListSelectViewController.h"
#include "grid/YoutubeViewController.h"
#include "model/Database.h"
#include "model/NotificationsController.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/Date.h"
#include "platform/LocalNotifications.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "reports/ReportController.h"
#include "screens/MainDataController.h"
#include "screens/NotificationDataController.h"
#include "utilities/text/KivoDateUtils.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimeZone>

namespace e2e {
namespace {

constexpr int kRefreshButton = 4;
constexpr int kHelpButton = 25;
constexpr int kSettingsButton = 28;
constexpr int kShareButton = 40;
const QString kTasks = QStringLiteral("D0877860-38C8-4682-A189-5345A50EA780");
const QString kTask = QStringLiteral("6B9E4DD4-81C7-483D-BF65-4B38F6638B60");
const QString kDue = QStringLiteral("EE32FF48-7617-4BB3-83C4-62ACF67E2043");
// The password every backup archive is made and opened with.
const QString kArchivePassword = QStringLiteral("Hn4]cWrT8;mzPe");

QString documents(const QString& name)
{
    return QDir(platform::Folders::documents()).filePath(name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Home of a new database, and the ways a person reaches its commands.
struct HomeScreens : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ApplicationScreen* databases = top();
        ASSERT_NE(databases, nullptr);
        ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
        ASSERT_TRUE(open(databases, "Household"));
        home = top();
        ASSERT_NE(home, databases);
    }

    // The list a settings or share button opened: in a popup on a tablet, pushed on a phone.
    MainCollectionViewController* shownList(ApplicationScreen* screen) const
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

    // Taps the button, then the item of that text in the list it opened.
    bool choose(ApplicationScreen* screen, int button, const QString& item)
    {
        platform::ui::View* tapped = barButton(screen, button);
        if (!tapped)
            return false;
        GestureSynthesizer::tap(tapped);
        settle(100);
        MainCollectionViewController* list = shownList(screen);
        const int at = list ? int(titles(list).indexOf(item)) : -1;
        if (at < 0) {
            ADD_FAILURE() << "no " << item.toStdString();
            return false;
        }
        GestureSynthesizer::tap(tileView(list, at, 2000));
        settle(150);
        return true;
    }

    FileBrowserViewController* browser(ApplicationScreen* screen) const
    {
        if (auto* pushed
            = dynamic_cast<FileBrowserViewController*>(navigation->topViewController()))
            return pushed;
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<FileBrowserViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    static QStringList waitForMessages()
    {
        testsupport::waitUntil(
            [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000);
        return takeMessages();
    }

    // Restores the archive through Home's settings and the file browser; the messages.
    QStringList restoreFrom(const QString& name)
    {
        if (!choose(home, kSettingsButton, "Restore"))
            return {};
        FileBrowserViewController* opening = browser(home);
        if (!opening || opening->saveDialog() || !open(opening, name)) {
            ADD_FAILURE() << "no browser listing " << name.toStdString();
            return {};
        }
        return waitForMessages();
    }

    ApplicationScreen* home = nullptr;
};

TEST_P(HomeScreens, BackupRestoreAndHelpFromHome)
{
    ASSERT_TRUE(addTable(home, "Friends", kTasks));
    ASSERT_TRUE(choose(home, kSettingsButton, "Backup"));
    FileBrowserViewController* saving = browser(home);
    ASSERT_NE(saving, nullptr);
    ASSERT_TRUE(saving->saveDialog());
    EXPECT_TRUE(saving->fileName().startsWith("Backup_"));
    saving->fileNameField()->setText("home.zip");
    saving->textFieldShouldReturn(saving->fileNameField());
    EXPECT_EQ(waitForMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    const QByteArray archive = readFile(documents("home.zip"));
    ASSERT_FALSE(archive.isEmpty());

    // Damaged, cut short, or made with another password: nothing changes, and each says why.
    ASSERT_TRUE(addTable(home, "Later", kTasks));
    const QStringList tablesBefore = titles(home);
    const QStringList rowsBefore = storedTexts();
    QFile damaged(documents("damaged.zip"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("PK\x03\x04 this is no archive at all");
    damaged.close();
    QFile truncated(documents("truncated.zip"));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(archive.left(archive.size() / 2));
    truncated.close();
    // Another password whose one-byte check passes for the first entry, as one in 256
    // does: the second entry's check fails. With one entry, the check of every entry
    // passes and only its content fails.
    const QString json = documents("database.json");
    const QString other = documents("template.json");
    for (const QString& file : { json, other }) {
        QFile entry(file);
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[]");
    }
    for (const auto& [name, files] : { std::pair { "foreign.zip", QStringList { json, other } },
             std::pair { "foreign-one.zip", QStringList { json } } }) {
        int exitCode = -1;
        testsupport::runTool("zip",
            QStringList { "-j", "-P", "not-the-password", documents(name) } + files, {}, &exitCode);
        ASSERT_EQ(exitCode, 0);
        ASSERT_TRUE(testsupport::setPasswordChecks(
            documents(name), "not-the-password", kArchivePassword, { true, false }));
    }
    const struct {
        const char* file;
        const char* reason;
    } failures[] = {
        { "damaged.zip", "not a backup archive or it is damaged" },
        { "truncated.zip", "Your data is unchanged." },
        { "foreign.zip", "made with another password. Your data is unchanged." },
        { "foreign-one.zip", "made with another password, or it is damaged." },
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.file);
        const QStringList said = restoreFrom(failure.file);
        // One alert, the one that says why: no generic failure stacked over it.
        const QString all = said.join("|");
        ASSERT_EQ(said.size(), 1) << all.toStdString();
        EXPECT_TRUE(said.first().startsWith("Error|")) << all.toStdString();
        EXPECT_TRUE(all.contains(failure.reason)) << all.toStdString();
        reload(home);
        EXPECT_EQ(titles(home), tablesBefore);
        EXPECT_EQ(storedTexts(), rowsBefore);
    }
    if (tablet()) {
        ASSERT_TRUE(saveShot(QString("e2e-home-restore-failed-%1.png").arg(GetParam())));
    }

    // The whole archive comes back: the table made after it is gone.
    EXPECT_EQ(
        restoreFrom("home.zip"), QStringList({ "Information|Operation Completed Successfully." }));
    settle(200);
    ApplicationScreen* shown = top();
    ASSERT_NE(shown, nullptr);
    reload(shown);

    // Help: the user guide in the preview, pushed over Home.
    ApplicationScreen* homeNow = top();
    platform::ui::View* help = barButton(homeNow, kHelpButton);
    ASSERT_NE(help, nullptr);
    GestureSynthesizer::tap(help);
    settle(200);
    auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->url().toLocalFile().endsWith("Kivotab User Guide.pdf"));
    EXPECT_TRUE(QFile::exists(preview->url().toLocalFile()));
    back();

    // The video, a moment after its button, in a popup of its size.
    auto* homeController = controllerOf<MainDataController>(homeNow);
    ASSERT_NE(homeController, nullptr);
    homeController->videoTouched(nullptr);
    settle(300);
    PopoverController* popover = homeNow->popupController();
    ASSERT_NE(popover, nullptr);
    auto* video = dynamic_cast<YoutubeViewController*>(popover->contentViewController());
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->videoSize(), YoutubeViewController::getHDSize());
    homeNow->dismissPopup();
}

// Reminders of a table's rows, listed and exported on the test's clock.
TEST_P(HomeScreens, RemindersAreListedSearchedRebuiltAndExported)
{
    auto& center = platform::LocalNotifications::shared();
    QDateTime now(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::systemTimeZone());
    center.setClock([&now] { return now; });

    ASSERT_TRUE(addTable(home, "Chores", kTasks));
    UserTemplate* table = UserTemplate::getUserTemplates(
        qobject_cast<Database*>(RowObject::object(home->parentLink()->data))->id().toString())
                              .first();
    const QList<TemplateColumn*> columns = TemplateColumn::getColumns(kTasks);
    const auto addTask = [&](const QString& task, const QDateTime& due, const QString& repeat) {
        Rows* row = Rows::add(table->id().toString());
        row->updateData({ { kTask, task }, { kDue, QVariant::fromValue(platform::Date(due)) },
                            { Rows::reminderKey(kDue), repeat } },
            columns, std::nullopt);
        ASSERT_TRUE(row->saveRows());
        NotificationsController::rescheduleNotification(row, columns, std::nullopt, table);
    };
    addTask("Water plants", now.addDays(-30).addSecs(-3600), "Daily");
    addTask("Pay rent", now.addDays(20), "Once");
    addTask("Old errand", now.addDays(-1), "Once");
    addTask("Service boiler", now.addDays(3), "Yearly");

    ASSERT_TRUE(choose(home, kSettingsButton, "Notifications"));
    ApplicationScreen* reminders = top();
    ASSERT_NE(reminders, home);
    EXPECT_EQ(reminders->screen()->id, "Reminders");
    EXPECT_EQ(QString(reminders->rowViewContoller()->metaObject()->className()),
        "GenericMultiRowViewController");
    // Earliest first; the one-off that has passed is not listed, the daily one comes next
    // at its own time of day.
    const QDateTime nextWatering = now.addDays(1).addSecs(-3600);
    const QString tomorrow = KivoDateUtils::getDateTimeString(nextWatering);
    EXPECT_EQ(titles(reminders),
        QStringList({ "Water plants  No (Chores)", "Service boiler  No (Chores)",
            "Pay rent  No (Chores)" }))
        << titles(reminders).join("|").toStdString();
    auto* second = qobject_cast<platform::ui::Label*>(tileView(reminders, 0, 3001));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(), tomorrow);
    ASSERT_TRUE(saveShot(QString("e2e-reminders-%1.png").arg(GetParam())));

    // Search on the text and on the date as shown.
    if (!reminders->searchBar()->isVisible())
        reminders->showHideSearchBar();
    auto* field = reminders->searchBar()->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClicks(field, "boiler");
    settle(60);
    EXPECT_EQ(titles(reminders), QStringList({ "Service boiler  No (Chores)" }));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    settle(60);
    EXPECT_EQ(titles(reminders).size(), 3);

    // A reminder lost from the schedule comes back with the refresh button's rebuild.
    center.cancelAllLocalNotifications();
    reload(reminders);
    EXPECT_TRUE(titles(reminders).isEmpty());
    GestureSynthesizer::tap(barButton(reminders, kRefreshButton));
    ASSERT_TRUE(testsupport::waitUntil([&] { return titles(reminders).size() == 3; }, 10000));
    EXPECT_EQ(reminders->hudCount(), 0u);

    // Share: Save CSV writes the list, the date as a moment in UTC.
    ASSERT_TRUE(choose(reminders, kShareButton, "Save CSV"));
    FileBrowserViewController* saving = browser(reminders);
    ASSERT_NE(saving, nullptr);
    saving->fileNameField()->setText("reminders.csv");
    saving->textFieldShouldReturn(saving->fileNameField());
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    takeMessages();
    const QString due = KivoDateUtils::convertToString(nextWatering);
    const QByteArray csv = readFile(documents("reminders.csv"));
    EXPECT_TRUE(csv.startsWith("Reminder,Date\nWater plants  No (Chores)," + due.toUtf8() + "\n"))
        << csv.toStdString();
    EXPECT_EQ(csv.count('\n'), 4);
    center.setClock({});
}

INSTANTIATE_TEST_SUITE_P(Devices, HomeScreens, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
