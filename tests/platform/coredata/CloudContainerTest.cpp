#include "CloudFixture.h"

#include "platform/Dispatch.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/FileCoordinator.h"
#include "platform/coredata/FilePresenter.h"
#include "platform/coredata/FileVersion.h"
#include "platform/coredata/MetadataQuery.h"
#include "platform/coredata/UbiquitousKeyValueStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QThread>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cloudtest;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// As another machine's sync writes a file: whole, under another name, then renamed into
// place. (A file truncated and then written is two changes to whoever looks between.)
void writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Records what it is told; a deletion is refused while `refusal` is set.
class RecordingPresenter : public cd::FilePresenter {
public:
    explicit RecordingPresenter(const QString& path)
        : m_url(QUrl::fromLocalFile(path))
        , m_queue(platform::dispatch::SerialQueue::create("RecordingPresenterQueue"))
    {
    }
    QUrl presentedItemURL() const override { return m_url; }
    std::shared_ptr<platform::dispatch::SerialQueue> presentedItemOperationQueue() const override
    {
        return m_queue;
    }
    void accommodatePresentedItemDeletion(
        std::function<void(const platform::Error&)> completion) override
    {
        record("deleted");
        completion(refusal);
    }
    void presentedItemDidChange() override { record("changed"); }
    void presentedItemDidGainVersion(const cd::FileVersion&) override { record("gained"); }
    void presentedItemDidResolveConflictVersion(const cd::FileVersion&) override
    {
        record("resolved");
    }

    QStringList events()
    {
        m_queue->sync([] {});
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    bool waitFor(const QString& event)
    {
        return testsupport::waitUntil([&] { return events().contains(event); }, 5000);
    }
    void clear()
    {
        m_queue->sync([] {});
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }

    platform::Error refusal;

private:
    void record(const QString& event)
    {
        std::lock_guard lock(m_mutex);
        m_events << event;
    }

    QUrl m_url;
    std::shared_ptr<platform::dispatch::SerialQueue> m_queue;
    std::mutex m_mutex;
    QStringList m_events;
};

} // namespace

TEST_F(CloudTest, TheCloudIsSignedInWhileItsFolderHoldsOneTokenForEveryMachine)
{
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    ASSERT_TRUE(token.isValid());
    EXPECT_EQ(cd::CloudContainer::ubiquityIdentityToken(), token);
    EXPECT_EQ(cd::CloudContainer::signIn(), token) << "a second sign-in keeps the token";
    EXPECT_EQ(readFile(cloudFolder() + "/" + cd::CloudContainer::IdentityTokenFileName),
        token.toString().toLatin1())
        << "another machine reads the same token from the shared folder";
    const QUrl container = cd::CloudContainer::URLForUbiquityContainerIdentifier({});
    EXPECT_EQ(container.toLocalFile(), cloudFolder() + "/net.solvane.kivotab");
    EXPECT_FALSE(QFileInfo::exists(container.toLocalFile())) << "made by what is written into it";
    EXPECT_TRUE(cd::CloudContainer::makeFolder(container.toLocalFile() + "/CloudLogs"));
    EXPECT_TRUE(QFileInfo(container.toLocalFile() + "/CloudLogs").isDir());
    EXPECT_EQ(cd::CloudContainer::URLForUbiquityContainerIdentifier("other").toLocalFile(),
        cloudFolder() + "/other");
    EXPECT_TRUE(cd::CloudContainer::isUbiquitousItemAtURL(
        QUrl::fromLocalFile(container.toLocalFile() + "/CloudLogs/x")));
    EXPECT_FALSE(cd::CloudContainer::isUbiquitousItemAtURL(
        QUrl::fromLocalFile(testsupport::homePath() + "/cloudy/x")));

    QDir(cloudFolder()).removeRecursively();
    EXPECT_FALSE(cd::CloudContainer::ubiquityIdentityToken().isValid());
    EXPECT_TRUE(cd::CloudContainer::URLForUbiquityContainerIdentifier({}).isEmpty());
    // A write that was under way as the folder went does not make it again.
    EXPECT_FALSE(cd::CloudContainer::makeFolder(container.toLocalFile() + "/CloudLogs"));
    EXPECT_FALSE(QFileInfo::exists(cloudFolder()));
    EXPECT_TRUE(cd::CloudContainer::makeFolder(testsupport::homePath() + "/elsewhere/deep"))
        << "outside the cloud a folder is made with those above it";
}

TEST_F(CloudTest, LookingAtTheTokenNeverMakesOneAndSigningInWritesItWhole)
{
    // An empty folder (an unmounted share leaves one) is signed out, however often looked at.
    const QString root = cloudFolder();
    ASSERT_TRUE(QDir(root).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(root));
    const auto everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    EXPECT_FALSE(cd::CloudContainer::ubiquityIdentityToken().isValid());
    EXPECT_TRUE(cd::CloudContainer::URLForUbiquityContainerIdentifier({}).isEmpty());
    EXPECT_TRUE(QDir(root).isEmpty(everything)) << "a look made nothing";

    // A token being written (empty, as a writer leaves it) is no account either.
    writeFile(root + "/" + cd::CloudContainer::IdentityTokenFileName, "");
    EXPECT_FALSE(cd::CloudContainer::ubiquityIdentityToken().isValid());
    ASSERT_TRUE(QFile::remove(root + "/" + cd::CloudContainer::IdentityTokenFileName));

    const QVariant token = cd::CloudContainer::signIn();
    ASSERT_EQ(token.toString().size(), 36);
    EXPECT_EQ(
        QDir(root).entryList(everything), QStringList { cd::CloudContainer::IdentityTokenFileName })
        << "nothing but the token is left of its writing";

    // Another machine signed in first: its token stands.
    writeFile(root + "/" + cd::CloudContainer::IdentityTokenFileName, "FIRST-MACHINE");
    EXPECT_EQ(cd::CloudContainer::signIn().toString(), "FIRST-MACHINE");

    ASSERT_TRUE(QDir(root).removeRecursively());
    EXPECT_FALSE(cd::CloudContainer::signIn().isValid()) << "no folder, no account";
}

TEST_F(CloudTest, TheFolderComesFromTheEnvironmentElseTheSettingElseTheHome)
{
    EXPECT_EQ(cd::CloudContainer::rootPath(), cloudFolder());
    qunsetenv("KIVOTAB_CLOUD");
    EXPECT_EQ(cd::CloudContainer::rootPath(), testsupport::homePath() + "/cloud");
    platform::UserDefaults::standard().setObject(
        cd::CloudContainer::FolderDefaultsKey, testsupport::homePath() + "/elsewhere");
    EXPECT_EQ(cd::CloudContainer::rootPath(), testsupport::homePath() + "/elsewhere");
    EXPECT_FALSE(cd::CloudContainer::ubiquityIdentityToken().isValid());
}

TEST_F(CloudTest, ASignInAndASignOutAreAnnounced)
{
    QDir(cloudFolder()).removeRecursively();
    std::atomic<int> announced { 0 };
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        cd::CloudContainer::UbiquityIdentityDidChangeNotification, nullptr,
        [&](const platform::Notification&) { ++announced; });
    cd::CloudContainer::startMonitoringIdentity();
    testsupport::processEvents(100);
    EXPECT_EQ(announced, 0);
    // A folder that appears may be signed in to; signing in gives it its token.
    QDir().mkpath(cloudFolder());
    EXPECT_TRUE(testsupport::waitUntil([&] { return announced == 1; }));
    cd::CloudContainer::signIn();
    EXPECT_TRUE(testsupport::waitUntil([&] { return announced == 2; }));
    QDir(cloudFolder()).removeRecursively();
    EXPECT_TRUE(testsupport::waitUntil([&] { return announced == 3; }));
    testsupport::processEvents(200);
    EXPECT_EQ(announced, 3);
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(CloudTest, AnEvictionIsRememberedForTheItemAndWhatItHolds)
{
    const QUrl container = cd::CloudContainer::URLForUbiquityContainerIdentifier({});
    ASSERT_TRUE(cd::CloudContainer::makeFolder(container.toLocalFile()));
    const QString inside = container.toLocalFile() + "/CloudLogs/S1";
    EXPECT_EQ(cd::CloudContainer::lastEvictionOfPath(inside), 0);
    const double before = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    ASSERT_TRUE(cd::CloudContainer::evictUbiquitousItemAtURL(container));
    EXPECT_GE(cd::CloudContainer::lastEvictionOfPath(inside), before);
    EXPECT_EQ(cd::CloudContainer::lastEvictionOfPath(cloudFolder() + "/other"), 0);
    platform::Error error;
    EXPECT_FALSE(cd::CloudContainer::evictUbiquitousItemAtURL(
        QUrl::fromLocalFile(testsupport::homePath() + "/Library"), &error));
    EXPECT_FALSE(error.isNull());
}

TEST_F(CloudTest, TheKeyValueStoreIsOneFileSharedByTheMachines)
{
    auto& values = cd::UbiquitousKeyValueStore::defaultStore();
    values.setObject("theme", "Blue");
    EXPECT_EQ(values.objectForKey("theme"), "Blue");
    const QString file = values.filePath();
    EXPECT_TRUE(file.startsWith(cloudFolder()));

    // Another machine adds a value: the next synchronisation sees it, a write keeps it.
    QJsonObject other = QJsonDocument::fromJson(readFile(file)).object();
    other.insert("other", 7);
    writeFile(file, QJsonDocument(other).toJson());
    ASSERT_TRUE(values.synchronize());
    EXPECT_EQ(values.objectForKey("other").toInt(), 7);
    values.removeObjectForKey("theme");
    EXPECT_EQ(QJsonDocument::fromJson(readFile(file)).object().keys(), QStringList { "other" });

    QDir(cloudFolder()).removeRecursively();
    EXPECT_FALSE(values.synchronize());
    values.setObject("kept", true);
    EXPECT_TRUE(values.objectForKey("kept").toBool()) << "signed out, values live in memory";
}

TEST_F(CloudTest, ConflictVersionsComeInDateOrderAndGoOnceResolved)
{
    const QString path = cloudFolder() + "/marker";
    writeFile(path, "current");
    const QUrl url = QUrl::fromLocalFile(path);
    EXPECT_TRUE(cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(url).isEmpty());
    const QDateTime early = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    const QDateTime late = QDateTime::fromSecsSinceEpoch(2000, Qt::UTC);
    cd::FileVersion::addConflictVersion(url, "late", late);
    cd::FileVersion::addConflictVersion(url, "early", early);
    auto versions = cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(url);
    ASSERT_EQ(versions.size(), 2);
    EXPECT_EQ(versions[0].modificationDate(), early);
    EXPECT_EQ(versions[1].modificationDate(), late);
    EXPECT_TRUE(versions[0].isConflict());
    EXPECT_FALSE(cd::FileVersion::currentVersionOfItemAtURL(url).isConflict());

    ASSERT_TRUE(versions[0].replaceItemAtURL(url));
    EXPECT_EQ(readFile(path), "early");
    for (auto& version : versions)
        EXPECT_TRUE(version.setResolved(true));
    EXPECT_TRUE(cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(url).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(cd::FileVersion::conflictFolder(url)));
}

TEST_F(CloudTest, APresenterHearsOfOthersWritesButNotOfItsOwn)
{
    const QString path = cloudFolder() + "/marker";
    writeFile(path, "one");
    auto presenter = std::make_shared<RecordingPresenter>(path);
    cd::FileCoordinator::addFilePresenter(presenter);
    cd::FileCoordinator own(presenter.get());
    cd::FileCoordinator other;

    auto write = [&](cd::FileCoordinator& coordinator, const QByteArray& text) {
        EXPECT_TRUE(coordinator.coordinateWritingItemAtURL(QUrl::fromLocalFile(path), 0,
            [&](const QUrl& url) { writeFile(url.toLocalFile(), text); }));
    };
    write(own, "two");
    testsupport::processEvents(200);
    EXPECT_TRUE(presenter->events().isEmpty());

    write(other, "three");
    EXPECT_TRUE(presenter->waitFor("changed"));
    presenter->clear();

    // Another machine's write is heard after the fact, once.
    writeWhole(path, "four");
    EXPECT_TRUE(presenter->waitFor("changed"));
    testsupport::processEvents(200);
    EXPECT_EQ(presenter->events(), QStringList { "changed" });
    presenter->clear();

    QFile::remove(path);
    EXPECT_TRUE(presenter->waitFor("deleted"));

    cd::FileCoordinator::removeFilePresenter(presenter.get());
    writeFile(path, "five");
    testsupport::processEvents(200);
    EXPECT_EQ(presenter->events(), QStringList { "deleted" });
}

TEST_F(CloudTest, ADeletionWaitsForThePresenterAndARefusalKeepsTheItem)
{
    const QString path = cloudFolder() + "/store.sqlite";
    writeFile(path, "data");
    auto presenter = std::make_shared<RecordingPresenter>(path);
    cd::FileCoordinator::addFilePresenter(presenter);
    cd::FileCoordinator deleter;
    presenter->refusal = cd::makeError(cd::PersistentStoreOperationError, "busy");
    platform::Error error;
    bool ran = false;
    EXPECT_FALSE(deleter.coordinateWritingItemAtURL(
        QUrl::fromLocalFile(path), cd::FileCoordinator::WritingForDeleting,
        [&](const QUrl&) { ran = true; }, &error));
    EXPECT_FALSE(ran);
    EXPECT_EQ(error.localizedDescription(), "busy");

    presenter->refusal = {};
    presenter->clear();
    EXPECT_TRUE(deleter.coordinateWritingItemAtURL(
        QUrl::fromLocalFile(path), cd::FileCoordinator::WritingForDeleting, [&](const QUrl& url) {
            // The presenter made way before the item went.
            EXPECT_EQ(presenter->events(), QStringList { "deleted" });
            QFile::remove(url.toLocalFile());
        }));
    testsupport::processEvents(200);
    EXPECT_EQ(presenter->events(), QStringList { "deleted" }) << "no second report after the fact";
    cd::FileCoordinator::removeFilePresenter(presenter.get());
}

TEST_F(CloudTest, AWriteOverAnUnseenVersionKeepsThatVersionAsAConflict)
{
    const QString path = cloudFolder() + "/StoreUUID+";
    auto presenter = std::make_shared<RecordingPresenter>(path);
    cd::FileCoordinator::addFilePresenter(presenter);
    cd::FileCoordinator own(presenter.get());
    // Another machine writes the marker, and this one writes before it has heard of it.
    writeFile(path, "THEIRS");
    EXPECT_TRUE(own.coordinateWritingItemAtURL(QUrl::fromLocalFile(path),
        cd::FileCoordinator::WritingForMerging,
        [&](const QUrl& url) { writeFile(url.toLocalFile(), "MINE"); }));
    const auto versions
        = cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(QUrl::fromLocalFile(path));
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(readFile(versions[0].URL().toLocalFile()), "THEIRS");
    EXPECT_TRUE(presenter->waitFor("gained"));

    // A version this machine has seen is simply written over.
    presenter->clear();
    versions[0].setResolved(true);
    EXPECT_TRUE(own.coordinateWritingItemAtURL(QUrl::fromLocalFile(path),
        cd::FileCoordinator::WritingForMerging,
        [&](const QUrl& url) { writeFile(url.toLocalFile(), "AGAIN"); }));
    EXPECT_TRUE(cd::FileVersion::unresolvedConflictVersionsOfItemAtURL(QUrl::fromLocalFile(path))
                    .isEmpty());
    cd::FileCoordinator::removeFilePresenter(presenter.get());
}

TEST_F(CloudTest, AMetadataQueryFindsAFileByNameAndTellsOfItsChanges)
{
    const QString path = cloudFolder() + "/net.solvane.kivotab/CloudLogs/StoreUUID+";
    writeFile(path, "one");
    writeFile(cloudFolder() + "/net.solvane.kivotab/CloudLogs/StoreUUID", "v0");
    cd::MetadataQuery query;
    query.setSearchScopes({ cd::MetadataQuery::UbiquitousDataScope });
    query.setFileNamePredicate("StoreUUID+");
    std::atomic<int> gathered { 0 };
    std::atomic<int> updates { 0 };
    auto& center = platform::NotificationCenter::defaultCenter();
    const auto t1 = center.addObserver(cd::MetadataQuery::DidFinishGatheringNotification, &query,
        [&](const platform::Notification&) { ++gathered; });
    const auto t2 = center.addObserver(cd::MetadataQuery::DidUpdateNotification, &query,
        [&](const platform::Notification&) { ++updates; });
    ASSERT_TRUE(query.start());
    EXPECT_FALSE(query.start()) << "already running";
    ASSERT_TRUE(testsupport::waitUntil([&] { return gathered == 1; }));
    ASSERT_EQ(query.resultCount(), 1);
    EXPECT_EQ(query.valueOfAttribute(0, cd::MetadataQuery::ItemURLKey).toUrl(),
        QUrl::fromLocalFile(path));
    EXPECT_EQ(query.valueOfAttribute(0, cd::MetadataQuery::ItemFSNameKey), "StoreUUID+");

    testsupport::processEvents(150);
    EXPECT_EQ(updates, 0) << "nothing changed";
    QThread::msleep(20);
    writeFile(path, "two, longer");
    EXPECT_TRUE(testsupport::waitUntil([&] { return updates == 1; }));

    query.disableUpdates();
    QFile::remove(path);
    testsupport::processEvents(200);
    EXPECT_EQ(updates, 1) << "held while updates are off";
    query.enableUpdates();
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(query.resultCount(), 0);

    query.stop();
    writeFile(path, "three");
    testsupport::processEvents(200);
    EXPECT_EQ(updates, 2);
    center.removeObserver(t1);
    center.removeObserver(t2);
}

namespace {

// Another account's folder: its own token.
void makeAccountFolder(const QString& path, const QByteArray& token)
{
    QDir().mkpath(path);
    writeFile(path + "/" + cd::CloudContainer::IdentityTokenFileName, token);
}

QStringList everythingIn(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

} // namespace

TEST_F(CloudTest, FoldersAreMadeOnlyWhileTheCloudFolderHoldsTheAccountsToken)
{
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    const QString logs = cloudFolder() + "/net.solvane.kivotab/CloudLogs";
    EXPECT_TRUE(cd::CloudContainer::makeFolder(logs + "/A", token));
    EXPECT_TRUE(cd::CloudContainer::writeFile(logs + "/A/file", "mine", token));
    EXPECT_EQ(readFile(logs + "/A/file"), "mine");

    // Another account's folder takes the place.
    const QString mine = cloudFolder() + ".mine";
    ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
    makeAccountFolder(cloudFolder(), "OTHER-ACCOUNT");
    QString problem;
    EXPECT_FALSE(cd::CloudContainer::makeFolder(logs + "/B", token));
    EXPECT_FALSE(cd::CloudContainer::writeFile(cloudFolder() + "/file", "mine", token, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(
        everythingIn(cloudFolder()), QStringList { cd::CloudContainer::IdentityTokenFileName })
        << "the other account's folder got nothing";

    // An empty mount point in the place: no account at all.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    EXPECT_FALSE(cd::CloudContainer::makeFolder(logs + "/B", token));
    EXPECT_FALSE(cd::CloudContainer::makeFolder(logs + "/B"));
    EXPECT_FALSE(cd::CloudContainer::makeFolder(logs + "/B", QVariant()));
    EXPECT_FALSE(cd::CloudContainer::writeFile(cloudFolder() + "/file", "mine", token));
    EXPECT_TRUE(everythingIn(cloudFolder()).isEmpty()) << "the mount point got nothing";

    // The account's folder is back.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(mine, cloudFolder()));
    EXPECT_TRUE(cd::CloudContainer::makeFolder(logs + "/B", token));
    EXPECT_TRUE(cd::CloudContainer::writeFile(logs + "/B/file", "mine", token));
    EXPECT_EQ(readFile(logs + "/B/file"), "mine");
}

TEST_F(CloudTest, AFileBegunAsTheFolderChangesHandsIsNotLeftInTheFolderThatTookThePlace)
{
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    const QString mine = cloudFolder() + ".mine";
    const QString file = cloudFolder() + "/KeyValueStore/values.json";
    ASSERT_TRUE(cd::CloudContainer::makeFolder(QFileInfo(file).absolutePath(), token));
    // Once the token was found, another account's folder laid out as this one takes the place.
    cd::CloudContainer::setWriteHook([&](const QString&) {
        ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
        makeAccountFolder(cloudFolder(), "OTHER-ACCOUNT");
        QDir().mkpath(QFileInfo(file).absolutePath());
    });
    QString problem;
    EXPECT_FALSE(cd::CloudContainer::writeFile(file, "mine", token, &problem));
    cd::CloudContainer::setWriteHook(nullptr);
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(everythingIn(cloudFolder()),
        (QStringList { cd::CloudContainer::IdentityTokenFileName, "KeyValueStore" }))
        << "the other account's folder got nothing";
    EXPECT_FALSE(QFileInfo::exists(mine + "/KeyValueStore/values.json"));
}

TEST_F(CloudTest, AnUnseenVersionIsKeptOnlyInTheAccountItWasReadFrom)
{
    const QString path = cloudFolder() + "/StoreUUID+";
    auto presenter = std::make_shared<RecordingPresenter>(path);
    cd::FileCoordinator::addFilePresenter(presenter);
    cd::FileCoordinator own(presenter.get());
    writeFile(path, "THEIRS");
    // As this machine writes over the version it has not seen, another account's folder,
    // with a marker of its own, takes the place.
    const QString mine = cloudFolder() + ".mine";
    EXPECT_TRUE(own.coordinateWritingItemAtURL(
        QUrl::fromLocalFile(path), cd::FileCoordinator::WritingForMerging, [&](const QUrl&) {
            ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
            makeAccountFolder(cloudFolder(), "OTHER-ACCOUNT");
            writeFile(path, "OTHER ACCOUNT'S");
        }));
    EXPECT_EQ(everythingIn(cloudFolder()),
        (QStringList { cd::CloudContainer::IdentityTokenFileName, "StoreUUID+" }))
        << "the other account's folder got nothing";
    EXPECT_EQ(readFile(path), "OTHER ACCOUNT'S");
    cd::FileCoordinator::removeFilePresenter(presenter.get());
}

TEST_F(CloudTest, TheKeyValueStoreWritesOnlyIntoTheAccountItReadFrom)
{
    auto& values = cd::UbiquitousKeyValueStore::defaultStore();
    values.setObject("theme", "Blue");
    const QString file = values.filePath();
    const QString relative = QDir(cloudFolder()).relativeFilePath(file);
    // The file becomes a pipe this test holds, so that the next change's read waits on it.
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    std::thread change([&] { values.setObject("theme", "Red"); });
    int pipe = -1;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        pipe = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK);
        return pipe >= 0;
    })) << "the change reads the pipe";

    // Meanwhile the folder changes hands: another account's, with values of its own.
    const QString mine = cloudFolder() + ".mine";
    ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
    makeAccountFolder(cloudFolder(), "OTHER-ACCOUNT");
    QDir().mkpath(QFileInfo(file).absolutePath());
    writeFile(file, R"({"theirs": 1})");
    const QByteArray sent = R"({"theme": "Blue"})";
    ASSERT_EQ(::write(pipe, sent.constData(), size_t(sent.size())), ssize_t(sent.size()));
    ::close(pipe);
    change.join();

    EXPECT_EQ(readFile(file), R"({"theirs": 1})") << "the other account's values stay theirs";
    EXPECT_EQ(everythingIn(cloudFolder()),
        (QStringList { cd::CloudContainer::IdentityTokenFileName, "KeyValueStore", relative }));
    EXPECT_EQ(QFileInfo(mine + "/" + relative).isFile(), false)
        << "the pipe in the account's folder, gone with it, was never written";

    // Back in the account: a change is written there.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(mine, cloudFolder()));
    ASSERT_TRUE(QFile::remove(file));
    values.setObject("theme", "Green");
    EXPECT_EQ(QJsonDocument::fromJson(readFile(file)).object().value("theme").toString(), "Green");
}

TEST_F(CloudTest, AChangeMetByAHalfDeliveredKeyValueFileWaitsAndKeepsEveryOtherKey)
{
    auto& values = cd::UbiquitousKeyValueStore::defaultStore();
    values.setRetryInterval(50);
    values.setObject("theme", "Blue");
    const QString file = values.filePath();
    const QByteArray whole = R"({"theme": "Blue", "other": 7, "more": "kept"})";

    // A sync tool is half way through delivering the file another machine wrote.
    for (const QByteArray& half : { whole.left(whole.size() / 2), QByteArray() }) {
        writeFile(file, half);
        values.setObject("mine", 1);
        values.removeObjectForKey("theme");
        EXPECT_EQ(readFile(file), half) << "a file that cannot be read is never written over";
        EXPECT_EQ(values.objectForKey("mine").toInt(), 1) << "the change holds here meanwhile";
        EXPECT_FALSE(values.synchronize());
        EXPECT_EQ(readFile(file), half);

        // Delivered whole: the changes go after what the file holds, in the order made.
        writeWhole(file, whole);
        ASSERT_TRUE(testsupport::waitUntil([&] { return readFile(file) != whole; }, 10000))
            << "the waiting change is tried again";
        EXPECT_EQ(QJsonDocument::fromJson(readFile(file)).object().toVariantMap(),
            (QVariantMap { { "other", 7 }, { "more", "kept" }, { "mine", 1 } }));
        ASSERT_TRUE(values.synchronize());
        EXPECT_EQ(values.dictionaryRepresentation(),
            (QVariantMap { { "other", 7 }, { "more", "kept" }, { "mine", 1 } }));
    }
}
