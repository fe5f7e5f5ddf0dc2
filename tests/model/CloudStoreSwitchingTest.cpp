#include "CloudStoreFixture.h"

#include "platform/coredata/FileCoordinator.h"
#include "platform/coredata/UbiquitousKeyValueStore.h"

#include <sqlite3.h>

using namespace cloudstoretest;

namespace {

CloudStoreManager::Confirmation answer(bool overwrite, std::atomic<int>* asked = nullptr)
{
    return [overwrite, asked](CloudStoreManager::Answer reply) {
        if (asked)
            ++*asked;
        reply(overwrite);
    };
}

void runSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

} // namespace

TEST_F(CloudStoreTest, SettingTheCloudToItsCurrentValueChangesNothing)
{
    start(false);
    delegate.takeLogs();
    manager->setCloudEnabled(false);
    drain();
    EXPECT_TRUE(delegate.takeLogs().isEmpty());
    EXPECT_EQ(delegate.loads, 1);

    manager->setCloudEnabled(true);
    waitForLoads(2);
    EXPECT_TRUE(delegate.logged("Switching cloud disabled -> enabled"));
    EXPECT_TRUE(loadedStoreFile().startsWith(appSupport() + "/CloudStore/"));
}

TEST_F(CloudStoreTest, EnablingWithNoCloudStoreCarriesTheLocalDataWithoutAsking)
{
    start(false);
    addDatabases({ "L1", "L2" });
    std::atomic<int> asked { 0 };
    EXPECT_FALSE(
        manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(answer(true, &asked)))
        << "queued from the main thread";
    waitForLoads(2);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(delegate.logged("Will enable cloud, using existing cloud store."));
    EXPECT_EQ(databaseIds(), (QStringList { "L1", "L2" }));

    // Already on: nothing is asked and nothing changes.
    EXPECT_TRUE(
        manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(answer(true, &asked)));
    drain();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(delegate.loads, 2);
}

TEST_F(CloudStoreTest, EnablingOverACloudStoreOverwritesItOnlyWhenTheUserSaysSo)
{
    start(true);
    addDatabases({ "C1" });
    const QString first = manager->activeCloudStoreUUID();
    manager->setCloudEnabled(false);
    waitForLoads(2);
    addDatabases({ "L1" });

    // No: the cloud's content stays and is used.
    std::atomic<int> asked { 0 };
    manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(answer(false, &asked));
    waitForLoads(3);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(delegate.logged("Will enable cloud, using existing cloud store."));
    EXPECT_EQ(manager->activeCloudStoreUUID(), first);
    EXPECT_EQ(databaseIds(), QStringList { "C1" });

    manager->setCloudEnabled(false);
    waitForLoads(4);
    EXPECT_EQ(databaseIds(), QStringList { "L1" });

    // Yes: a new cloud store from the local data replaces the old one everywhere.
    manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(answer(true, &asked));
    waitForLoads(5);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(delegate.logged("Will enable cloud, overwriting cloud store."));
    const QString second = manager->activeCloudStoreUUID();
    EXPECT_NE(second, first);
    EXPECT_EQ(databaseIds(), QStringList { "L1" });
    drain();
    EXPECT_FALSE(QFileInfo::exists(manager->URLForCloudStoreWithUUID(first).toLocalFile()));
    EXPECT_FALSE(QFileInfo::exists(cloudFolder() + "/net.solvane.kivotab/CloudLogs/" + first));
    EXPECT_EQ(readFile(manager->URLForCloudStoreUUID().toLocalFile()), second.toLatin1());
}

TEST_F(CloudStoreTest, DisablingWithoutALocalStoreMakesOneWithoutAsking)
{
    start(true);
    addDatabases({ "C1" });
    std::atomic<int> asked { 0 };
    manager->setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(answer(true, &asked));
    waitForLoads(2);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(delegate.logged("Will disable cloud, using existing local store."));
    EXPECT_FALSE(manager->cloudEnabled());
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_EQ(databaseIds(), QStringList {});
}

TEST_F(CloudStoreTest, DisablingCarriesTheCloudDataOnlyWhenTheUserSaysSo)
{
    start(false);
    addDatabases({ "L1" });
    manager->setCloudEnabled(true);
    waitForLoads(2);
    addDatabases({ "C1" });

    std::atomic<int> asked { 0 };
    manager->setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(answer(false, &asked));
    waitForLoads(3);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(delegate.logged("Will disable cloud, using existing local store."));
    EXPECT_EQ(databaseIds(), QStringList { "L1" });

    manager->setCloudEnabled(true);
    waitForLoads(4);
    EXPECT_EQ(databaseIds(), (QStringList { "C1", "L1" }));
    manager->setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(answer(true, &asked));
    waitForLoads(5);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(delegate.logged("Will overwrite the local store with the cloud store (using cloud "
                                "logs)."));
    EXPECT_FALSE(manager->cloudEnabled());
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_EQ(databaseIds(), (QStringList { "C1", "L1" }));
    const auto metadata = manager->persistentStoreCoordinator()->metadataForPersistentStore(
        manager->persistentStoreCoordinator()->persistentStores().first());
    EXPECT_FALSE(metadata.contains("com.apple.coredata.ubiquity.ubiquitized"))
        << "the local copy carries no cloud keys";
}

TEST_F(CloudStoreTest, RemovingAnItemReportsOnlyWhatFails)
{
    start(false);
    EXPECT_TRUE(
        manager->removeItemAtURL(QUrl::fromLocalFile(testsupport::homePath() + "/missing"), false));
    EXPECT_TRUE(delegate.allErrors().isEmpty());
    const QString file = testsupport::homePath() + "/folder/file";
    writeFile(file, "x");
    EXPECT_TRUE(
        manager->removeItemAtURL(QUrl::fromLocalFile(testsupport::homePath() + "/folder"), false));
    EXPECT_FALSE(QFileInfo::exists(file));

    // A removal that fails is a failure, and reported as one.
    EXPECT_FALSE(manager->removeItemAtURL(QUrl::fromLocalFile("/proc/version"), false));
    ASSERT_EQ(delegate.allErrors().size(), 1);
    EXPECT_EQ(delegate.allErrors().first().cause, CloudStoreErrorCauseDeleteStore);
    EXPECT_EQ(delegate.allErrors().first().context.toString(), "/proc/version");
}

TEST_F(CloudStoreTest, RebuildOnThisDeviceKeepsTheIdentityAndRestoresTheCloudsData)
{
    start(true);
    addDatabases({ "C1", "C2" });
    const QString uuid = manager->activeCloudStoreUUID();
    auto& values = cd::UbiquitousKeyValueStore::defaultStore();
    values.setObject("kept", 1);
    // The replica loses its rows behind the manager's back.
    const QString replica = loadedStoreFile();
    runSql(replica, "DELETE FROM \"Database\"");

    manager->deleteCloudContainerLocalOnly(true);
    waitForLoads(2);
    EXPECT_TRUE(delegate.logged("Will delete the cloud container on this device."));
    EXPECT_EQ(manager->activeCloudStoreUUID(), uuid);
    EXPECT_EQ(databaseIds(), (QStringList { "C1", "C2" }));
    values.synchronize();
    EXPECT_EQ(values.objectForKey("kept"), 1);
}

TEST_F(CloudStoreTest, ClearingTheCloudStartsANewCloudStoreFromThisDevice)
{
    start(false);
    addDatabases({ "L1" });
    manager->setCloudEnabled(true);
    waitForLoads(2);
    addDatabases({ "C1" });
    const QString uuid = manager->activeCloudStoreUUID();
    auto& values = cd::UbiquitousKeyValueStore::defaultStore();
    values.setObject("gone", 1);

    manager->deleteCloudContainerLocalOnly(false);
    waitForLoads(3);
    EXPECT_TRUE(
        delegate.logged("Will delete the cloud container on this device and in the cloud."));
    const QString fresh = manager->activeCloudStoreUUID();
    EXPECT_FALSE(fresh.isEmpty());
    EXPECT_NE(fresh, uuid);
    EXPECT_EQ(readFile(manager->URLForCloudStoreUUID().toLocalFile()), fresh.toLatin1());
    EXPECT_FALSE(QFileInfo::exists(cloudFolder() + "/net.solvane.kivotab/CloudLogs/" + uuid));
    EXPECT_EQ(databaseIds(), QStringList { "L1" }) << "seeded anew from the local store";
    values.synchronize();
    EXPECT_TRUE(values.dictionaryRepresentation().isEmpty());
}

TEST_F(CloudStoreTest, RebuildingWithNothingToRebuildFromGivesUpOrStartsFromTheLocalStore)
{
    start(false);
    addDatabases({ "L1" });
    bool result = true;
    manager->enqueue(
        [&] { result = manager->rebuildCloudContentFromCloudStoreOrLocalStore(false); }, true);
    EXPECT_FALSE(result);
    EXPECT_TRUE(
        delegate.logged("Cannot rebuild cloud content: Cloud store doesn't exist.  Giving up."));
    waitForLoads(2);
    EXPECT_FALSE(manager->cloudEnabled());

    manager->enqueue(
        [&] { result = manager->rebuildCloudContentFromCloudStoreOrLocalStore(true); }, true);
    EXPECT_TRUE(result);
    EXPECT_TRUE(delegate.logged("Cannot rebuild cloud content: Cloud store doesn't exist.  Will "
                                "rebuild from local store."));
    waitForLoads(3);
    EXPECT_TRUE(manager->cloudEnabled());
    EXPECT_EQ(databaseIds(), QStringList { "L1" });
}

TEST_F(CloudStoreTest, RebuildingFromTheCloudStoreMovesItsDataToANewIdentity)
{
    start(true);
    addDatabases({ "C1", "C2" });
    const QString old = manager->activeCloudStoreUUID();
    bool result = false;
    manager->enqueue(
        [&] { result = manager->rebuildCloudContentFromCloudStoreOrLocalStore(false); }, true);
    EXPECT_TRUE(result);
    EXPECT_TRUE(
        delegate.logged("Will rebuild cloud content from the cloud store (ignoring cloud logs)."));
    waitForLoads(2);
    const QString fresh = manager->activeCloudStoreUUID();
    EXPECT_NE(fresh, old);
    EXPECT_EQ(databaseIds(), (QStringList { "C1", "C2" }));
    EXPECT_FALSE(QFileInfo::exists(manager->URLForCloudStoreWithUUID(old).toLocalFile()));
}

TEST_F(CloudStoreTest, RebuildingFromTheCloudLogsAloneRecoversTheData)
{
    start(true);
    addDatabases({ "C1", "C2" });
    const QString old = manager->activeCloudStoreUUID();
    const QString replica = loadedStoreFile();
    bool result = false;
    manager->enqueue(
        [&] {
            manager->clearStore();
            for (const char* suffix : { "", "-wal", "-shm" })
                QFile::remove(replica + suffix);
            result = manager->rebuildCloudContentFromCloudStoreOrLocalStore(false);
        },
        true);
    EXPECT_TRUE(result);
    EXPECT_TRUE(
        delegate.logged("Will rebuild cloud content from the cloud store (using cloud logs)."));
    waitForLoads(2);
    EXPECT_NE(manager->activeCloudStoreUUID(), old);
    EXPECT_EQ(databaseIds(), (QStringList { "C1", "C2" }));
}

TEST_F(CloudStoreTest, DeletingTheLocalStoreLeavesANewEmptyOne)
{
    start(false);
    addDatabases({ "L1" });
    manager->deleteLocalStore();
    waitForLoads(2);
    EXPECT_TRUE(delegate.logged("Will delete the local store."));
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_EQ(databaseIds(), QStringList {});
}

TEST_F(CloudStoreTest, AStoreDeletedByAnotherPartyIsClosedBeforeItGoes)
{
    start(false);
    addDatabases({ "L1" });
    // Someone else in the process deletes the local store: the store is closed first.
    int openWhileDeleting = -1;
    cd::FileCoordinator other;
    EXPECT_TRUE(other.coordinateWritingItemAtURL(
        manager->URLForLocalStore(), cd::FileCoordinator::WritingForDeleting, [&](const QUrl& url) {
            openWhileDeleting
                = int(manager->persistentStoreCoordinator()->persistentStores().size());
            for (const char* suffix : { "", "-wal", "-shm" })
                QFile::remove(url.toLocalFile() + suffix);
        }));
    EXPECT_EQ(openWhileDeleting, 0);
    waitForLoads(2);
    EXPECT_EQ(databaseIds(), QStringList {});

    // The same when the platform asks the manager directly.
    int openAtCompletion = -1;
    manager->accommodateLocalDeletionWithCompletionHandler([&](const platform::Error&) {
        openAtCompletion = int(manager->persistentStoreCoordinator()->persistentStores().size());
    });
    EXPECT_EQ(openAtCompletion, 0);
    waitForLoads(3);
}
