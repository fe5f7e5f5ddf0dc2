#include "ScreensFixture.h"

#include "model/CloudStoreFixture.h"
#include "screens/DatabaseDataController.h"
#include "screens/MainDataController.h"

using screenstest::FakeAppScreen;

namespace {

// The Databases and Home screens over a store manager with the cloud folder present, its
// log telling which of its operations each answer to an iCloud confirmation reached.
struct CloudConfirmations : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        QDir().mkpath(cloudstoretest::cloudFolder());
        qputenv("KIVOTAB_CLOUD", cloudstoretest::cloudFolder().toUtf8());
        platform::coredata::CloudContainer::setPollInterval(40);
        database = addDatabase("Work");
    }

    void TearDown() override
    {
        dismissAlerts();
        ApplicationState::setCloudStoreManager(nullptr);
        manager.reset();
        testsupport::processEvents(20);
        qunsetenv("KIVOTAB_CLOUD");
        ScreensTest::TearDown();
    }

    void startManager(bool cloud)
    {
        platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, cloud);
        manager = CloudStoreManager::initStoreNamed(
            QStringLiteral("Kivotab"), cloudstoretest::model(), {}, {}, {}, {}, &storeDelegate);
        waitForLoads(1);
        ASSERT_TRUE(manager->cloudAvailable());
        ApplicationState::setCloudStoreManager(manager);
    }

    void waitForLoads(int loads)
    {
        ASSERT_TRUE(testsupport::waitUntil([&] { return storeDelegate.loads >= loads; }, 20000))
            << storeDelegate.allLogs().join('\n').toStdString();
        for (int i = 0; i < 3; ++i) {
            manager->enqueue([] {}, true, false);
            testsupport::processEvents(10);
        }
    }

    // Chooses the settings entry and answers its confirmation with the button; the
    // confirmation's tag, or -1 when none showed.
    int answer(FakeAppScreen* screen, BaseDataController& controller, qint64 entry, int button)
    {
        controller.settings(nullptr);
        screen->optionLists.last().handler(entry);
        const auto alerts = alertsShown();
        if (alerts.isEmpty())
            return -1;
        shown = alerts.last();
        const int tag = shown->tag();
        buttons.clear();
        for (int i = 0; i < shown->numberOfButtons(); ++i)
            buttons << shown->buttonTitleAtIndex(i);
        message = shown->message();
        shown->clickButtonAtIndex(button);
        testsupport::processEvents(20);
        return tag;
    }

    bool logged(const QString& line) { return storeDelegate.takeLogs().contains(line); }

    Database* database = nullptr;
    cloudstoretest::TestDelegate storeDelegate;
    std::shared_ptr<CloudStoreManager> manager;
    platform::ui::AlertView* shown = nullptr;
    QStringList buttons;
    QString message;
};

} // namespace

TEST_F(CloudConfirmations, DatabasesSwitchesICloudOffAndOnAsAnswered)
{
    startManager(true);
    FakeAppScreen* screen = open<DatabaseDataController>("SCREEN_BRIDGE");
    auto controller = controllerOf<DatabaseDataController>(screen);
    storeDelegate.takeLogs();

    // Cancel changes nothing.
    EXPECT_EQ(answer(screen, *controller, 4, 0), 400);
    EXPECT_EQ(message, "Import iCloud Data before disabling iCloud?");
    EXPECT_EQ(buttons, QStringList({ "Cancel", "Disable", "Overwrite" }));
    testsupport::processEvents(50);
    EXPECT_EQ(storeDelegate.loads, 1);
    EXPECT_TRUE(manager->cloudEnabled());

    EXPECT_EQ(answer(screen, *controller, 4, 1), 400);
    waitForLoads(2);
    EXPECT_FALSE(manager->cloudEnabled());
    EXPECT_TRUE(logged("Switching cloud enabled -> disabled"));

    EXPECT_EQ(answer(screen, *controller, 4, 2), 401);
    EXPECT_EQ(message, "Overwrite iCloud data with local data after enabling iCloud?");
    EXPECT_EQ(buttons, QStringList({ "Cancel", "Enable", "Overwrite" }));
    waitForLoads(3);
    EXPECT_TRUE(manager->cloudEnabled());
    EXPECT_TRUE(logged("Will enable cloud, overwriting cloud store."));
}

TEST_F(CloudConfirmations, HomeSwitchesICloudWithOrWithoutOverwriting)
{
    startManager(false);
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(database);
    FakeAppScreen* screen = open<MainDataController>("Home", link);
    auto controller = controllerOf<MainDataController>(screen);
    storeDelegate.takeLogs();

    EXPECT_EQ(answer(screen, *controller, 9, 0), 401);
    testsupport::processEvents(50);
    EXPECT_EQ(storeDelegate.loads, 1);
    EXPECT_FALSE(manager->cloudEnabled());

    EXPECT_EQ(answer(screen, *controller, 9, 1), 401);
    waitForLoads(2);
    EXPECT_TRUE(manager->cloudEnabled());
    EXPECT_TRUE(logged("Switching cloud disabled -> enabled"));

    EXPECT_EQ(answer(screen, *controller, 9, 2), 400);
    waitForLoads(3);
    EXPECT_FALSE(manager->cloudEnabled());
    EXPECT_TRUE(logged("Will overwrite the local store with the cloud store (using cloud logs)."));
}

// Rebuild removes only this device's copy of the cloud container; Clear removes it in the
// cloud too and has the default definitions loaded again.
TEST_F(CloudConfirmations, RebuildAndClearReachTheirOwnRemovalFromEitherScreen)
{
    startManager(true);
    FakeAppScreen* databases = open<DatabaseDataController>("SCREEN_BRIDGE");
    auto bridge = controllerOf<DatabaseDataController>(databases);
    storeDelegate.takeLogs();
    int loads = 1;

    EXPECT_EQ(answer(databases, *bridge, 5, 0), 403);
    EXPECT_EQ(message, "Do you want to rebuild the database from iCloud?");
    EXPECT_EQ(answer(databases, *bridge, 6, 0), 404);
    EXPECT_EQ(message, "Do you want to reset the iCloud database to initial state?");
    testsupport::processEvents(50);
    EXPECT_EQ(storeDelegate.loads, loads);

    EXPECT_EQ(answer(databases, *bridge, 5, 1), 403);
    waitForLoads(++loads);
    EXPECT_TRUE(logged("Will delete the cloud container on this device."));

    preferences()->setDefaultTemplatesLoaded(true);
    EXPECT_EQ(answer(databases, *bridge, 6, 1), 404);
    waitForLoads(++loads);
    EXPECT_TRUE(logged("Will delete the cloud container on this device and in the cloud."));
    EXPECT_FALSE(preferences()->defaultTemplatesLoaded());

    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(database);
    FakeAppScreen* home = open<MainDataController>("Home", link);
    auto main = controllerOf<MainDataController>(home);
    EXPECT_EQ(answer(home, *main, 10, 1), 403);
    waitForLoads(++loads);
    EXPECT_TRUE(logged("Will delete the cloud container on this device."));

    preferences()->setDefaultTemplatesLoaded(true);
    EXPECT_EQ(answer(home, *main, 11, 1), 404);
    waitForLoads(++loads);
    EXPECT_TRUE(logged("Will delete the cloud container on this device and in the cloud."));
    EXPECT_FALSE(preferences()->defaultTemplatesLoaded());
}

// With the cloud off there is no store to reload after a clear: the wait ends at once and
// Home lists its tables again.
TEST_F(CloudConfirmations, ClearingICloudWhileItIsOffEndsTheWaitAtOnce)
{
    startManager(false);
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(database);
    FakeAppScreen* home = open<MainDataController>("Home", link);
    auto main = controllerOf<MainDataController>(home);
    storeDelegate.takeLogs();

    EXPECT_EQ(answer(home, *main, 11, 1), 404);
    ASSERT_TRUE(testsupport::waitUntil([&] { return home->hudCount == 0; }, 10000));
    EXPECT_TRUE(logged("Will delete the cloud container on this device and in the cloud."));
    EXPECT_NE(home->title(), "Please Wait");
    EXPECT_TRUE(alertsShown().isEmpty());
    EXPECT_FALSE(manager->cloudEnabled());
}

// A switch whose store does not load ends the wait and says so.
TEST_F(CloudConfirmations, AFailedSwitchEndsTheWaitAndSaysWhy)
{
    startManager(false);
    // The cloud store cannot be made where a file stands in the way of its folder.
    const QString folder = manager->URLForCloudStoreDirectory().toLocalFile();
    QDir(folder).removeRecursively();
    QDir().mkpath(QFileInfo(folder).path());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(database);
    FakeAppScreen* home = open<MainDataController>("Home", link);
    auto main = controllerOf<MainDataController>(home);
    dismissAlerts();
    EXPECT_EQ(answer(home, *main, 9, 1), 401);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return home->hudCount == 0 && !alertsShown().isEmpty(); }, 20000))
        << storeDelegate.allLogs().join('\n').toStdString();
    EXPECT_NE(home->title(), "Please Wait");
    const QString message = alertTexts().join("|");
    EXPECT_TRUE(message.contains("Operation Failed: Enable: ")) << message.toStdString();
}

// Over an empty cloud folder the new store is made only once two looks found no identity
// there: the switch's wait ends with that store, not with a failure told before it.
TEST_F(CloudConfirmations, EnablingICloudOverAnEmptyCloudFolderEndsWithItsNewStoreUnfailed)
{
    startManager(false);
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(database);
    FakeAppScreen* home = open<MainDataController>("Home", link);
    auto main = controllerOf<MainDataController>(home);
    dismissAlerts();
    EXPECT_EQ(answer(home, *main, 9, 1), 401);
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return !manager->activeCloudStoreUUID().isEmpty(); }, 20000))
        << storeDelegate.allLogs().join('\n').toStdString();
    // The switch's check, queued behind the load, has told what it found.
    waitForLoads(2);
    testsupport::processEvents(50);
    EXPECT_TRUE(alertsShown().isEmpty()) << alertTexts().join("|").toStdString();
    EXPECT_TRUE(manager->cloudEnabled());
    EXPECT_TRUE(QFileInfo::exists(manager->URLForCloudStoreUUID().toLocalFile()));
}
