#include "CloudStoreFixture.h"

#include "platform/NotificationCenter.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace cloudstoretest;

namespace {

// A local store at the path holding `count` objects of every entity.
void makeStore(const QString& path, int count, const QVariantMap& metadata = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
    auto store = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path),
        { { cd::MigratePersistentStoresAutomaticallyOption, true },
            { cd::InferMappingModelAutomaticallyOption, true } });
    ASSERT_TRUE(store);
    cd::ManagedObjectContext context(cd::ManagedObjectContext::ConcurrencyType::Confinement);
    context.setPersistentStoreCoordinator(coordinator);
    for (const auto* entity : model()->entities()) {
        for (int i = 0; i < count; ++i) {
            auto* object = context.insertNewObject(entity->name());
            object->setValue("id", QStringLiteral("%1-%2").arg(entity->name()).arg(i));
        }
    }
    ASSERT_TRUE(context.save());
    if (!metadata.isEmpty()) {
        QVariantMap values = coordinator->metadataForPersistentStore(store);
        values.insert(metadata);
        ASSERT_TRUE(coordinator->setMetadata(values, store));
    }
    EXPECT_TRUE(coordinator->removePersistentStore(store));
}

// How many objects of each entity the store file holds.
QMap<QString, int> countsIn(const QString& path, const QVariantMap& options = {})
{
    QMap<QString, int> counts;
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
    QVariantMap read = options;
    if (read.isEmpty())
        read.insert(cd::ReadOnlyPersistentStoreOption, true);
    if (!coordinator->addPersistentStore(cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path), read))
        return counts;
    cd::ManagedObjectContext context(cd::ManagedObjectContext::ConcurrencyType::Confinement);
    context.setPersistentStoreCoordinator(coordinator);
    for (const auto* entity : model()->entities())
        counts.insert(entity->name(),
            int(context.countForFetchRequest(cd::FetchRequest(entity->name())).value_or(-1)));
    return counts;
}

QMap<QString, int> everyEntity(int count)
{
    QMap<QString, int> counts;
    for (const auto* entity : model()->entities())
        counts.insert(entity->name(), count);
    return counts;
}

} // namespace

TEST_F(CloudStoreTest, ALocalLoadOpensTheLocalStoreAndTellsTheApplication)
{
    QStringList posted;
    auto& center = platform::NotificationCenter::defaultCenter();
    const auto t1 = center.addObserver(CloudStoreManager::StoreWillChangeNotification, nullptr,
        [&](const platform::Notification& n) { posted << n.name; });
    const auto t2 = center.addObserver(CloudStoreManager::StoreDidChangeNotification, nullptr,
        [&](const platform::Notification& n) { posted << n.name; });
    start(false);
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_EQ(manager->enabledStore(), CloudStoreManager::EnabledStoreLocal);
    EXPECT_EQ(delegate.allEvents(), (QStringList { "willLoad:0", "didLoad:0" }));
    EXPECT_EQ(posted,
        (QStringList { CloudStoreManager::StoreWillChangeNotification,
            CloudStoreManager::StoreDidChangeNotification }));
    EXPECT_TRUE(delegate.logged("Loading store..."));
    EXPECT_TRUE(delegate.logged("Successfully loaded local store."));

    // Called off the queue it returns at once and reloads there.
    delegate.takeLogs();
    manager->reloadStore();
    waitForLoads(2);
    EXPECT_TRUE(delegate.logged("Reloading store..."));
    center.removeObserver(t1);
    center.removeObserver(t2);
}

TEST_F(CloudStoreTest, ACloudLoadWritesTheIdentityAndOpensItsStore)
{
    start(true);
    const QString uuid = manager->activeCloudStoreUUID();
    ASSERT_EQ(uuid.size(), 36);
    EXPECT_EQ(uuid, uuid.toUpper());
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/CloudStore/" + uuid + ".sqlite");
    EXPECT_EQ(readFile(manager->URLForCloudStoreUUID().toLocalFile()), uuid.toLatin1());
    EXPECT_TRUE(manager->tentativeStoreUUID().isEmpty());
    EXPECT_EQ(manager->enabledStore(), CloudStoreManager::EnabledStoreCloud);
    EXPECT_TRUE(delegate.allEvents().contains("didLoad:1"));
    EXPECT_TRUE(QFileInfo(cloudFolder() + "/net.solvane.kivotab/CloudLogs/" + uuid).isDir());
    EXPECT_TRUE(delegate.logged(
        "[DEBUG] Will NOT migrate to cloud store from: Kivotab.sqlite (strategy: 2)."))
        << "a local store that does not exist seeds nothing";
}

TEST_F(CloudStoreTest, WithoutAnAccountTheCloudSettingFallsBackToTheLocalStore)
{
    signOut();
    start(true);
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_FALSE(manager->cloudEnabled());
    EXPECT_TRUE(delegate.allEvents().contains("cloudDisabled"));
    EXPECT_TRUE(delegate.logged("Cannot load cloud store: User is not logged into iCloud.  "
                                "Falling back to local store."));

    // The local store in use: switching the setting on reloads nothing and asks nothing.
    const int asked = delegate.allEvents().count("cloudDisabled");
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
    drain();
    EXPECT_EQ(delegate.allEvents().count("cloudDisabled"), asked);
    EXPECT_EQ(delegate.loads, 1);
    EXPECT_FALSE(manager->tryLoadCloudStore());
    EXPECT_TRUE(delegate.logged("Could not load cloud store: User is not logged into iCloud."));
}

TEST_F(CloudStoreTest, ADelegateThatHandlesTheMissingAccountGetsNoStore)
{
    signOut();
    delegate.handlesCloudDisabled = true;
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
    manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, &delegate);
    drain();
    EXPECT_EQ(delegate.loads, 0);
    EXPECT_TRUE(manager->persistentStoreCoordinator()->persistentStores().isEmpty());
    EXPECT_TRUE(manager->cloudEnabled());
}

TEST_F(CloudStoreTest, SeedOptionsFollowTheSeedsNameAndPlace)
{
    start(false);
    EXPECT_FALSE(manager->optionsForMigrationStoreURL({}));
    const auto source
        = manager->optionsForMigrationStoreURL(QUrl::fromLocalFile("/x/MigrationSource.sqlite"));
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->value(cd::PersistentStoreRemoveUbiquitousMetadataOption).toBool());
    EXPECT_FALSE(source->contains(cd::ReadOnlyPersistentStoreOption));

    const auto cloud
        = manager->optionsForMigrationStoreURL(QUrl::fromLocalFile("/x/CloudStore/U9.sqlite"));
    ASSERT_TRUE(cloud);
    EXPECT_EQ(cloud->value(cd::PersistentStoreUbiquitousContentNameKey), "U9");
    EXPECT_EQ(cloud->value(cd::PersistentStoreUbiquitousContentURLKey), "CloudLogs/U9");

    // A folder that merely has the word in its name holds no cloud store.
    const QString backup = testsupport::homePath() + "/MyCloudStoreBackups/Old.sqlite";
    EXPECT_FALSE(manager->optionsForMigrationStoreURL(QUrl::fromLocalFile(backup)));
    makeStore(backup, 1);
    const auto local = manager->optionsForMigrationStoreURL(QUrl::fromLocalFile(backup));
    ASSERT_TRUE(local);
    EXPECT_TRUE(local->value(cd::ReadOnlyPersistentStoreOption).toBool());
    EXPECT_FALSE(local->contains(cd::PersistentStoreUbiquitousContentNameKey));
}

TEST_F(CloudStoreTest, TheApplicationsStoreOptionsReplaceTheManagersOwn)
{
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, false);
    manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {},
        { { cd::InferMappingModelAutomaticallyOption, false },
            { cd::ReadOnlyPersistentStoreOption, false }, { "custom", 1 } },
        &delegate);
    drain();
    const QVariantMap local = manager->optionsForLocalStore();
    EXPECT_FALSE(local.value(cd::InferMappingModelAutomaticallyOption).toBool());
    EXPECT_EQ(local.value("custom"), 1);
    EXPECT_FALSE(manager->optionsForCloudStoreURL(manager->URLForCloudStoreWithUUID("U"))
                     .value(cd::InferMappingModelAutomaticallyOption)
                     .toBool());
    const QString seed = testsupport::homePath() + "/Seed.sqlite";
    makeStore(seed, 1);
    EXPECT_TRUE(manager->optionsForMigrationStoreURL(QUrl::fromLocalFile(seed))
                    ->value(cd::ReadOnlyPersistentStoreOption)
                    .toBool())
        << "a local seed is read only, whatever the options say";
}

TEST_F(CloudStoreTest, AFailedCloudLoadIsRetriedByRebuildingFromTheCloudAndNoticedOnce)
{
    start(true);
    addDatabases({ "D1", "D2" });
    const QString store = loadedStoreFile();
    manager.reset();
    writeFile(store, "no database at all");
    writeFile(store + "-wal", "");

    delegate.loads = 0;
    delegate.events.clear();
    start(true);
    EXPECT_TRUE(delegate.logged("Attempting recovery by rebuilding from cloud content."));
    EXPECT_TRUE(delegate.reportedCause(CloudStoreErrorCauseOpenActiveStore));
    EXPECT_EQ(delegate.loads, 1);
    EXPECT_EQ(delegate.failures, 0);
    EXPECT_EQ(delegate.allEvents().count("didLoad:1"), 1);
    EXPECT_EQ(databaseIds(), (QStringList { "D1", "D2" }));
    EXPECT_FALSE(manager->attemptCloudRecovery());
}

TEST_F(CloudStoreTest, ACloudStoreThatCannotLoadIsReportedAndMarkedCorrupt)
{
    start(true);
    const QString uuid = manager->activeCloudStoreUUID();
    manager.reset();
    // Nothing can be made where the cloud stores go.
    QDir(appSupport() + "/CloudStore").removeRecursively();
    writeFile(appSupport() + "/CloudStore", "in the way");

    delegate.loads = 0;
    manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, &delegate);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.failures == 1; }, 20000));
    drain();
    EXPECT_TRUE(delegate.allEvents().contains("failed:CloudStoreErrorCauseCreateStorePath:1"));
    EXPECT_EQ(delegate.loads, 0);
    EXPECT_TRUE(delegate.logged("Failed to load cloud store. Marking cloud store as corrupt. Store "
                                "will be unavailable."));
    EXPECT_EQ(readFile(manager->URLForCloudCorruptedUUID().toLocalFile()), uuid.toLatin1());
    EXPECT_EQ(manager->localCloudStoreCorruptedUUID(), uuid);
    EXPECT_EQ(manager->enabledStore(), CloudStoreManager::EnabledStoreNone);
    EXPECT_TRUE(manager->persistentStoreCoordinator()->persistentStores().isEmpty());
}

TEST_F(CloudStoreTest, ALocalStoreThatCannotLoadIsReportedAsSuch)
{
    writeFile(appSupport() + "/Kivotab.sqlite", "no database at all");
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, false);
    manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, &delegate);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.failures == 1; }, 20000));
    EXPECT_TRUE(delegate.allEvents().contains("failed:CloudStoreErrorCauseOpenActiveStore:0"));
    bool reported = false;
    for (const auto& error : delegate.allErrors())
        reported |= error.error.localizedFailureReason() == "Failed to load local store.";
    EXPECT_TRUE(reported);
    EXPECT_EQ(manager->enabledStore(), CloudStoreManager::EnabledStoreNone);
}

TEST_F(CloudStoreTest, AnExistingLocalStoreIsNeverSeededButTheDelegateIsAsked)
{
    start(false);
    const QString seed = testsupport::homePath() + "/Seed.sqlite";
    makeStore(seed, 3);
    manager->setMigrationStoreURL(QUrl::fromLocalFile(seed));
    manager->reloadStore();
    waitForLoads(2);
    EXPECT_TRUE(delegate.allEvents().contains("shouldMigrate:Seed.sqlite->Kivotab.sqlite:0"));
    EXPECT_EQ(databaseIds(), QStringList {});
    EXPECT_TRUE(manager->migrationStoreURL().isEmpty()) << "consumed by the successful load";
}

class MigrationStrategyTest : public CloudStoreTest, public ::testing::WithParamInterface<int> { };

TEST_P(MigrationStrategyTest, SeedingTheCloudFromTheLocalStoreKeepsEveryObject)
{
    makeStore(appSupport() + "/Kivotab.sqlite", 40);
    delegate.manualMigration
        = [](const QUrl& from, const QVariantMap&, const QUrl& to, const QVariantMap&,
              platform::Error*) { return QFile::copy(from.toLocalFile(), to.toLocalFile()); };
    start(false);
    manager->setMigrationStrategy(GetParam());
    delegate.takeLogs();
    manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(
        [](CloudStoreManager::Answer) { FAIL() << "nothing to overwrite: nobody is asked"; });
    waitForLoads(2);
    ASSERT_TRUE(manager->cloudEnabled());
    const QString cloud = loadedStoreFile();
    ASSERT_TRUE(cloud.startsWith(appSupport() + "/CloudStore/")) << cloud.toStdString();
    const int expected = GetParam() == CloudStoreMigrationStrategyNone ? 0 : 40;
    auto context = delegate.currentContext();
    for (const auto* entity : model()->entities()) {
        EXPECT_EQ(context->countForFetchRequest(cd::FetchRequest(entity->name())).value_or(-1),
            quint64(expected))
            << entity->name().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(appSupport() + "/CopyMigrationStore.sqlite"))
        << "the copy of the read-only seed is gone";
    EXPECT_EQ(countsIn(appSupport() + "/Kivotab.sqlite"), everyEntity(40)) << "the seed is kept";
    EXPECT_EQ(delegate.logged("Loading store: " + QFileInfo(cloud).fileName()),
        GetParam() != CloudStoreMigrationStrategyIOS)
        << "the platform's migration leaves its store in the coordinator";
}

INSTANTIATE_TEST_SUITE_P(EveryStrategy, MigrationStrategyTest,
    ::testing::Values(CloudStoreMigrationStrategyCopyEntities, CloudStoreMigrationStrategyIOS,
        CloudStoreMigrationStrategyManual, CloudStoreMigrationStrategyNone));

TEST_F(CloudStoreTest, ASeedWhoseLastSavesAreStillInItsLogIsSeededWhole)
{
    start(false);
    const QString seed = testsupport::homePath() + "/Seed.sqlite";
    makeStore(seed, 2);
    // Saves not yet carried from the log into the file, as a process that ended before it
    // closed the store leaves them (here one that is still running).
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
    auto store = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, QUrl::fromLocalFile(seed),
        { { cd::MigratePersistentStoresAutomaticallyOption, true } });
    ASSERT_TRUE(store);
    {
        cd::ManagedObjectContext context(cd::ManagedObjectContext::ConcurrencyType::Confinement);
        context.setPersistentStoreCoordinator(coordinator);
        for (int i = 0; i < 3; ++i)
            context.insertNewObject("Database")->setValue("id", QStringLiteral("late-%1").arg(i));
        ASSERT_TRUE(context.save());
    }
    ASSERT_GT(QFileInfo(seed + "-wal").size(), 0);

    const QString target = testsupport::homePath() + "/Target/Target.sqlite";
    platform::Error error;
    qint32 cause = -1;
    QVariant context;
    EXPECT_TRUE(
        manager->migrateStore(QUrl::fromLocalFile(seed), std::nullopt, QUrl::fromLocalFile(target),
            {}, CloudStoreMigrationStrategyCopyEntities, &error, &cause, &context))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(countsIn(target).value("Database"), 5);
    EXPECT_FALSE(QFileInfo::exists(testsupport::homePath() + "/CopyMigrationStore.sqlite-wal"));
    EXPECT_TRUE(coordinator->removePersistentStore(store));
}

TEST_F(CloudStoreTest, AnUnknownOrMissingStrategyFailsWithItsCause)
{
    start(false);
    const QString seed = testsupport::homePath() + "/Seed.sqlite";
    const QString target = testsupport::homePath() + "/Target/Target.sqlite";
    makeStore(seed, 2);
    platform::Error error;
    qint32 cause = -1;
    QVariant context;
    EXPECT_FALSE(manager->migrateStore(QUrl::fromLocalFile(seed), std::nullopt,
        QUrl::fromLocalFile(target), {}, 9, &error, &cause, &context));
    EXPECT_EQ(cause, CloudStoreErrorCauseSeedStore);
    EXPECT_FALSE(error.isNull());

    // The manual strategy without the delegate's migration.
    cause = -1;
    EXPECT_FALSE(
        manager->migrateStore(QUrl::fromLocalFile(seed), std::nullopt, QUrl::fromLocalFile(target),
            {}, CloudStoreMigrationStrategyManual, &error, &cause, &context));
    EXPECT_EQ(cause, CloudStoreErrorCauseSeedStore);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(testsupport::homePath() + "/CopyMigrationStore.sqlite"))
        << "the copy is gone after a failure too";

    // Nothing to seed from: only the target's folder is made.
    const QString fresh = testsupport::homePath() + "/Fresh/Store.sqlite";
    EXPECT_TRUE(manager->migrateStore({}, std::nullopt, QUrl::fromLocalFile(fresh), {},
        CloudStoreMigrationStrategyNone, &error, &cause, &context));
    EXPECT_EQ(cause, CloudStoreErrorCauseNoError);
    EXPECT_TRUE(QFileInfo(QFileInfo(fresh).absolutePath()).isDir());
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST_F(CloudStoreTest, AnUnknownStrategyNeverPassesForALoadedStore)
{
    makeStore(appSupport() + "/Kivotab.sqlite", 2);
    start(false);
    manager->setMigrationStrategy(9);
    manager->setCloudEnabled(true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.failures == 1; }, 20000));
    drain();
    EXPECT_TRUE(delegate.allEvents().contains("failed:CloudStoreErrorCauseSeedStore:1"));
    EXPECT_EQ(delegate.loads, 1);
    EXPECT_TRUE(manager->persistentStoreCoordinator()->persistentStores().isEmpty());
}

TEST_F(CloudStoreTest, CopyingObjectByObjectLeavesTheCloudKeysOfTheSeedBehind)
{
    start(false);
    const QString seed = testsupport::homePath() + "/Seed.sqlite";
    const QString target = testsupport::homePath() + "/Copy.sqlite";
    makeStore(seed, 5,
        { { "custom", "seed" }, { "com.apple.coredata.ubiquity.peer", "old" },
            { "shared", "seed" } });
    makeStore(target, 0, { { "shared", "target" } });
    platform::Error error;
    qint32 cause = -1;
    ASSERT_TRUE(
        manager->copyMigrateStore(QUrl::fromLocalFile(seed), {}, QUrl::fromLocalFile(target),
            { { cd::MigratePersistentStoresAutomaticallyOption, true },
                { cd::InferMappingModelAutomaticallyOption, true } },
            &error, &cause, nullptr))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(countsIn(target), everyEntity(5));
    const auto metadata = cd::PersistentStoreCoordinator::metadataForPersistentStoreOfType(
        cd::SQLiteStoreType, QUrl::fromLocalFile(target));
    ASSERT_TRUE(metadata);
    EXPECT_EQ(metadata->value("custom"), "seed");
    EXPECT_EQ(metadata->value("shared"), "target");
    EXPECT_FALSE(metadata->contains("com.apple.coredata.ubiquity.peer"));
}

TEST_F(CloudStoreTest, AnObjectReachedTwiceIsCopiedOnce)
{
    start(false);
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
    ASSERT_TRUE(coordinator->addPersistentStore(
        cd::SQLiteStoreType, {}, QUrl::fromLocalFile(testsupport::homePath() + "/T.sqlite"), {}));
    cd::ManagedObjectContext source;
    source.setPersistentStoreCoordinator(coordinator);
    cd::ManagedObjectContext target;
    target.setPersistentStoreCoordinator(coordinator);
    auto* object = source.insertNewObject("Template");
    object->setValue("name", "Kept");
    QHash<const cd::ManagedObject*, cd::ManagedObject*> cache;
    EXPECT_EQ(manager->copyMigrateObject(nullptr, target, cache), nullptr);
    auto* copy = manager->copyMigrateObject(object, target, cache);
    ASSERT_TRUE(copy);
    EXPECT_EQ(manager->copyMigrateObject(object, target, cache), copy);
    EXPECT_EQ(copy->value("name"), "Kept");
    EXPECT_EQ(target.insertedObjects().size(), 1);
}

// The owner lets go of the manager while one of its jobs runs on another thread: the manager
// goes then and there, after the job, so the delegate the owner drops next is never reached
// by it (a job that owned the manager used to outlive it and log into the gone delegate).
TEST_F(CloudStoreTest, LettingGoWaitsForAJobUnderWayWhichThenNeverReachesAGoneDelegate)
{
    auto owned = std::make_unique<TestDelegate>();
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, false);
    auto made = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, owned.get());
    ASSERT_TRUE(testsupport::waitUntil([&] { return owned->loads >= 1; }, 20000));

    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool delegateGone = false;
    made->enqueue(
        [&, raw = made.get()] {
            std::unique_lock lock(mutex);
            started = true;
            changed.notify_all();
            // Until the delegate is gone; only a bound when letting go waits for this job.
            changed.wait_for(lock, std::chrono::milliseconds(500), [&] { return delegateGone; });
            lock.unlock();
            raw->log(QStringLiteral("The job's last words."));
        },
        false, false);
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started; });
    }
    const std::weak_ptr<CloudStoreManager> weak = made;
    made.reset();
    EXPECT_TRUE(weak.expired()) << "gone when its owner lets go";
    EXPECT_TRUE(owned->logged("The job's last words.")) << "the job under way ended first";
    owned.reset();
    std::lock_guard lock(mutex);
    delegateGone = true;
    changed.notify_all();
}
