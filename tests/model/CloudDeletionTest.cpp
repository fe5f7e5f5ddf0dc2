#include "CloudStoreFixture.h"

#include "model/CSMStoreUUIDPresenter.h"
#include "platform/Dispatch.h"
#include "platform/coredata/FileCoordinator.h"

#include <QSaveFile>

#include <condition_variable>

#include <sys/stat.h>

using namespace cloudstoretest;

namespace {

// Keeps a serial queue busy until released, so that what is sent to it waits its turn:
// the presenter then has not yet looked at what another machine did.
class QueueHold {
public:
    explicit QueueHold(const std::shared_ptr<platform::dispatch::SerialQueue>& queue)
        : m_state(std::make_shared<State>())
    {
        queue->async([state = m_state] {
            std::unique_lock lock(state->mutex);
            state->holding = true;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
        });
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait(lock, [&] { return m_state->holding; });
    }
    ~QueueHold() { release(); }
    QueueHold(const QueueHold&) = delete;
    QueueHold& operator=(const QueueHold&) = delete;

    void release()
    {
        std::lock_guard lock(m_state->mutex);
        m_state->released = true;
        m_state->changed.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool holding = false;
        bool released = false;
    };
    std::shared_ptr<State> m_state;
};

// A cloud store loaded and watched, whose identity marker another machine then deletes.
class CloudDeletionTest : public CloudStoreTest {
protected:
    void startWatched(bool delegateHandlesDeletion)
    {
        delegate.handlesDeletion = delegateHandlesDeletion;
        start(true);
        identity = manager->activeCloudStoreUUID();
        marker = manager->URLForCloudStoreUUID().toLocalFile();
        store = loadedStoreFile();
        ASSERT_FALSE(identity.isEmpty());
        ASSERT_EQ(readFile(marker), identity.toLatin1());
        delegate.takeLogs();
    }

    // Another machine deletes the cloud data while this one's presenter is held: the folder
    // watch has seen it, but what it tells the presenter waits in the presenter's queue.
    std::unique_ptr<QueueHold> deleteBeforeThePresenterLooks()
    {
        auto hold = std::make_unique<QueueHold>(
            manager->storeUUIDPresenter()->presentedItemOperationQueue());
        EXPECT_TRUE(QFile::remove(marker));
        cd::FileCoordinator::lookAtPresentedItems();
        return hold;
    }

    int deletionsTold() { return delegate.allEvents().count(QStringLiteral("cloudDeletion")); }

    // Lets whatever is still on its way arrive: jobs, reports and the folder watch's looks.
    void settle()
    {
        for (int i = 0; i < 4; ++i) {
            cd::FileCoordinator::lookAtPresentedItems();
            drain();
            testsupport::processEvents(60);
        }
    }

    bool wroteAnIdentity()
    {
        for (const QString& line : delegate.allLogs()) {
            if (line.startsWith(QStringLiteral("Writing new StoreUUID:")))
                return true;
        }
        return false;
    }

    void expectOneDeletionAndNoNewIdentity()
    {
        ASSERT_TRUE(testsupport::waitUntil([&] { return deletionsTold() >= 1; }, 20000))
            << delegate.allLogs().join('\n').toStdString();
        settle();
        EXPECT_EQ(deletionsTold(), 1) << delegate.allLogs().join('\n').toStdString();
        EXPECT_EQ(delegate.allLogs().count(QStringLiteral("Handling cloud deletion.")), 1);
        EXPECT_FALSE(QFileInfo::exists(marker))
            << "the deleted data came back as " << readFile(marker).toStdString();
        EXPECT_FALSE(wroteAnIdentity());
        EXPECT_FALSE(QFileInfo::exists(store)) << "the deleted identity's store is removed";
        EXPECT_TRUE(manager->activeCloudStoreUUID().isEmpty());
        EXPECT_TRUE(manager->cloudEnabled()) << "the delegate handled it";
    }

    // The cloud store's rows, written before another machine or the system acts.
    void addRows() { addDatabases({ "a", "b" }); }

    // Waits past the looks that tell a deletion from a passing state, and what follows.
    void settleLooks()
    {
        settle();
        testsupport::processEvents(2500);
        settle();
    }

    // The cloud store is loaded again from its kept file, with every row, the cloud on.
    void expectNothingDeleted()
    {
        EXPECT_FALSE(delegate.logged("Handling cloud deletion."))
            << delegate.allLogs().join('\n').toStdString();
        EXPECT_TRUE(QFileInfo::exists(store)) << "the store of the live data is kept";
        EXPECT_TRUE(manager->cloudEnabled());
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                return manager->activeCloudStoreUUID() == identity && loadedStoreFile() == store;
            },
            20000))
            << delegate.allLogs().join('\n').toStdString();
        settle();
        EXPECT_EQ(databaseIds(), (QStringList { "a", "b" }));
        EXPECT_EQ(readFile(marker), identity.toLatin1());
        EXPECT_EQ(deletionsTold(), 0);
    }

    // The share is unmounted, leaving its empty mount point or nothing, while the presenter
    // is held: it hears of the marker's going after the folder went.
    void takeTheCloudAway(bool leavingAnEmptyMountPoint)
    {
        {
            QueueHold hold(manager->storeUUIDPresenter()->presentedItemOperationQueue());
            ASSERT_TRUE(QDir().rename(cloudFolder(), away()));
            if (leavingAnEmptyMountPoint) {
                ASSERT_TRUE(QDir().mkpath(cloudFolder()));
            }
            cd::FileCoordinator::lookAtPresentedItems();
        }
        settleLooks();
        EXPECT_TRUE(QFileInfo::exists(store));
        EXPECT_TRUE(manager->cloudEnabled()) << "the cloud stays chosen while it is away";
    }

    void bringTheCloudBack()
    {
        ASSERT_TRUE(QDir().rename(away(), cloudFolder()));
        expectNothingDeleted();
    }

    static QString away() { return cloudFolder() + ".away"; }

    QString identity;
    QString marker;
    QString store;
};

// The marker's inode: a marker written whole is a new file renamed over the old one.
ino_t inodeOf(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

TEST_F(CloudDeletionTest, IsHandledOnceWhenThePresenterReportsItFirst)
{
    startWatched(true);
    ASSERT_TRUE(QFile::remove(marker));
    ASSERT_TRUE(testsupport::waitUntil([&] { return deletionsTold() >= 1; }, 20000));
    // Then the re-read after a load and a report of the marker's change come in.
    manager->updateStoreUUIDAsynchronously(false);
    manager->storeUUIDDidChange();
    expectOneDeletionAndNoNewIdentity();
}

TEST_F(CloudDeletionTest, IsHandledOnceWhenTheRereadAfterALoadSeesItFirst)
{
    startWatched(true);
    auto hold = deleteBeforeThePresenterLooks();
    manager->updateStoreUUIDAsynchronously(false);
    drain();
    hold->release();
    expectOneDeletionAndNoNewIdentity();
}

TEST_F(CloudDeletionTest, IsHandledOnceWhenAReportOfTheMarkersChangeComesFirst)
{
    startWatched(true);
    // The folder query reports the marker this machine wrote; it is gone when that is read.
    auto hold = deleteBeforeThePresenterLooks();
    manager->storeUUIDDidChange();
    drain();
    hold->release();
    expectOneDeletionAndNoNewIdentity();
}

TEST_F(CloudDeletionTest, SeenFirstByTheRereadStillFallsBackToTheLocalStore)
{
    startWatched(false);
    auto hold = deleteBeforeThePresenterLooks();
    manager->updateStoreUUIDAsynchronously(false);
    drain();
    hold->release();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !manager->cloudEnabled(); }, 20000))
        << delegate.allLogs().join('\n').toStdString();
    waitForLoads(2);
    settle();
    EXPECT_TRUE(delegate.logged("Recovering from cloud deletion.  Falling back to local store."));
    EXPECT_EQ(loadedStoreFile(), appSupport() + "/Kivotab.sqlite");
    EXPECT_FALSE(QFileInfo::exists(store));
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST_F(CloudDeletionTest, MadeWhileTheApplicationWasNotRunningIsNotReportedOnTheNextStart)
{
    startWatched(true);
    manager.reset();
    ASSERT_TRUE(QFile::remove(marker));
    start(true, 2);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            const QByteArray now = readFile(marker);
            return !now.isEmpty() && now != identity.toLatin1();
        },
        20000))
        << delegate.allLogs().join('\n').toStdString();
    settle();
    EXPECT_EQ(deletionsTold(), 0);
    EXPECT_TRUE(manager->cloudEnabled());
    EXPECT_EQ(manager->activeCloudStoreUUID().toLatin1(), readFile(marker));
}

TEST_F(CloudDeletionTest, AMarkerLeftEmptyByItsWriterThenReportedChangedDeletesNothing)
{
    startWatched(false);
    addRows();
    // Another machine's writer has truncated the marker and not yet written it.
    writeFile(marker, "");
    manager->storeUUIDDidChange();
    drain();
    EXPECT_TRUE(delegate.logged("The StoreUUID is being written; waiting for it."));
    writeFile(marker, identity.toLatin1());
    cd::FileCoordinator::lookAtPresentedItems();
    settleLooks();
    expectNothingDeleted();
}

TEST_F(CloudDeletionTest, AnEmptyMarkerSeenByTheFolderWatchDeletesNothing)
{
    startWatched(false);
    addRows();
    auto queue = manager->storeUUIDPresenter()->presentedItemOperationQueue();
    writeFile(marker, "");
    cd::FileCoordinator::lookAtPresentedItems();
    // The presenter has heard of the empty marker, and the manager has read it.
    queue->sync([] {});
    drain();
    writeFile(marker, identity.toLatin1());
    cd::FileCoordinator::lookAtPresentedItems();
    settleLooks();
    expectNothingDeleted();
}

TEST_F(CloudDeletionTest, AMarkerMadeAgainWithARereadBetweenDeletesNothing)
{
    startWatched(false);
    addRows();
    auto hold = deleteBeforeThePresenterLooks();
    // The re-read lands while the marker is away; then it is back, as it was.
    manager->updateStoreUUIDAsynchronously(false);
    drain();
    writeFile(marker, identity.toLatin1());
    hold->release();
    settleLooks();
    expectNothingDeleted();
}

TEST_F(CloudDeletionTest, AMarkerReplacedWholeDeletesNothing)
{
    startWatched(false);
    addRows();
    const QString aside = marker + ".new";
    writeFile(aside, identity.toLatin1());
    ASSERT_EQ(
        ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(marker).constData()), 0);
    cd::FileCoordinator::lookAtPresentedItems();
    settleLooks();
    expectNothingDeleted();
}

TEST_F(CloudDeletionTest, AnUnmountedCloudLeavingItsEmptyMountPointDeletesNothing)
{
    startWatched(false);
    addRows();
    takeTheCloudAway(true);
    EXPECT_TRUE(QDir(cloudFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "looking at the empty mount point made nothing in it";
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    bringTheCloudBack();
}

TEST_F(CloudDeletionTest, ACloudFolderGoneAndBackIsASignOutThatDeletesNothing)
{
    startWatched(false);
    addRows();
    takeTheCloudAway(false);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return loadedStoreFile() == appSupport() + "/Kivotab.sqlite"; }, 20000))
        << "the local store serves meanwhile";
    bringTheCloudBack();
}

TEST_F(CloudDeletionTest, TheDeletionKeepsAMarkerThatNamesAnotherStoreByNow)
{
    startWatched(true);
    // As the deleted store is closed, another machine writes a new identity.
    delegate.onNextWillLoad = [this] { writeFile(marker, "ANOTHER-MACHINES-STORE"); };
    ASSERT_TRUE(QFile::remove(marker));
    cd::FileCoordinator::lookAtPresentedItems();
    ASSERT_TRUE(testsupport::waitUntil([&] { return deletionsTold() >= 1; }, 20000))
        << delegate.allLogs().join('\n').toStdString();
    settle();
    EXPECT_EQ(readFile(marker), "ANOTHER-MACHINES-STORE");
    EXPECT_FALSE(QFileInfo::exists(store)) << "the deleted identity's store is removed";
    EXPECT_TRUE(delegate.logged("Keeping StoreUUID+: it names ANOTHER-MACHINES-STORE now."));
}

TEST_F(CloudDeletionTest, MarkersAreWrittenWholeUnderANewName)
{
    startWatched(true);
    const ino_t before = inodeOf(marker);
    ASSERT_NE(before, ino_t(0));
    manager->setStoreUUID(QStringLiteral("0A0B0C0D-0000-4000-8000-000000000001"));
    drain();
    EXPECT_EQ(readFile(marker), "0A0B0C0D-0000-4000-8000-000000000001");
    EXPECT_NE(inodeOf(marker), before) << "the old marker is replaced, never truncated";
    const QStringList left = QDir(QFileInfo(marker).absolutePath())
                                 .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : left)
        EXPECT_FALSE(name.startsWith("StoreUUID+.")) << "left behind: " << name.toStdString();
}

TEST_F(CloudDeletionTest, IsHandledOnceWhenAReloadMeetsTheMarkerMissing)
{
    startWatched(true);
    manager->setDeletionCheckDelay(100);
    // Before the presenter hears of the deletion, a reload (a change of account told, say)
    // meets the marker missing, and puts a new presenter in place of the held one.
    auto hold = deleteBeforeThePresenterLooks();
    manager->cloudStoreChanged(platform::Notification());
    drain();
    hold->release();
    expectOneDeletionAndNoNewIdentity();
}

TEST_F(CloudDeletionTest, KeepsItsIdentityWhenItIsBackBeforeTheLooksEnd)
{
    startWatched(true);
    addRows();
    manager->setDeletionCheckDelay(100);
    auto hold = deleteBeforeThePresenterLooks();
    manager->cloudStoreChanged(platform::Notification());
    // The first look finds it missing; it is back, as it was, before the next look (which
    // waits for the main thread's events).
    const bool looked = waitWithoutEvents(
        [&] {
            for (const QString& line : delegate.allLogs()) {
                if (line.startsWith(QStringLiteral("The StoreUUID is missing; looking again")))
                    return true;
            }
            return false;
        },
        5000);
    EXPECT_TRUE(looked) << delegate.allLogs().join('\n').toStdString();
    writeFile(marker, identity.toLatin1());
    hold->release();
    expectNothingDeleted();
    EXPECT_FALSE(wroteAnIdentity());
}

TEST_F(CloudDeletionTest, AMarkerLeftEmptyIsWrittenAgainWholeWithTheLoadedIdentity)
{
    startWatched(false);
    addRows();
    manager->setMarkerMendDelay(200);
    // Emptied by hand, as a sync tool can leave it: for all this machine knows, another one
    // is writing it.
    writeFile(marker, "");
    const ino_t emptied = inodeOf(marker);
    manager->storeUUIDDidChange();
    // Until the time any writer needs has passed (the mend waits for the main thread's
    // events), it is waited for.
    for (int i = 0; i < 3; ++i)
        manager->enqueue([] {}, true, false);
    EXPECT_TRUE(delegate.logged("The StoreUUID is being written; waiting for it."));
    EXPECT_TRUE(readFile(marker).isEmpty());

    const QString mended
        = QStringLiteral("StoreUUID+ was left empty; wrote %1 into it again.").arg(identity);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.logged(mended); }, 10000))
        << delegate.allLogs().join('\n').toStdString();
    EXPECT_EQ(readFile(marker), identity.toLatin1());
    EXPECT_NE(inodeOf(marker), emptied) << "written whole under a new name";
    settle();
    EXPECT_EQ(manager->activeCloudStoreUUID(), identity);
    EXPECT_EQ(loadedStoreFile(), store);
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b" }));
    EXPECT_FALSE(wroteAnIdentity());
    EXPECT_FALSE(delegate.logged("Handling cloud deletion."));
}

TEST_F(CloudDeletionTest, AnEmptiedMarkerThatNamesAnIdentityByTheTimeOfTheMendIsLeftAlone)
{
    startWatched(false);
    addRows();
    manager->setMarkerMendDelay(200);
    writeFile(marker, "");
    manager->storeUUIDDidChange();
    for (int i = 0; i < 3; ++i)
        manager->enqueue([] {}, true, false);
    ASSERT_TRUE(delegate.logged("The StoreUUID is being written; waiting for it."));
    // Before the mend is due, the writer ends: it names the identity another machine made.
    // This machine has not heard of it (its presenter looks no more).
    manager->storeUUIDPresenter()->stop();
    const QByteArray theirs = "0C0C0C0C-0000-4000-8000-000000000003";
    writeFile(marker, theirs);
    const ino_t written = inodeOf(marker);

    // The mend, once due, finds it so.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return delegate.logged("StoreUUID+ names an identity by now; it is left as it is.");
        },
        10000))
        << delegate.allLogs().join('\n').toStdString();
    settle();
    EXPECT_EQ(readFile(marker), theirs);
    EXPECT_EQ(inodeOf(marker), written);
    for (const QString& line : delegate.allLogs())
        EXPECT_FALSE(line.contains("was left empty")) << line.toStdString();
    EXPECT_FALSE(wroteAnIdentity());
    EXPECT_FALSE(delegate.logged("Handling cloud deletion."));
}

TEST_F(CloudDeletionTest, AMarkerAnotherMachineWritesAsTheMendWritesKeepsTheOthersIdentity)
{
    startWatched(false);
    addRows();
    manager->setMarkerMendDelay(200);
    // Another machine's new identity arrives whole between the mend's look and its write.
    const QByteArray theirs = "0D0D0D0D-0000-4000-8000-000000000004";
    std::atomic<int> written { 0 };
    manager->setMarkerMendHook([&](const QString& path) {
        QSaveFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
        ASSERT_TRUE(file.commit());
        ++written;
    });
    manager->storeUUIDPresenter()->stop();
    writeFile(marker, "");
    manager->storeUUIDDidChange();

    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return delegate.logged("StoreUUID+ names an identity by now; it is left as it is.");
        },
        10000))
        << delegate.allLogs().join('\n').toStdString();
    manager->setMarkerMendHook(nullptr);
    settle();
    EXPECT_EQ(written, 1);
    EXPECT_EQ(readFile(marker), theirs) << "the other machine's identity stays";
    for (const QString& line : delegate.allLogs())
        EXPECT_FALSE(line.contains("was left empty")) << line.toStdString();
    EXPECT_FALSE(wroteAnIdentity());
}
