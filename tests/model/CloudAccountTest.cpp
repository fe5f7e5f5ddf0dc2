#include "CloudStoreFixture.h"

#include "model/CSMStoreUUIDPresenter.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/ChangeSet.h"
#include "platform/coredata/FileCoordinator.h"
#include "platform/coredata/FileVersion.h"
#include "platform/ui/Application.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSaveFile>

using namespace cloudstoretest;

namespace {

const QString SecondAccountToken = QStringLiteral("SECOND-ACCOUNT");
const QString SecondIdentity = QStringLiteral("0B0B0B0B-0000-4000-8000-000000000002");

// The cloud folder's account as seen from its inside, and the paths of its files.
QString containerOf(const QString& cloudRoot)
{
    return cloudRoot + "/net.solvane.kivotab";
}

QString markerIn(const QString& cloudRoot)
{
    return containerOf(cloudRoot) + "/CloudLogs/StoreUUID+";
}

// As another machine's sync writes a file: whole, under another name, then renamed.
void writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

// A change set another machine saved into the store of the identity: one Database row.
void saveRowFromAnotherMachine(const QString& cloudRoot, const QString& identity, const QString& id)
{
    cd::ChangeSet set;
    set.peer = QStringLiteral("ANOTHER-MACHINE");
    set.sequence = 1;
    set.time = 1000;
    cd::ChangeSet::Change change;
    change.kind = cd::ChangeSet::Change::Kind::Insert;
    change.entity = QStringLiteral("Database");
    change.object = QStringLiteral("OBJECT-") + id;
    change.version = 1000;
    change.values = { { "id", id }, { "name", "Name " + id }, { "mtimestamp", 1000.0 } };
    set.changes << change;
    writeWhole(containerOf(cloudRoot) + "/CloudLogs/" + identity + "/" + set.peer + "/" + identity
            + "/" + cd::ChangeSet::fileName(1),
        set.toJson());
}

// Every file under the folder, with a digest of its content.
QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(
        folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(path),
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5));
    }
    return files;
}

bool isEmptyFolder(const QString& folder)
{
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// The cloud folder as one account's machines share it, taken away and put back whole.
class CloudAccountTest : public CloudStoreTest {
protected:
    static QString firstAway() { return cloudFolder() + ".first"; }
    static QString secondAway() { return cloudFolder() + ".second"; }

    QString localStore() const { return appSupport() + "/Kivotab.sqlite"; }

    // The rows a new machine of the account finds in the identity's cloud content.
    QStringList rowsAnotherMachineSees(const QString& identity)
    {
        const QString replica = QStringLiteral("%1/another-machine-%2/%3.sqlite")
                                    .arg(testsupport::homePath())
                                    .arg(++m_machines)
                                    .arg(identity);
        QDir().mkpath(QFileInfo(replica).absolutePath());
        auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model());
        platform::Error error;
        auto store = coordinator->addPersistentStore(cd::SQLiteStoreType, {},
            QUrl::fromLocalFile(replica),
            manager->optionsForCloudStoreURL(manager->URLForCloudStoreWithUUID(identity)), &error);
        if (!store)
            return { "<" + error.localizedDescription() + ">" };
        QStringList ids;
        {
            cd::ManagedObjectContext context(
                cd::ManagedObjectContext::ConcurrencyType::Confinement);
            context.setPersistentStoreCoordinator(coordinator);
            cd::FetchRequest request("Database");
            request.setSortDescriptors({ { "id", true } });
            for (auto* object : context.executeFetchRequest(request))
                ids << object->value("id").toString();
        }
        EXPECT_TRUE(coordinator->removePersistentStore(store));
        return ids;
    }

    void waitForTheLocalStore()
    {
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return loadedStoreFile() == localStore(); }, 20000))
            << delegate.allLogs().join('\n').toStdString();
    }

    void waitForTheCloudStore(const QString& identity, const QString& store = {})
    {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                return manager->activeCloudStoreUUID() == identity
                    && (store.isEmpty() || loadedStoreFile() == store) && delegate.currentContext();
            },
            20000))
            << delegate.allLogs().join('\n').toStdString();
        drain();
    }

    bool wroteAnIdentity()
    {
        for (const QString& line : delegate.allLogs()) {
            if (line.startsWith(QStringLiteral("Writing new StoreUUID:")))
                return true;
        }
        return false;
    }

    // A save made as the share goes, before the manager hears of it: it waits in the cloud
    // store's replica, and the local store serves once the manager has heard.
    void saveAsTheShareGoes(const QString& id)
    {
        const QString store = loadedStoreFile();
        {
            PersistenceQueueHold hold(*manager);
            ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
            addDatabases({ id });
            EXPECT_EQ(loadedStoreFile(), store);
        }
        waitForTheLocalStore();
    }

    // Runs the steps in turn as each of the next stores is about to be cleared or loaded.
    void atNextLoads(QList<std::function<void()>> steps)
    {
        if (steps.isEmpty())
            return;
        std::lock_guard lock(delegate.mutex);
        delegate.onNextWillLoad = [this, steps]() mutable {
            steps.takeFirst()();
            atNextLoads(steps);
        };
    }

    // The share is back, and the manager told so, as the account's monitor tells it; then,
    // as the cloud store loads, the steps. Nothing runs on the main thread meanwhile: the
    // monitor looks from there, and would otherwise see what the steps do.
    void backAndThenAsItLoads(const QList<std::function<void()>>& steps)
    {
        auto ran = std::make_shared<std::atomic<qsizetype>>(0);
        QList<std::function<void()>> counted;
        for (const auto& step : steps)
            counted << [step, ran] {
                step();
                ++*ran;
            };
        atNextLoads(counted);
        ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
        platform::NotificationCenter::defaultCenter().post(
            cd::CloudContainer::UbiquityIdentityDidChangeNotification);
        ASSERT_TRUE(waitWithoutEvents([&] { return *ran == steps.size(); }, 20000))
            << delegate.allLogs().join('\n').toStdString();
    }

    // The most change sets one peer has in the identity's content: this machine's, as long
    // as it has stayed one peer.
    static qsizetype mostSetsOfOnePeer(const QString& identity)
    {
        const QDir content(containerOf(cloudFolder()) + "/CloudLogs/" + identity);
        qsizetype most = 0;
        for (const QString& peer : content.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            most = std::max(
                most, QDir(content.filePath(peer + "/" + identity)).entryList(QDir::Files).size());
        return most;
    }

private:
    int m_machines = 0;
};

} // namespace

TEST_F(CloudAccountTest, ASaveAsTheShareUnmountsWaitsForItAndThenReachesTheOtherMachines)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    ASSERT_FALSE(identity.isEmpty());
    addDatabases({ "a", "b" });

    // The share is unmounted as a save goes out: its change set meets the empty mount point
    // before the manager has heard of the unmount (a save after that goes to the local store).
    {
        PersistenceQueueHold hold(*manager);
        ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
        ASSERT_TRUE(QDir().mkpath(cloudFolder()));
        addDatabases({ "q" });
        EXPECT_EQ(loadedStoreFile(), store);
        EXPECT_TRUE(isEmptyFolder(cloudFolder())) << "nothing is made inside the empty mount point";
    }

    // Heard of: the local store serves meanwhile, and the mount point stays empty.
    waitForTheLocalStore();
    EXPECT_TRUE(isEmptyFolder(cloudFolder()));
    EXPECT_TRUE(manager->cloudEnabled()) << "the cloud stays chosen while it is away";

    // The share is back: the waiting save goes before the next one.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    addDatabases({ "r" });
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b", "q", "r" }));
    EXPECT_EQ(rowsAnotherMachineSees(identity), (QStringList { "a", "b", "q", "r" }));
}

TEST_F(CloudAccountTest, AnotherAccountsFolderInThePlaceGetsNothingAndTheFirstGetsEverySave)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a", "b" });
    delegate.takeLogs();

    // Signed out (the folder goes) as a save is made, before the manager has heard of it: the
    // save waits in the cloud store.
    {
        PersistenceQueueHold hold(*manager);
        ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
        addDatabases({ "q" });
        EXPECT_EQ(loadedStoreFile(), store);
    }
    waitForTheLocalStore();

    // Another account's folder comes in the same place: its own token, identity and rows.
    const QString prepared = cloudFolder() + ".prepared";
    writeWhole(
        prepared + "/" + cd::CloudContainer::IdentityTokenFileName, SecondAccountToken.toLatin1());
    writeWhole(markerIn(prepared), SecondIdentity.toLatin1());
    saveRowFromAnotherMachine(prepared, SecondIdentity, "s");
    const auto theirs = filesIn(prepared);
    ASSERT_TRUE(QDir().rename(prepared, cloudFolder()));
    // This machine is now one of the second account's: its store, none of the first's rows.
    waitForTheCloudStore(SecondIdentity);
    EXPECT_EQ(databaseIds(), QStringList { "s" });
    EXPECT_TRUE(QFileInfo::exists(store)) << "the first account's store is kept";

    // The first account's folder is back.
    ASSERT_TRUE(QDir().rename(cloudFolder(), secondAway()));
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    addDatabases({ "r" });
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b", "q", "r" }));
    EXPECT_EQ(rowsAnotherMachineSees(identity), (QStringList { "a", "b", "q", "r" }));
    EXPECT_EQ(filesIn(secondAway()), theirs) << "the second account's folder got nothing";
    EXPECT_FALSE(wroteAnIdentity()) << "neither account's identity is written again";
}

TEST_F(CloudAccountTest, AFirstStartWhileTheMarkerIsBeingWrittenWaitsForTheIdentityItNames)
{
    // Another machine has saved a row in the store it names, and is writing the marker.
    cd::CloudContainer::signIn();
    saveRowFromAnotherMachine(cloudFolder(), SecondIdentity, "t");
    const QString marker = markerIn(cloudFolder());
    writeFile(marker, "");

    start(true);
    EXPECT_EQ(loadedStoreFile(), localStore()) << "the local store serves meanwhile";
    EXPECT_TRUE(manager->cloudEnabled());
    drain();
    EXPECT_TRUE(readFile(marker).isEmpty()) << "nothing is written over the marker";
    EXPECT_FALSE(wroteAnIdentity());

    writeWhole(marker, SecondIdentity.toLatin1());
    waitForTheCloudStore(SecondIdentity);
    EXPECT_EQ(databaseIds(), QStringList { "t" });
    EXPECT_EQ(readFile(marker), SecondIdentity.toLatin1());
    EXPECT_FALSE(wroteAnIdentity());
}

TEST_F(CloudAccountTest, AnotherAccountsMarkerConflictsAreLeftToItsOwnMachines)
{
    start(true);
    const auto presenter = manager->storeUUIDPresenter();

    // Another account's folder, whose marker two of its machines wrote at once.
    const QString prepared = cloudFolder() + ".prepared";
    writeWhole(
        prepared + "/" + cd::CloudContainer::IdentityTokenFileName, SecondAccountToken.toLatin1());
    writeWhole(markerIn(prepared), "SECOND-CURRENT");
    ASSERT_TRUE(cd::FileVersion::addConflictVersion(QUrl::fromLocalFile(markerIn(prepared)),
        "SECOND-OLDER", QDateTime::fromSecsSinceEpoch(1000, Qt::UTC))
                    .isValid());

    {
        // It takes the first account's place while the manager has yet to hear of it: the
        // presenter of the first account's marker sees it first.
        PersistenceQueueHold hold(*manager);
        ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
        ASSERT_TRUE(QDir().rename(prepared, cloudFolder()));
        cd::FileCoordinator::lookAtPresentedItems();
        presenter->presentedItemOperationQueue()->sync([] {});
        testsupport::processEvents(200);
        presenter->presentedItemOperationQueue()->sync([] {});

        const QUrl marker = QUrl::fromLocalFile(markerIn(cloudFolder()));
        EXPECT_EQ(readFile(marker.toLocalFile()), "SECOND-CURRENT");
        const auto versions = cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(marker);
        ASSERT_EQ(versions.size(), 1);
        EXPECT_EQ(readFile(versions.first().URL().toLocalFile()), "SECOND-OLDER");
    }
}

TEST_F(CloudAccountTest, AnAccountBackBeforeTheMonitorLooksIsLoadedAgain)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a" });

    // The share is unmounted and the marker's presenter hears of it first: the monitor of
    // the account, which looks from the main thread's events, has not looked meanwhile.
    ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    cd::FileCoordinator::lookAtPresentedItems();
    ASSERT_TRUE(waitWithoutEvents([&] { return loadedStoreFile() == localStore(); }))
        << delegate.allLogs().join('\n').toStdString();

    // The share is back before the monitor's next look.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    addDatabases({ "b" });
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b" }));
}

TEST_F(CloudAccountTest, ANewMachinesFirstStartSignsInToAnEmptyFolder)
{
    start(true);
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    EXPECT_TRUE(token.isValid());
    EXPECT_FALSE(manager->activeCloudStoreUUID().isEmpty());
    EXPECT_EQ(platform::UserDefaults::standard().objectForKey(CloudStoreManager::IdentityTokenKey),
        token);
}

TEST_F(CloudAccountTest, AStartOverAnEmptyFolderWhereTheAccountsWasWritesNothingThere)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a", "b" });
    manager.reset();

    // The share has not mounted yet: its empty mount point is where the account's folder was.
    ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    delegate.takeLogs();
    start(true, 2);
    EXPECT_EQ(loadedStoreFile(), localStore()) << "signed out, as with no cloud folder";
    EXPECT_FALSE(manager->cloudAvailable());
    EXPECT_FALSE(manager->cloudEnabled());
    platform::NotificationCenter::defaultCenter().post(
        platform::ui::Application::DidBecomeActiveNotification);
    testsupport::processEvents(300);
    drain();
    EXPECT_TRUE(isEmptyFolder(cloudFolder())) << "no token, and nothing seeded or written";

    // The share mounts; the cloud, turned on again, loads the account's own store.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    ASSERT_TRUE(testsupport::waitUntil([&] { return manager->cloudAvailable(); }, 20000));
    manager->setCloudEnabled(true);
    waitForTheCloudStore(identity, store);
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b" }));
    EXPECT_EQ(rowsAnotherMachineSees(identity), (QStringList { "a", "b" }));
    EXPECT_FALSE(wroteAnIdentity());
}

TEST_F(CloudAccountTest, AMachineFromBeforeItsAccountWasRecordedSignsInToNoEmptyFolder)
{
    start(true);
    addDatabases({ "a" });
    manager.reset();
    // Its replica tells of the account.
    platform::UserDefaults::standard().removeObject(CloudStoreManager::IdentityTokenKey);

    // Started while the share is away; its empty mount point appears as the machine runs.
    ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
    start(true, 2);
    EXPECT_EQ(loadedStoreFile(), localStore());
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    testsupport::processEvents(300);
    platform::NotificationCenter::defaultCenter().post(
        platform::ui::Application::DidBecomeActiveNotification);
    drain();
    EXPECT_TRUE(isEmptyFolder(cloudFolder()));
    EXPECT_FALSE(manager->cloudAvailable());
}

TEST_F(CloudAccountTest, AShareGoneDuringALoadAndBackForItsRetryCostsNoSave)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a" });
    saveAsTheShareGoes("q");

    // The share is back, goes as its store is loading, and is back for the retry, which
    // rebuilds the store from the account's folder.
    backAndThenAsItLoads({ [] { ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway())); },
        [] { ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder())); } });
    ASSERT_TRUE(waitWithoutEvents([&] { return manager->activeCloudStoreUUID() == identity; }));
    waitForTheCloudStore(identity, store);
    EXPECT_TRUE(delegate.logged("Attempting recovery by rebuilding from cloud content."));
    EXPECT_EQ(databaseIds(), (QStringList { "a", "q" }));
    EXPECT_EQ(rowsAnotherMachineSees(identity), (QStringList { "a", "q" }));
}

TEST_F(CloudAccountTest, ARetryMeetingAnotherAccountsFolderOrNoneRebuildsNothing)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a" });
    saveAsTheShareGoes("q");

    // Gone as the store loads, back for the retry, and another account's folder in its place
    // as the retry opens the store.
    const QString prepared = cloudFolder() + ".prepared";
    writeWhole(
        prepared + "/" + cd::CloudContainer::IdentityTokenFileName, SecondAccountToken.toLatin1());
    writeWhole(markerIn(prepared), SecondIdentity.toLatin1());
    saveRowFromAnotherMachine(prepared, SecondIdentity, "s");
    backAndThenAsItLoads({ [] { ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway())); },
        [] { ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder())); },
        [&] {
            ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
            ASSERT_TRUE(QDir().rename(prepared, cloudFolder()));
        } });
    EXPECT_TRUE(delegate.logged("Attempting recovery by rebuilding from cloud content."));
    waitForTheCloudStore(SecondIdentity);
    EXPECT_EQ(databaseIds(), QStringList { "s" });
    ASSERT_TRUE(QDir().rename(cloudFolder(), secondAway()));
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    EXPECT_EQ(databaseIds(), (QStringList { "a", "q" }));

    // Gone as the store loads, and away for the retry: the local store serves meanwhile.
    saveAsTheShareGoes("r");
    const int loads = delegate.loads;
    backAndThenAsItLoads({ [] {
        ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
        ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    } });
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return delegate.loads > loads && loadedStoreFile() == localStore(); }, 20000))
        << delegate.allLogs().join('\n').toStdString();
    EXPECT_TRUE(isEmptyFolder(cloudFolder()));
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    EXPECT_EQ(databaseIds(), (QStringList { "a", "q", "r" }));
    EXPECT_EQ(mostSetsOfOnePeer(identity), 3) << "one peer all along: never rebuilt";
    EXPECT_FALSE(delegate.logged(
        "Failed to load cloud store. Marking cloud store as corrupt. Store will be unavailable."));
    EXPECT_FALSE(QFileInfo::exists(manager->URLForCloudCorruptedUUID().toLocalFile()));
    EXPECT_EQ(rowsAnotherMachineSees(identity), (QStringList { "a", "q", "r" }));
}
