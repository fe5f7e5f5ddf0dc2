#include "CloudStoreFixture.h"

#include "model/CSMCorruptedUUIDPresenter.h"
#include "model/CSMStoreUUIDPresenter.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/FileVersion.h"
#include "platform/coredata/MetadataQuery.h"
#include "platform/ui/Application.h"

#include <QThread>

#include <chrono>
#include <thread>

using namespace cloudstoretest;

namespace {

// A marker presenter that counts what reaches it.
class CountingPresenter : public CSMFileContentPresenter {
public:
    CountingPresenter(const QUrl& url, CloudStoreManager& manager)
        : CSMFileContentPresenter(url, manager, "CountingPresenter")
    {
    }
    void presentedItemDidChange() override { ++changes; }
    std::atomic<int> changes { 0 };
};

} // namespace

TEST_F(CloudStoreTest, AnIdentityComesFromTheTentativeOneElseTheCacheElseTheMarker)
{
    start(false);
    EXPECT_TRUE(manager->storeUUID_ThreadSafe().isEmpty());
    QString made;
    manager->enqueue([&] { made = manager->storeUUID(); }, true);
    EXPECT_EQ(made.size(), 36);
    EXPECT_EQ(manager->tentativeStoreUUID(), made);

    const QString marker = manager->URLForCloudStoreUUID().toLocalFile();
    writeFile(marker, "MARKED");
    EXPECT_EQ(manager->storeUUID_ThreadSafe(), made) << "a tentative identity wins";
    manager->unsetTentativeStoreUUID();
    EXPECT_EQ(manager->storeUUID_ThreadSafe(), "MARKED");
    writeFile(marker, "CHANGED");
    EXPECT_EQ(manager->storeUUID_ThreadSafe(), "MARKED") << "the cache answers until read again";
    EXPECT_EQ(manager->readStoreUUID(), "CHANGED");
    EXPECT_EQ(manager->storeUUID_ThreadSafe(), "CHANGED");
    QFile::remove(marker);
    EXPECT_TRUE(manager->readStoreUUID().isEmpty());
    EXPECT_TRUE(manager->storeUUID_ThreadSafe().isEmpty()) << "a missing marker clears the cache";
}

TEST_F(CloudStoreTest, WritingAnOlderVersionRemovesTheNewerMarkersAndItsCorruptionMark)
{
    start(false);
    manager->enqueue([&] { manager->setStoreUUID("FIRST"); }, true);
    const QString logs = cloudFolder() + "/net.solvane.kivotab/CloudLogs/";
    EXPECT_EQ(readFile(logs + "StoreUUID+"), "FIRST");
    writeFile(logs + "CorruptedUUID", "SECOND");
    manager->enqueue([&] { manager->setStoreUUID("SECOND", 0); }, true);
    EXPECT_EQ(readFile(logs + "StoreUUID"), "SECOND");
    EXPECT_FALSE(QFileInfo::exists(logs + "StoreUUID+"));
    EXPECT_FALSE(QFileInfo::exists(logs + "CorruptedUUID"));
    EXPECT_TRUE(delegate.logged("Removing StoreUUID+ (v1) to force version down to 0."));
    EXPECT_EQ(manager->storeUUID_ThreadSafe(), "SECOND");
}

TEST_F(CloudStoreTest, ACorruptionReportMarksOnlyTheStoreItNames)
{
    start(true);
    const QString uuid = manager->activeCloudStoreUUID();
    const QString marker = manager->URLForCloudCorruptedUUID().toLocalFile();
    auto post = [](const QVariantMap& info) {
        platform::NotificationCenter::defaultCenter().post(
            CloudStoreManager::DidDetectCorruptionNotification, nullptr, info);
    };
    post({ { CloudStoreManager::StoreURLsErrorKey,
        QVariantList { QUrl::fromLocalFile("/elsewhere/OTHER.sqlite") } } });
    drain();
    EXPECT_FALSE(QFileInfo::exists(marker));

    delegate.handlesCorruption = true;
    post({});
    drain();
    EXPECT_EQ(readFile(marker), uuid.toLatin1()) << "a report naming no store marks this one";
    EXPECT_TRUE(delegate.logged("Application handled cloud corruption."));
    EXPECT_TRUE(delegate.allEvents().contains("corruption:0"));
}

TEST_F(CloudStoreTest, ACorruptionReportWithoutAnIdentityIsIgnored)
{
    start(false);
    platform::NotificationCenter::defaultCenter().post(
        CloudStoreManager::DidDetectCorruptionNotification, nullptr,
        { { CloudStoreManager::StoreURLsErrorKey, QVariantList { QUrl("file:///x") } } });
    drain();
    EXPECT_TRUE(manager->localCloudStoreCorruptedUUID().isEmpty());
    bool handled = true;
    manager->enqueue([&] { handled = manager->handleCloudContentCorruption(); }, true);
    EXPECT_FALSE(handled) << "with the cloud off there is nothing to handle";
}

TEST_F(CloudStoreTest, AHealthyDeviceRebuildsContentAnotherDeviceMarkedCorrupt)
{
    start(true);
    addDatabases({ "C1" });
    const QString uuid = manager->activeCloudStoreUUID();
    // Another device marks the store corrupt.
    writeFile(manager->URLForCloudCorruptedUUID().toLocalFile(), uuid.toLatin1());
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            const QString now = manager->activeCloudStoreUUID();
            return !now.isEmpty() && now != uuid;
        },
        20000))
        << delegate.allLogs().join('\n').toStdString();
    drain();
    EXPECT_TRUE(delegate.logged("Cloud content corruption detected (device store is healthy)."));
    EXPECT_TRUE(delegate.logged(
        "Handling cloud corruption with default strategy: Rebuilding cloud content."));
    EXPECT_FALSE(QFileInfo::exists(manager->URLForCloudCorruptedUUID().toLocalFile()))
        << "the new identity starts without a mark";
    testsupport::waitUntil([&] { return databaseIds() == QStringList { "C1" }; });
    EXPECT_EQ(databaseIds(), QStringList { "C1" });
}

TEST_F(CloudStoreTest, ACorruptDeviceClosesItsStoreAndWaits)
{
    start(true);
    manager->markCloudStoreCorrupted();
    drain();
    EXPECT_TRUE(delegate.logged("Cloud content corruption detected (device store is corrupt)."));
    EXPECT_TRUE(delegate.logged(
        "Handling cloud corruption with default strategy: Wait for a remote rebuild."));
    EXPECT_TRUE(manager->persistentStoreCoordinator()->persistentStores().isEmpty());
    EXPECT_TRUE(delegate.allEvents().contains("corruption:0"));
}

TEST_F(CloudStoreTest, ActivationOnASignedOutDeviceLooksAtTheAccountAgain)
{
    signOut();
    start(false);
    delegate.takeLogs();
    platform::NotificationCenter::defaultCenter().post(
        platform::ui::Application::DidBecomeActiveNotification);
    EXPECT_TRUE(delegate.logged("Identity token changed: (null) -> (null)"));
    drain();
    EXPECT_EQ(delegate.loads, 1) << "the cloud is off: nothing reloads";

    // Signing in is noticed and, with the cloud on, the cloud store loads.
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
    drain();
    QDir().mkpath(cloudFolder());
    platform::NotificationCenter::defaultCenter().post(
        platform::ui::Application::DidBecomeActiveNotification);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return loadedStoreFile().startsWith(appSupport() + "/CloudStore/"); }, 20000));
    EXPECT_TRUE(manager->cloudAvailable());
}

TEST_F(CloudStoreTest, AnyDefaultsChangeReloadsWhileNoStoreIsLoaded)
{
    writeFile(appSupport() + "/Kivotab.sqlite", "no database");
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, false);
    manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, &delegate);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.failures >= 1; }, 20000));
    QFile::remove(appSupport() + "/Kivotab.sqlite");
    platform::UserDefaults::standard().setObject("anything", 1);
    waitForLoads(1);
    EXPECT_EQ(manager->enabledStore(), CloudStoreManager::EnabledStoreLocal);
}

TEST_F(CloudStoreTest, ANewIdentityFromAnotherDeviceLoadsItsStore)
{
    start(true);
    const QString first = manager->activeCloudStoreUUID();
    writeFile(
        manager->URLForCloudStoreUUID().toLocalFile(), "0A839837-0000-4DEE-9490-3F22311F4F9E");
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return manager->activeCloudStoreUUID() == "0A839837-0000-4DEE-9490-3F22311F4F9E"; },
        20000))
        << delegate.allLogs().join('\n').toStdString();
    EXPECT_NE(first, manager->activeCloudStoreUUID());
    EXPECT_EQ(loadedStoreFile(),
        appSupport() + "/CloudStore/0A839837-0000-4DEE-9490-3F22311F4F9E.sqlite");
}

TEST_F(CloudStoreTest, CloudDataDeletedElsewhereFallsBackToTheLocalStore)
{
    start(true);
    addDatabases({ "C1" });
    const QString store = loadedStoreFile();
    QFile::remove(manager->URLForCloudStoreUUID().toLocalFile());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !manager->cloudEnabled(); }, 20000));
    waitForLoads(2);
    EXPECT_TRUE(delegate.logged("Handling cloud deletion."));
    EXPECT_TRUE(delegate.logged("Recovering from cloud deletion.  Falling back to local store."));
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_FALSE(QFileInfo::exists(store));
}

TEST_F(CloudStoreTest, ADelegateThatHandlesCloudDeletionKeepsTheCloudOn)
{
    delegate.handlesDeletion = true;
    start(true);
    QFile::remove(manager->URLForCloudStoreUUID().toLocalFile());
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return delegate.allEvents().contains("cloudDeletion"); }, 20000));
    EXPECT_TRUE(manager->cloudEnabled());
}

TEST_F(CloudStoreTest, ImportedChangesAreMergedIntoTheDelegatesContextWhenItNamesOne)
{
    start(true);
    addDatabases({ "D1" });
    auto context = delegate.currentContext();
    cd::FetchRequest request("Database");
    auto* object = context->executeFetchRequest(request).value(0);
    ASSERT_TRUE(object);
    delegate.mergeInto = context.get();
    QVariantMap info { { "updated", QVariantList { QVariant::fromValue(object->objectID()) } } };
    // What another machine changed underneath.
    auto other = std::make_shared<cd::ManagedObjectContext>();
    other->setPersistentStoreCoordinator(manager->persistentStoreCoordinator());
    other->executeFetchRequest(request).value(0)->setValue("name", "Renamed");
    ASSERT_TRUE(other->save());
    std::atomic<bool> announced { false };
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::StoreDidImportChangesNotification, manager.get(),
        [&](const platform::Notification&) { announced = platform::dispatch::isMainThread(); });
    std::thread importer([&] {
        manager->didImportChanges({ cd::DidImportUbiquitousContentChangesNotification,
            manager->persistentStoreCoordinator().get(), info });
    });
    ASSERT_TRUE(testsupport::waitUntil([&] { return announced.load(); }));
    importer.join();
    EXPECT_EQ(object->value("name"), "Renamed");
    EXPECT_TRUE(delegate.allLogs().join('\n').contains("Importing ubiquity changes into "
                                                       "application's MOC.  Changes:\n"));
    delegate.mergeInto = nullptr;
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

// The import's thread hands the merge to the main queue and goes on: it never waits for
// the main queue, which may itself be waiting for the manager to go (shutting down). The
// context is asked for and merged into in that one main-queue turn, and only then are the
// screens told.
TEST_F(CloudStoreTest, AnImportsThreadNeverWaitsForTheMainQueueToMerge)
{
    start(true);
    addDatabases({ "D1" });
    auto context = delegate.currentContext();
    cd::ManagedObject* object = context->executeFetchRequest(cd::FetchRequest("Database")).value(0);
    ASSERT_TRUE(object);
    delegate.mergeInto = context.get();
    auto other = std::make_shared<cd::ManagedObjectContext>();
    other->setPersistentStoreCoordinator(manager->persistentStoreCoordinator());
    other->executeFetchRequest(cd::FetchRequest("Database")).value(0)->setValue("name", "Renamed");
    ASSERT_TRUE(other->save());
    std::atomic<bool> announced { false };
    QString nameWhenAnnounced;
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::StoreDidImportChangesNotification, manager.get(),
        [&](const platform::Notification&) {
            nameWhenAnnounced = object->value("name").toString();
            announced = true;
        });
    const QVariantMap info { { "updated",
        QVariantList { QVariant::fromValue(object->objectID()) } } };
    // Posted as the store posts an import, from a thread of its own, while the main queue
    // runs nothing.
    std::atomic<bool> posted { false };
    std::thread importer([&] {
        platform::NotificationCenter::defaultCenter().post(
            cd::DidImportUbiquitousContentChangesNotification,
            manager->persistentStoreCoordinator().get(), info);
        posted = true;
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!posted && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(posted.load()) << "the import's thread waited for the main queue";
    EXPECT_FALSE(announced.load());
    ASSERT_TRUE(testsupport::waitUntil([&] { return announced.load(); }));
    importer.join();
    EXPECT_EQ(nameWhenAnnounced, "Renamed");
    delegate.mergeInto = nullptr;
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(CloudStoreTest, MarkerConflictsSettleOnTheOldestIdentityAndTheNewestMark)
{
    start(false);
    auto storeUUID = CSMStoreUUIDPresenter::initWithUSM(*manager);
    auto corrupted = CSMCorruptedUUIDPresenter::initWithUSM(*manager);
    const QUrl idMarker = storeUUID->presentedItemURL();
    const QUrl markMarker = corrupted->presentedItemURL();

    // Nothing to resolve: the file stays as it is.
    writeFile(idMarker.toLocalFile(), "CURRENT");
    storeUUID->handleConflicts();
    EXPECT_EQ(readFile(idMarker.toLocalFile()), "CURRENT");

    const QDateTime old = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    const QDateTime older = QDateTime::fromSecsSinceEpoch(500, Qt::UTC);
    cd::FileVersion::addConflictVersion(idMarker, "OLD", old);
    cd::FileVersion::addConflictVersion(idMarker, "OLDEST", older);
    storeUUID->handleConflicts();
    EXPECT_EQ(readFile(idMarker.toLocalFile()), "OLDEST");
    EXPECT_TRUE(cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(idMarker).isEmpty());

    writeFile(markMarker.toLocalFile(), "CURRENT");
    cd::FileVersion::addConflictVersion(markMarker, "OLD", old);
    corrupted->handleConflicts();
    EXPECT_EQ(readFile(markMarker.toLocalFile()), "CURRENT") << "the current one is the newest";
    EXPECT_TRUE(cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(markMarker).isEmpty());
}

TEST_F(CloudStoreTest, AMarkerQueryReportsOnlyItsOwnFileAndOnlyWhileStarted)
{
    start(false);
    const QUrl marker = manager->URLForCloudStoreUUID();
    auto presenter = std::make_shared<CountingPresenter>(marker, *manager);
    presenter->start();
    ASSERT_TRUE(testsupport::waitUntil([&] { return presenter->query()->isStarted(); }));
    testsupport::processEvents(200);
    // A file of the same name in another container is not this presenter's.
    writeFile(cloudFolder() + "/other.container/CloudLogs/StoreUUID+", "ELSEWHERE");
    testsupport::processEvents(300);
    EXPECT_EQ(presenter->changes, 0);

    writeFile(marker.toLocalFile(), "MINE");
    EXPECT_TRUE(testsupport::waitUntil([&] { return presenter->changes > 0; }));
    presenter->stop();
    testsupport::processEvents(100);
    const int seen = presenter->changes;
    QThread::msleep(20);
    writeFile(marker.toLocalFile(), "AGAIN, LONGER");
    testsupport::processEvents(300);
    EXPECT_EQ(presenter->changes, seen);
}

TEST_F(CloudStoreTest, APresenterWithoutAFileHasNoQuery)
{
    signOut();
    start(false);
    auto presenter = std::make_shared<CountingPresenter>(QUrl(), *manager);
    EXPECT_EQ(presenter->query(), nullptr);
    presenter->start();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return delegate.allLogs().contains("Couldn't start monitor query for , already running?");
    }));
    presenter->stop();
}
