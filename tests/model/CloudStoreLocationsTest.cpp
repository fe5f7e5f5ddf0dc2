#include "CloudStoreFixture.h"

#include "model/CloudStoreErrorDetection.h"
#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ImportErrorHook.h"

#include <QThread>

#include <thread>

using namespace cloudstoretest;

TEST_F(CloudStoreTest, StoresAndMarkersLiveWhereTheirVersionsSay)
{
    start(false);
    const QString container = cloudFolder() + "/net.solvane.kivotab";
    EXPECT_EQ(manager->URLForLocalStore().toLocalFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_EQ(manager->URLForLocalStoreDirectory().toLocalFile(), appSupport());
    EXPECT_EQ(manager->URLForApplicationContainer().toLocalFile(), appSupport());
    EXPECT_EQ(manager->URLForCloudContainer().toLocalFile(), container);
    EXPECT_EQ(manager->URLForCloudStoreDirectoryForCloudVersion(1).toLocalFile(),
        appSupport() + "/CloudStore");
    EXPECT_EQ(manager->URLForCloudStoreDirectoryForCloudVersion(0).toLocalFile(),
        container + "/CloudStore.nosync");
    EXPECT_EQ(manager->URLForCloudStoreWithUUID("U1").toLocalFile(),
        appSupport() + "/CloudStore/U1.sqlite");
    EXPECT_EQ(manager->URLForCloudContentDirectory().toLocalFile(), container + "/CloudLogs");
    EXPECT_EQ(manager->URLForCloudContentForStoreURL(manager->URLForCloudStoreWithUUID("U1")),
        "CloudLogs/U1")
        << "a relative path, not a file URL";
    EXPECT_EQ(CloudStoreManager::versionedIdentifier("StoreUUID", 0), "StoreUUID");
    EXPECT_EQ(CloudStoreManager::versionedIdentifier("StoreUUID", -3), "StoreUUID");
    EXPECT_EQ(CloudStoreManager::versionedIdentifier("StoreUUID", 1), "StoreUUID+");
    EXPECT_EQ(CloudStoreManager::versionedIdentifier("StoreUUID", 2), "StoreUUID++");

    // No marker: every store is of the desired version.
    const QUrl store = manager->URLForCloudStoreWithUUID("U1");
    EXPECT_EQ(manager->cloudVersionForStoreURL(store), 1);
    EXPECT_EQ(manager->URLForCloudStoreUUID().toLocalFile(), container + "/CloudLogs/StoreUUID+");
    EXPECT_EQ(
        manager->URLForCloudCorruptedUUID().toLocalFile(), container + "/CloudLogs/CorruptedUUID+");
    EXPECT_EQ(manager->cloudContentNameForStoreURL(store), "U1");

    // A version-0 marker naming the store makes it version 0; naming another, 1.
    writeFile(container + "/CloudLogs/StoreUUID", "U1");
    EXPECT_EQ(manager->cloudVersionForStoreURL(store), 0);
    EXPECT_EQ(manager->cloudVersionForStoreURL(manager->URLForCloudStoreWithUUID("U2")), 1);
    EXPECT_EQ(manager->cloudVersionForStoreURL({}), 0);
    EXPECT_EQ(manager->URLForCloudStoreUUID().toLocalFile(), container + "/CloudLogs/StoreUUID");
    EXPECT_EQ(
        manager->URLForCloudCorruptedUUID().toLocalFile(), container + "/CloudLogs/CorruptedUUID");
    EXPECT_EQ(manager->cloudContentNameForStoreURL(store), "Kivotab");
    EXPECT_EQ(manager->cloudVersionedIdentifier("CorruptedUUID", store), "CorruptedUUID");
    writeFile(container + "/CloudLogs/StoreUUID+", "U2");
    EXPECT_EQ(manager->cloudVersionForStoreURL({}), 1);

    signOut();
    EXPECT_TRUE(manager->URLForCloudContainer().isEmpty());
    EXPECT_TRUE(manager->URLForCloudStoreUUID().isEmpty());
    EXPECT_TRUE(manager->URLForCloudStoreDirectoryForCloudVersion(0).isEmpty());
}

TEST_F(CloudStoreTest, AManagerWithoutANameKeepsTheDefaultLocalStore)
{
    manager = CloudStoreManager::initWithDelegate(&delegate);
    waitForLoads(1);
    EXPECT_EQ(manager->localContentName(), "CloudStoreManager");
    EXPECT_EQ(
        manager->URLForLocalStore().toLocalFile(), appSupport() + "/CloudStoreManager.sqlite");
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/CloudStoreManager.sqlite");
    ASSERT_TRUE(manager->model());
    EXPECT_EQ(manager->model()->name(), "Kivotab");
}

TEST_F(CloudStoreTest, CausesHaveTheirNames)
{
    EXPECT_EQ(CSMNameOfCause(CloudStoreErrorCauseNoError), "CloudStoreErrorCauseNoError");
    EXPECT_EQ(CSMNameOfCause(CloudStoreErrorCauseSeedStore), "CloudStoreErrorCauseSeedStore");
    EXPECT_EQ(CSMNameOfCause(10), "CloudStoreErrorCauseEnumerateStores");
    EXPECT_EQ(CSMNameOfCause(11), "UnsupportedCause:11");
    EXPECT_EQ(CSMNameOfCause(-1), "UnsupportedCause:-1");
}

TEST_F(CloudStoreTest, ErrorsWithoutTheDelegatesErrorCallGoToTheLog)
{
    start(false);
    delegate.answersErrors = false;
    delegate.takeLogs();
    manager->error(platform::Error("Domain", 7, {}), CloudStoreErrorCauseSeedStore, {});
    QStringList logs = delegate.takeLogs();
    ASSERT_EQ(logs.size(), 1) << logs.join('\n').toStdString();
    EXPECT_TRUE(logs[0].startsWith("Error (cause:CloudStoreErrorCauseSeedStore): "));

    const platform::Error detail("Domain", 8, {});
    manager->error(
        platform::Error("Domain", 7,
            { { platform::Error::UnderlyingErrorKey, QVariant::fromValue(detail) },
                { "NSDetailedErrors",
                    QVariantList { QVariant::fromValue(detail), QVariant::fromValue(detail) } } }),
        CloudStoreErrorCauseDeleteStore, QStringLiteral("/some/path"));
    logs = delegate.takeLogs();
    ASSERT_EQ(logs.size(), 5) << logs.join('\n').toStdString();
    EXPECT_EQ(logs[1], "    - Context   : /some/path");
    EXPECT_TRUE(logs[2].startsWith("    - Underlying: "));
    EXPECT_TRUE(logs[3].startsWith("    - Detail    : "));

    manager->logError("Plain words.", CloudStoreErrorCauseClearStore, {});
    logs = delegate.takeLogs();
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(logs[0].contains("Plain words."));
}

TEST_F(CloudStoreTest, QueuedWorkRunsInOrderOnThePersistenceQueueHoldingTheLock)
{
    start(false);
    auto coordinator = manager->persistentStoreCoordinator();
    std::atomic<bool> ran { false };
    std::atomic<bool> lockedElsewhere { false };
    coordinator->lock();
    EXPECT_FALSE(manager->ensureQueued([&] {
        // The lock is this job's: another thread cannot take it.
        std::thread probe([&] { lockedElsewhere = !coordinator->tryLock(); });
        probe.join();
        bool nested = manager->ensureQueued([] {});
        EXPECT_TRUE(nested);
        ran = true;
    }));
    QThread::msleep(50);
    EXPECT_FALSE(ran) << "the job waits for the lock the main thread holds";
    coordinator->unlock();
    drain();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(lockedElsewhere);

    // Asked to wait, the caller returns only once the job has run.
    std::atomic<bool> waited { false };
    manager->enqueue(
        [&] {
            QThread::msleep(50);
            waited = true;
        },
        true);
    EXPECT_TRUE(waited);

    // An exception inside a job is logged and the queue goes on.
    manager->enqueue([] { throw platform::Exception("Test", "job failed"); });
    drain();
    EXPECT_TRUE(delegate.reportedCause(CloudStoreErrorCauseOpenActiveStore));
    EXPECT_TRUE(coordinator->tryLock());
    coordinator->unlock();
}

TEST_F(CloudStoreTest, DestroyingTheManagerClosesTheStoresBeforeItReturns)
{
    start(false);
    auto coordinator = manager->persistentStoreCoordinator();
    ASSERT_EQ(coordinator->persistentStores().size(), 1);
    manager.reset();
    EXPECT_TRUE(coordinator->persistentStores().isEmpty());
    EXPECT_EQ(delegate.allEvents().count("willLoad:0"), 2);
}

TEST_F(CloudStoreTest, EnumerationListsCloudStoresWithTheirContent)
{
    start(true);
    const auto stores = manager->enumerateCloudStores();
    ASSERT_TRUE(stores);
    ASSERT_EQ(stores->size(), 1) << "the marker files are no stores";
    const QString uuid = manager->activeCloudStoreUUID();
    const QUrl url = stores->firstKey();
    EXPECT_EQ(url, manager->URLForCloudStoreWithUUID(uuid));
    ASSERT_EQ(stores->first().size(), 1);
    const QVariantMap options = stores->first().first();
    EXPECT_EQ(options.value(CloudStoreManager::CloudUUIDKey), uuid);
    EXPECT_EQ(options.value(CloudStoreManager::CloudVersionKey).toInt(), 1);
    EXPECT_TRUE(options.value(CloudStoreManager::CloudCurrentKey).toBool());
    EXPECT_EQ(options.value(cd::PersistentStoreUbiquitousContentNameKey), uuid);

    signOut();
    EXPECT_FALSE(manager->enumerateCloudStores());
}

TEST_F(CloudStoreTest, ImportErrorsOfOtherKindsPassUnexamined)
{
    CloudStoreErrorDetection::install();
    std::atomic<int> posted { 0 };
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::DidDetectCorruptionNotification, nullptr,
        [&](const platform::Notification&) { ++posted; });
    const platform::Error other = cd::makeImportError(cd::ValidationError, {});
    EXPECT_EQ(other.code(), cd::ValidationError);
    // Recognised and let be: a log without a location.
    cd::makeImportError(cd::UbiquitousImportError,
        { { cd::ReasonKey, "Error reading the log file at location: (null) and more" } });
    EXPECT_EQ(posted, 0);
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(CloudStoreTest, AnImportErrorNamingAStoreFileReportsThatStore)
{
    CloudStoreErrorDetection::install();
    QList<QVariantMap> posted;
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::DidDetectCorruptionNotification, nullptr,
        [&](const platform::Notification& notification) { posted << notification.userInfo; });
    const platform::Exception exception("NSInternalInconsistencyException", "bad log",
        { { cd::SQLiteErrorCodeKey, 11 }, { platform::Error::FilePathKey, "/x/U1.sqlite" } });
    const platform::Error inner(
        cd::ErrorDomain, 5, { { cd::UnderlyingExceptionKey, QVariant::fromValue(exception) } });
    const platform::Error made = cd::makeImportError(cd::UbiquitousImportError,
        { { platform::Error::UnderlyingErrorKey, QVariant::fromValue(inner) } });
    ASSERT_EQ(posted.size(), 1);
    EXPECT_EQ(posted[0].value(platform::Error::UnderlyingErrorKey).value<platform::Error>(), made)
        << "the notification names the error being made";
    EXPECT_EQ(posted[0].value(CloudStoreManager::StoreURLsErrorKey).toList(),
        QVariantList { QUrl::fromLocalFile("/x/U1.sqlite") });

    // A missing mandatory value, among the details: every store of the object's coordinator.
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
    const QUrl a = QUrl::fromLocalFile(testsupport::homePath() + "/A.sqlite");
    const QUrl b = QUrl::fromLocalFile(testsupport::homePath() + "/B.sqlite");
    ASSERT_TRUE(coordinator->addPersistentStore(cd::SQLiteStoreType, {}, a, {}));
    ASSERT_TRUE(coordinator->addPersistentStore(cd::SQLiteStoreType, {}, b, {}));
    cd::ManagedObjectContext context;
    context.setPersistentStoreCoordinator(coordinator);
    QObject* object = context.insertNewObject("Database");
    const platform::Error missing(cd::ErrorDomain, cd::ValidationMissingMandatoryPropertyError,
        { { cd::ValidationObjectErrorKey, QVariant::fromValue(object) } });
    cd::makeImportError(cd::UbiquitousImportError,
        { { cd::DetailedErrorsKey,
            QVariantList { QVariant::fromValue(platform::Error("Other", 1, {})),
                QVariant::fromValue(missing) } } });
    ASSERT_EQ(posted.size(), 2);
    EXPECT_EQ(
        posted[1].value(CloudStoreManager::StoreURLsErrorKey).toList(), (QVariantList { a, b }));
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(CloudStoreTest, AFullDescriptionAlignsNestedLinesUnderTheirEntry)
{
    const platform::Error inner("Inner", 2, { { "NSLocalizedDescription", "inner" } });
    const platform::Error error("Outer", 1,
        { { "NSLocalizedDescription", "outer" }, { "NSLocalizedFailureReason", "why" },
            { "NSUnderlyingError", QVariant::fromValue(inner) } });
    const QString text = CloudStoreErrorDetection::USM_fullDescription(error);
    EXPECT_TRUE(text.startsWith("Error: 1 (Outer): outer\n - FailureReason: why\n"))
        << text.toStdString();
    const QString prefix = " - Info NSUnderlyingError: [platform::Error] ";
    EXPECT_TRUE(text.contains(prefix + "Error: 2 (Inner): inner\n" + QString(prefix.size(), ' ')))
        << text.toStdString();
}
