#include "model/AppDelegate.h"
#include "common/TestSupport.h"
#include "model/CloudStoreManager.h"
#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/KivotabPrefernces.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "platform/Folders.h"
#include "platform/LocalNotifications.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "style/Color.h"
#include "style/Theme.h"
#include "utilities/shell/CloudStoreProtocol.h"
#include "utilities/shell/RatePromptServices.h"
#include "utilities/store/StoreStack.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

using platform::ui::AlertView;

QStringList g_log;

// The delegate with each launch step written down as it is taken. The real crash handler
// would take over the test process's signals, so that step is only written down.
class RecordingDelegate : public AppDelegate {
protected:
    void installCrashHandler() override { g_log << "crash handler"; }
    void configureRatePrompt() override
    {
        g_log << "rate prompt";
        AppDelegate::configureRatePrompt();
    }
    void makeSettings() override
    {
        AppDelegate::makeSettings();
        const bool registered = platform::UserDefaults::standard().registeredDefaults().contains(
            KivotabPrefernces::DefaultTemplatesLoadedKey);
        g_log << (kivotabPreferences() && registered ? "settings" : "settings missing");
    }
    void makeStyle() override
    {
        AppDelegate::makeStyle();
        g_log << (Theme::current() ? "style" : "style missing");
    }
    void tellRatePromptLaunched() override
    {
        g_log << "rate prompt launched";
        AppDelegate::tellRatePromptLaunched();
    }
    void applyStatusBarStyle() override
    {
        g_log << "status bar";
        AppDelegate::applyStatusBarStyle();
    }
    void writeVersion() override
    {
        AppDelegate::writeVersion();
        g_log << (platform::UserDefaults::standard().hasStoredValue("version") ? "version"
                                                                               : "version missing");
    }
    void redirectDebugLog() override
    {
        g_log << "debug log";
        AppDelegate::redirectDebugLog();
    }
    void makeStoreManager() override
    {
        AppDelegate::makeStoreManager();
        const bool made = cloudStoreManager() && cloudStoreManager()->delegate() == this
            && cloudStoreManager()->contentName() == "Kivotab" && StoreStack::instance();
        g_log << (made ? "store manager" : "store manager missing");
    }
    void observeStore() override
    {
        g_log << "store notifications";
        AppDelegate::observeStore();
    }
    void waitForStore() override
    {
        g_log << "wait";
        AppDelegate::waitForStore();
    }

public:
    // The store manager logs from its own threads: it lets go of this delegate before the
    // log below goes (the base class would do so only after it).
    ~RecordingDelegate() override { shutdown(); }

    // The store manager's own log, kept to tell which of its operations ran.
    void cloudStoreManagerLog(CloudStoreManager& manager, const QString& message) override
    {
        {
            std::lock_guard lock(storeLogMutex);
            storeLog << message;
        }
        AppDelegate::cloudStoreManagerLog(manager, message);
    }
    bool storeLogged(const QString& start)
    {
        std::lock_guard lock(storeLogMutex);
        return std::any_of(storeLog.cbegin(), storeLog.cend(),
            [&](const QString& line) { return line.startsWith(start); });
    }

private:
    std::mutex storeLogMutex;
    QStringList storeLog;
};

// The rate prompt as start-up sees it, writing down what it is told.
class RecordingPrompt : public RatePromptServices {
public:
    void setAppId(const QString& appId) override { g_log << "app id " + appId; }
    void setDaysUntilPrompt(double days) override { g_log << QString("days %1").arg(days); }
    void setUsesUntilPrompt(int uses) override { g_log << QString("uses %1").arg(uses); }
    void setSignificantEventsUntilPrompt(int events) override
    {
        g_log << QString("events %1").arg(events);
    }
    void setTimeBeforeReminding(double days) override
    {
        g_log << QString("remind after %1").arg(days);
    }
    void appLaunched(bool canPrompt) override { g_log << QString("launched %1").arg(canPrompt); }
};

// A screen that takes part in store changes, writing them down by its name.
class StoreScreen : public platform::ui::ViewController, public CloudStoreProtocol {
public:
    explicit StoreScreen(const QString& name)
        : m_name(name)
    {
    }
    void cloudStoreUnloaded() override { g_log << m_name + " unloaded"; }
    void cloudStoreLoaded() override { g_log << m_name + " loaded"; }

private:
    QString m_name;
};

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        platform::ui::Animation::setInstant(true);
        ModelRegistry::registerClasses();
    }
    void TearDown() override
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        delegate.reset();
        navigation.reset();
        platform::ui::Application::shared().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_log.clear();
    }

    // Starts the application as main does, waiting for no clock: done once the store is in.
    void launch()
    {
        delegate = std::make_unique<RecordingDelegate>();
        delegate->setLaunchWait([](int, std::function<void()> done) { done(); });
        ASSERT_TRUE(delegate->didFinishLaunching());
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return delegate->isLaunched() && delegate->isStoreReady(); }, 30000));
        testsupport::processEvents(20);
    }

    // The screens A, B (not taking part) and C on the window's navigation stack.
    void showScreens()
    {
        navigation = std::make_unique<platform::ui::NavigationController>();
        navigation->setViewControllers(
            { new StoreScreen("A"), new platform::ui::ViewController(), new StoreScreen("C") });
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
    }

    // Reloads the store and waits until screen C has heard of it.
    void reloadStore()
    {
        g_log.clear();
        delegate->cloudStoreManager()->reloadStore();
        ASSERT_TRUE(testsupport::waitUntil([] { return g_log.contains("C loaded"); }, 30000))
            << g_log.join(", ").toStdString();
        testsupport::processEvents(50);
    }

    static QString storeFile()
    {
        return platform::Folders::applicationSupport() + "/Kivotab.sqlite";
    }

    static Database* systemDatabase()
    {
        return Database::getDatabase(DefaultContent::SystemDatabaseId);
    }

    static AlertView* alertTitled(const QString& title)
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            if (alert->title() == title)
                return alert;
        return nullptr;
    }

    static int alertsTitled(const QString& title)
    {
        int n = 0;
        for (AlertView* alert : AlertView::visibleAlerts())
            n += alert->title() == title;
        return n;
    }

    std::unique_ptr<RecordingDelegate> delegate;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

TEST_F(AppDelegateTest, LaunchTakesItsStepsInOrder)
{
    RatePromptServices::install(std::make_unique<RecordingPrompt>());
    delegate = std::make_unique<RecordingDelegate>();
    delegate->setLaunchWait([](int ms, std::function<void()> done) {
        g_log << QString("waiting %1 ms").arg(ms);
        done();
    });
    ASSERT_TRUE(delegate->didFinishLaunching());
    const QStringList expected { "crash handler", "rate prompt", "app id net.solvane.kivotab",
        "days 15", "uses 10", "events -1", "remind after 2", "settings", "style",
        "rate prompt launched", "launched 1", "status bar", "version", "debug log", "store manager",
        "store notifications", "wait", "waiting 3000 ms" };
    EXPECT_EQ(g_log, expected) << g_log.join(", ").toStdString();
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("product"), "Kivotab");
    // Launched only after the wait has handed back to the main queue.
    EXPECT_FALSE(delegate->isLaunched());
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate->isLaunched(); }));
}

TEST_F(AppDelegateTest, WithTheCloudEnabledStartUpWaitsLonger)
{
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
    delegate = std::make_unique<RecordingDelegate>();
    int waited = 0;
    delegate->setLaunchWait([&](int ms, std::function<void()> done) {
        waited = ms;
        done();
    });
    delegate->didFinishLaunching();
    EXPECT_EQ(waited, 6000);
}

TEST_F(AppDelegateTest, TheWaitEndsWhenTheStoreIsInWithoutHoldingUpTheMainQueue)
{
    delegate = std::make_unique<RecordingDelegate>();
    QElapsedTimer clock;
    qint64 readyAt = -1;
    qint64 launchedAt = -1;
    QObject::connect(delegate.get(), &AppDelegate::storeReady, [&] { readyAt = clock.elapsed(); });
    QObject::connect(
        delegate.get(), &AppDelegate::launchFinished, [&] { launchedAt = clock.elapsed(); });
    clock.start();
    delegate->didFinishLaunching();
    // Start-up has returned: the main queue keeps running while the store loads.
    EXPECT_LT(clock.elapsed(), AppDelegate::LocalLaunchWaitMs);
    EXPECT_FALSE(delegate->isLaunched());
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate->isLaunched(); }, 20000));
    // Never before the store is in, unless the whole wait has passed; not longer than
    // needed when it is in early.
    EXPECT_TRUE(readyAt >= 0 || launchedAt >= AppDelegate::LocalLaunchWaitMs);
    if (readyAt >= 0) {
        EXPECT_GE(launchedAt, readyAt);
        if (readyAt < AppDelegate::LocalLaunchWaitMs / 2) {
            EXPECT_LT(launchedAt, AppDelegate::LocalLaunchWaitMs);
        }
    }
}

TEST_F(AppDelegateTest, TheDebugSettingSendsTheErrorStreamToTheDebugLog)
{
    platform::UserDefaults::standard().setBool("debug", true);
    const int saved = ::dup(STDERR_FILENO);
    launch();
    std::fputs("written after start-up\n", stderr);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    QFile log(platform::Folders::documents() + "/debug.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("written after start-up"));
}

TEST_F(AppDelegateTest, TheFirstStartLoadsTheDefaultContentOnceAndTheNextFindsTheStore)
{
    showScreens();
    launch();
    EXPECT_TRUE(QFile::exists(storeFile()));
    ASSERT_TRUE(delegate->kivotabPreferences()->defaultTemplatesLoaded());
    ASSERT_TRUE(systemDatabase());
    EXPECT_EQ(systemDatabase()->name().toString(), "ColorsKivo");
    EXPECT_EQ(Rows::getRowsAll().size(), DefaultContent::colorNames().size());
    // The user's change to a default definition must survive every later load.
    Template* colors = Template::getTemplate(DefaultContent::ColorListTemplateId);
    ASSERT_TRUE(colors);
    colors->setName("My colours");
    ASSERT_TRUE(colors->saveTemplate());

    // The store loaded again in the same run.
    reloadStore();
    EXPECT_EQ(Template::getTemplate(DefaultContent::ColorListTemplateId)->name().toString(),
        "My colours");

    // The next start of the application.
    delegate.reset();
    EXPECT_FALSE(StoreStack::instance());
    g_log.clear();
    launch();
    EXPECT_EQ(Template::getTemplate(DefaultContent::ColorListTemplateId)->name().toString(),
        "My colours");
    EXPECT_EQ(Database::getDatabases().size(), 1);
    EXPECT_EQ(Rows::getRowsAll().size(), DefaultContent::colorNames().size());
}

TEST_F(AppDelegateTest, AStoreChangeTellsTheScreensThatTakePartInStackOrder)
{
    showScreens();
    launch();
    platform::coredata::ManagedObjectContext* before = delegate->managedObjectContext();
    ASSERT_TRUE(before);
    reloadStore();
    EXPECT_EQ(g_log, (QStringList { "A unloaded", "C unloaded", "A loaded", "C loaded" }));
    ASSERT_TRUE(delegate->managedObjectContext());
    EXPECT_TRUE(systemDatabase());
}

TEST_F(AppDelegateTest, SwitchingToTheCloudStoreTellsTheScreensAndKeepsTheContent)
{
    const QString cloud = testsupport::homePath() + "/cloud";
    QDir().mkpath(cloud);
    qputenv("KIVOTAB_CLOUD", cloud.toUtf8());
    platform::coredata::CloudContainer::setPollInterval(40);
    showScreens();
    launch();
    Database* system = systemDatabase();
    ASSERT_TRUE(system);
    system->setDescr("Before the switch");
    ASSERT_TRUE(system->saveDatabase());

    g_log.clear();
    delegate->cloudStoreManager()->setCloudEnabled(true);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return g_log.contains("C loaded") && delegate->cloudAvailable(); }, 30000))
        << g_log.join(", ").toStdString();
    EXPECT_TRUE(delegate->cloudEnabled());
    testsupport::processEvents(50);
    EXPECT_EQ(g_log.mid(0, 2), (QStringList { "A unloaded", "C unloaded" }));
    ASSERT_TRUE(systemDatabase());
    EXPECT_EQ(systemDatabase()->descr().toString(), "Before the switch");
    EXPECT_EQ(Rows::getRowsAll().size(), DefaultContent::colorNames().size());
    delegate.reset();
    qunsetenv("KIVOTAB_CLOUD");
}

TEST_F(AppDelegateTest, UnsavedChangesAreSavedBeforeTheStoreGoes)
{
    showScreens();
    launch();
    systemDatabase()->setDescr("Not saved by anyone");
    ASSERT_TRUE(delegate->managedObjectContext()->hasChanges());
    reloadStore();
    EXPECT_EQ(systemDatabase()->descr().toString(), "Not saved by anyone");
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(AppDelegateTest, AFailedSaveBeforeTheStoreGoesIsShownAndTheChangesKept)
{
    showScreens();
    launch();
    // The store refuses to write the system database from now on.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(storeFile().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                  "CREATE TRIGGER refuse BEFORE UPDATE ON \"Database\" "
                  "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END;",
                  nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    systemDatabase()->setDescr("Kept somewhere safe");
    reloadStore();
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    AlertView* alert = AlertView::visibleAlerts().first();
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_TRUE(alert->message().contains("could not be saved before the store changed"))
        << alert->message().toStdString();
    EXPECT_TRUE(alert->message().contains("the disk is full")) << alert->message().toStdString();

    const QStringList kept
        = QDir(platform::Folders::documents()).entryList({ "Unsaved changes *.json" }, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    QFile file(platform::Folders::documents() + '/' + kept.first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray records = file.readAll();
    EXPECT_TRUE(records.contains("Kept somewhere safe"));
    EXPECT_TRUE(records.contains(DefaultContent::SystemDatabaseId.toUtf8()));
    // The store has what it had.
    EXPECT_EQ(systemDatabase()->descr().toString(), "ColorsKivo Database");
}

TEST_F(AppDelegateTest, SaveContextWithoutAStoreAnswersNoAndAFailedSaveIsShown)
{
    delegate = std::make_unique<RecordingDelegate>();
    EXPECT_FALSE(delegate->saveContext());
    EXPECT_FALSE(delegate->persistentStoreCoordinator());
    ASSERT_TRUE(delegate->managedObjectModel());
}

TEST_F(AppDelegateTest, ALocalStoreFailureShowsOneAlertAndRecreateBringsTheDefaultsBack)
{
    showScreens();
    launch();
    CloudStoreManager& manager = *delegate->cloudStoreManager();
    Template::getTemplate(DefaultContent::ColorListTemplateId)->setName("Mine");
    ASSERT_TRUE(delegate->saveContext());

    delegate->cloudStoreManagerFailedLoadingStoreWithCause(manager, 3, {}, true);
    testsupport::processEvents(20);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    delegate->cloudStoreManagerFailedLoadingStoreWithCause(manager, 3, {}, false);
    delegate->cloudStoreManagerFailedLoadingStoreWithCause(manager, 3, {}, false);
    testsupport::processEvents(20);
    ASSERT_EQ(alertsTitled(AppDelegate::LocalStoreTitle), 1);
    AlertView* alert = alertTitled(AppDelegate::LocalStoreTitle);
    EXPECT_EQ(alert->message(), AppDelegate::LocalStoreMessage);
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Recreate");

    g_log.clear();
    alert->clickButtonAtIndex(0);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            return g_log.contains("C loaded")
                && delegate->kivotabPreferences()->defaultTemplatesLoaded();
        },
        30000));
    testsupport::processEvents(50);
    // A new store, with the default content in it again.
    ASSERT_TRUE(Template::getTemplate(DefaultContent::ColorListTemplateId));
    EXPECT_NE(
        Template::getTemplate(DefaultContent::ColorListTemplateId)->name().toString(), "Mine");
    EXPECT_TRUE(systemDatabase());
}

TEST_F(AppDelegateTest, CorruptionAlertsFollowTheirButtons)
{
    showScreens();
    launch();
    CloudStoreManager& manager = *delegate->cloudStoreManager();
    EXPECT_FALSE(
        delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, false));
    testsupport::processEvents(20);
    AlertView* corrupted = delegate->cloudContentCorruptedAlert();
    ASSERT_TRUE(corrupted && corrupted->isVisible());
    EXPECT_EQ(corrupted->title(), "iCloud Store Corruption");
    EXPECT_EQ(corrupted->message(), AppDelegate::CorruptedMessage);
    EXPECT_EQ(corrupted->buttonTitleAtIndex(0), "Disable iCloud");
    EXPECT_EQ(corrupted->buttonTitleAtIndex(1), "Fix Now");
    auto* spinner = qobject_cast<platform::ui::ActivityIndicatorView*>(corrupted->accessoryView());
    ASSERT_TRUE(spinner);
    EXPECT_TRUE(spinner->isAnimating());
    ASSERT_TRUE(platform::ui::Application::shared().keyWindow()->snapshot().save(
        testsupport::outputPath("app-delegate-cloud-corruption-alert.png")));

    corrupted->clickButtonAtIndex(1);
    testsupport::processEvents(20);
    AlertView* warning = delegate->handleCloudContentWarningAlert();
    ASSERT_TRUE(warning && warning->isVisible());
    EXPECT_EQ(warning->title(), "Fix iCloud Now");
    EXPECT_TRUE(warning->message().contains(u"auto\u2011corrected"));
    EXPECT_EQ(warning->buttonTitleAtIndex(warning->cancelButtonIndex()), "Back");
    // Another report while the warning shows changes nothing.
    delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, false);
    testsupport::processEvents(20);
    EXPECT_EQ(alertsTitled(AppDelegate::CorruptionTitle), 0);

    warning->clickButtonAtIndex(warning->cancelButtonIndex());
    testsupport::processEvents(20);
    ASSERT_TRUE(delegate->cloudContentCorruptedAlert());
    EXPECT_TRUE(delegate->cloudContentCorruptedAlert()->isVisible());

    // A healthy store brings the healing alert; a second report while it shows adds none.
    EXPECT_TRUE(
        delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, true));
    delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, true);
    testsupport::processEvents(20);
    ASSERT_TRUE(delegate->cloudContentHealingAlert());
    EXPECT_EQ(delegate->cloudContentHealingAlert()->message(), AppDelegate::HealingMessage);
    EXPECT_EQ(alertsTitled(AppDelegate::CorruptionTitle), 2);
    // The next load closes the corrupted alert; the healing one stays for an answer.
    reloadStore();
    EXPECT_EQ(alertsTitled(AppDelegate::CorruptionTitle), 1);
    EXPECT_TRUE(delegate->cloudContentHealingAlert()->isVisible());
}

// "Disable iCloud" on either corruption alert switches the cloud off; "Fix Anyway" has the
// store manager rebuild the cloud content from this device.
TEST_F(AppDelegateTest, CorruptionAlertsReachTheStoreManager)
{
    const QString cloud = testsupport::homePath() + "/cloud";
    QDir().mkpath(cloud);
    qputenv("KIVOTAB_CLOUD", cloud.toUtf8());
    platform::coredata::CloudContainer::setPollInterval(40);
    showScreens();
    launch();
    RecordingDelegate* recording = delegate.get();
    CloudStoreManager& manager = *delegate->cloudStoreManager();
    const auto switchTo = [&](bool on) {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return manager.cloudEnabled() == on && g_log.contains("C loaded"); }, 30000))
            << g_log.join(", ").toStdString();
        testsupport::processEvents(50);
    };
    const auto enable = [&] {
        g_log.clear();
        manager.setCloudEnabled(true);
        switchTo(true);
    };

    for (const bool healthy : { true, false }) {
        enable();
        delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, healthy);
        testsupport::processEvents(20);
        AlertView* alert = healthy ? delegate->cloudContentHealingAlert()
                                   : delegate->cloudContentCorruptedAlert();
        ASSERT_TRUE(alert && alert->isVisible()) << healthy;
        ASSERT_EQ(alert->buttonTitleAtIndex(0), "Disable iCloud");
        g_log.clear();
        alert->clickButtonAtIndex(0);
        switchTo(false);
        EXPECT_TRUE(recording->storeLogged("Switching cloud enabled -> disabled")) << healthy;
    }

    enable();
    delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(manager, false);
    testsupport::processEvents(20);
    delegate->cloudContentCorruptedAlert()->clickButtonAtIndex(1);
    testsupport::processEvents(20);
    AlertView* warning = delegate->handleCloudContentWarningAlert();
    ASSERT_TRUE(warning && warning->isVisible());
    const int fix = warning->cancelButtonIndex() == 0 ? 1 : 0;
    ASSERT_EQ(warning->buttonTitleAtIndex(fix), "Fix Anyway");
    EXPECT_FALSE(recording->storeLogged("Will rebuild cloud content"));
    g_log.clear();
    warning->clickButtonAtIndex(fix);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return recording->storeLogged("Will rebuild cloud content"); }, 30000));
    switchTo(true);
    EXPECT_TRUE(systemDatabase());
    delegate.reset();
    qunsetenv("KIVOTAB_CLOUD");
}

TEST_F(AppDelegateTest, AFileHandedOverIsCopiedIntoTheInboxAndReported)
{
    launch();
    const QString source = testsupport::homePath() + "/Offer.csv";
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a,b\n");
    file.close();
    auto& application = platform::ui::Application::shared();
    EXPECT_TRUE(application.handOverFile(source));
    EXPECT_TRUE(application.handOverFile(source));
    const QString inbox = platform::Folders::documents() + "/Inbox/";
    EXPECT_TRUE(QFile::exists(inbox + "Offer.csv"));
    EXPECT_TRUE(QFile::exists(inbox + "Offer-1.csv"));
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 2; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "Offer.csv Successfully Saved.");
    EXPECT_EQ(AlertView::visibleAlerts().last()->message(), "Offer-1.csv Successfully Saved.");
    EXPECT_EQ(AlertView::visibleAlerts().first()->title(), "Information");

    QString problem;
    EXPECT_FALSE(application.handOverFile(testsupport::homePath() + "/missing.csv", &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_TRUE(delegate->openURL(QUrl()));
}

TEST_F(AppDelegateTest, RemindersDueWhileNotRunningArriveAtStartAndLowerTheBadge)
{
    auto& center = platform::LocalNotifications::shared();
    center.setClock([] { return QDateTime(QDate(2026, 3, 2), QTime(8, 0), QTimeZone::utc()); });
    platform::LocalNotification n;
    n.fireDate = QDateTime(QDate(2026, 3, 1), QTime(9, 0), QTimeZone::utc());
    n.alertBody = "Buy milk Shop (Errands)";
    n.applicationIconBadgeNumber = 3;
    center.scheduleLocalNotification(n);
    center.flush();

    launch();
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "Buy milk Shop (Errands)");
    EXPECT_EQ(platform::ui::Application::shared().applicationIconBadgeNumber(), 2);
    EXPECT_TRUE(center.scheduledLocalNotifications().isEmpty());
}

TEST_F(AppDelegateTest, PaletteColoursComeFromTheSettingsDictionaries)
{
    launch();
    KivotabPrefernces* settings = delegate->kivotabPreferences();
    settings->setBarthemeColor(
        QVariantMap { { DefaultContent::ColorValueColumnId, "{0.5000, 1.0000}" } });
    const QVariant grey = delegate->barColor();
    ASSERT_EQ(grey.metaType(), QMetaType::fromType<Color>());
    double red = 0, green = 0, blue = 0, alpha = 0;
    ASSERT_TRUE(grey.value<Color>().getRed(&red, &green, &blue, &alpha));
    EXPECT_NEAR(red, 0.5, 1e-9);
    EXPECT_NEAR(blue, 0.5, 1e-9);
    EXPECT_NEAR(alpha, 1.0, 1e-9);
    settings->setBarthemeColor(QVariantMap { { "other", "{0.5000, 1.0000}" } });
    EXPECT_FALSE(delegate->barColor().isValid());
    settings->setImagethemeColor(QVariantMap { { DefaultContent::ColorValueColumnId, "bogus" } });
    EXPECT_FALSE(delegate->imageColor().isValid());
    EXPECT_TRUE(delegate->tilesColor().isValid());
    EXPECT_FALSE(delegate->cloudAvailable());
    EXPECT_FALSE(delegate->cloudEnabled());
    EXPECT_EQ(AppDelegate::getKivotabUrl("help", true), "https://www.solvane.net/kivotab/help");
    EXPECT_EQ(AppDelegate::getKivotabUrl("help", false), "http://www.solvane.net/kivotab/help");
}

} // namespace
