#include "CloudFixture.h"
#include "StoreSql.h"

#include "platform/Exception.h"
#include "platform/coredata/ImportErrorHook.h"

#include "common/ChildProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>

#include <sqlite3.h>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cloudtest;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Put in the place whole, as a peer writes its files: the other peer reads the folder as it
// likes, and would otherwise find the file emptied or half written.
void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

// The peers that have a folder in the content.
QStringList peersIn(const QString& root, const QString& content = QStringLiteral("S1"))
{
    return QDir(root + "/net.solvane.kivotab/CloudLogs/" + content)
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// Peer A saves D1, then D2 while its folder in the cloud cannot be written (a file stands
// in its place): D2 waits in its replica. The folder is `blocked`.
void saveWithThePeersFolderBlocked(QString* blocked)
{
    Peer a("A.sqlite");
    a.insert("D1", "One", 1);
    ASSERT_TRUE(a.context->save());
    *blocked = QFileInfo(changeSetFiles().value(0)).absolutePath();
    ASSERT_FALSE(blocked->isEmpty());
    ASSERT_TRUE(QDir().rename(*blocked, *blocked + ".away"));
    writeFile(*blocked, "in the way");
    a.insert("D2", "Two", 1);
    EXPECT_TRUE(a.context->save()) << "the save itself does not depend on the cloud";
}

void unblock(const QString& folder)
{
    QFile::remove(folder);
    ASSERT_TRUE(QDir().rename(folder + ".away", folder));
}

// A's replica, opened with the options, is rebuilt as a new peer and holds D1 and D2, both
// in the cloud, where another peer finds them.
void expectRebuiltWithBothSaves(const QVariantMap& options = {})
{
    {
        Peer a("A.sqlite", "S1", options);
        ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
        EXPECT_EQ(a.count(), 2);
    }
    EXPECT_EQ(changeSetFiles().size(), 2);
    EXPECT_EQ(peersIn(cloudFolder()).size(), 2) << "rebuilt, as a new peer";
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 2);
}

} // namespace

TEST_F(CloudTest, SavesArriveAtTheOtherPeerWithTheImportNotification)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    ASSERT_TRUE(b.store) << b.error.localizedDescription().toStdString();

    a.insert("D1", "First", 100);
    ASSERT_TRUE(a.context->save());
    auto info = b.waitForImport();
    ASSERT_TRUE(info);
    const auto inserted = idsIn(*info, cd::UbiquitousContent::InsertedObjectsKey);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.first().storeIdentifier, b.store->identifier());
    EXPECT_EQ(b.nameOf("D1"), "First");
    EXPECT_EQ(changeSetFiles().size(), 1);

    a.find("D1")->setValue("name", "Second");
    a.find("D1")->setValue("mtimestamp", 200.0);
    ASSERT_TRUE(a.context->save());
    info = b.waitForImport();
    ASSERT_TRUE(info);
    EXPECT_EQ(idsIn(*info, cd::UbiquitousContent::UpdatedObjectsKey), inserted);
    EXPECT_TRUE(idsIn(*info, cd::UbiquitousContent::InsertedObjectsKey).isEmpty());
    EXPECT_EQ(b.nameOf("D1"), "Second");

    // A peer's later save wins over its earlier one even when the timestamp stays.
    a.find("D1")->setValue("name", "Third");
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());
    EXPECT_EQ(b.nameOf("D1"), "Third");

    a.context->deleteObject(a.find("D1"));
    ASSERT_TRUE(a.context->save());
    info = b.waitForImport();
    ASSERT_TRUE(info);
    EXPECT_EQ(idsIn(*info, cd::UbiquitousContent::DeletedObjectsKey), inserted);
    EXPECT_EQ(b.find("D1"), nullptr);

    // A peer never imports its own saves.
    testsupport::processEvents(300);
    EXPECT_TRUE(a.takeImports().isEmpty());
    EXPECT_EQ(changeSetFiles().size(), 4);
}

TEST_F(CloudTest, AReplacementOfAllObjectsArrivesAtTheOtherPeer)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    ASSERT_TRUE(b.store) << b.error.localizedDescription().toStdString();
    a.insert("D1", "First", 100);
    a.insert("D2", "Second", 100);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());
    ASSERT_EQ(b.count(), 2);

    // What a restore does: the old objects are deleted unread, the new ones written.
    const cd::EntityDescription* entity
        = a.context->persistentStoreCoordinator()->managedObjectModel()->entity("Database");
    QList<QVariant> values(entity->attributes().size());
    values[entity->indexOfAttribute("id")] = QString("D3");
    values[entity->indexOfAttribute("name")] = QString("Third");
    values[entity->indexOfAttribute("mtimestamp")] = 300.0;
    std::vector<cd::ManagedObjectContext::EntityContent> contents;
    contents.push_back({ entity, { values } });
    platform::Error error;
    ASSERT_TRUE(a.context->replaceAllObjects(std::move(contents), &error))
        << error.localizedDescription().toStdString();
    const auto info = b.waitForImport();
    ASSERT_TRUE(info);
    EXPECT_EQ(idsIn(*info, cd::UbiquitousContent::DeletedObjectsKey).size(), 2);
    EXPECT_EQ(b.count(), 1);
    EXPECT_EQ(b.nameOf("D3"), "Third");
    EXPECT_EQ(b.find("D1"), nullptr);
}

TEST_F(CloudTest, AReplacementGivenInStepsArrivesOnlyWhenCommitted)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    a.insert("D1", "First", 100);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());
    const qsizetype files = changeSetFiles().size();

    const cd::EntityDescription* entity
        = a.context->persistentStoreCoordinator()->managedObjectModel()->entity("Database");
    const auto record = [&](const QString& id) {
        QList<QVariant> values(entity->attributes().size());
        values[entity->indexOfAttribute("id")] = id;
        values[entity->indexOfAttribute("name")] = id;
        values[entity->indexOfAttribute("mtimestamp")] = 300.0;
        return values;
    };
    platform::Error error;
    // Dropped after some records were written: nothing reaches the other peer.
    {
        auto replacement = a.context->beginReplacement({ entity }, &error);
        ASSERT_TRUE(replacement) << error.localizedDescription().toStdString();
        ASSERT_TRUE(replacement->add(*entity, { record("X1") }, &error));
    }
    testsupport::processEvents(300);
    EXPECT_TRUE(b.takeImports().isEmpty());
    EXPECT_EQ(changeSetFiles().size(), files);
    EXPECT_EQ(a.nameOf("D1"), "First");

    auto replacement = a.context->beginReplacement({ entity }, &error);
    ASSERT_TRUE(replacement) << error.localizedDescription().toStdString();
    ASSERT_TRUE(replacement->add(*entity, { record("D2") }, &error));
    ASSERT_TRUE(replacement->add(*entity, { record("D3"), record("D4") }, &error));
    ASSERT_TRUE(replacement->commit(&error)) << error.localizedDescription().toStdString();
    const auto info = b.waitForImport();
    ASSERT_TRUE(info);
    EXPECT_EQ(idsIn(*info, cd::UbiquitousContent::DeletedObjectsKey).size(), 1);
    EXPECT_EQ(idsIn(*info, cd::UbiquitousContent::InsertedObjectsKey).size(), 3);
    EXPECT_EQ(b.count(), 3);
    EXPECT_EQ(b.find("D1"), nullptr);
    EXPECT_EQ(b.nameOf("D4"), "D4");
    EXPECT_EQ(changeSetFiles().size(), files + 1);
}

TEST_F(CloudTest, TheLaterMtimestampWinsAConflictOnEveryPeer)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    a.insert("D1", "Base", 100);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());

    // Both edit before either takes the other's edit: each store's lock is held here (the
    // saves below take it again on this thread), so neither peer's import, which runs on its
    // own queue, can apply the other's set until both are saved. An edit made after taking
    // the other's would rightly come after it, whatever its clock says.
    a.coordinator->lock();
    b.coordinator->lock();
    a.find("D1")->setValue("name", "Later");
    a.find("D1")->setValue("mtimestamp", 300.0);
    const bool savedA = a.context->save();
    b.find("D1")->setValue("name", "Earlier");
    b.find("D1")->setValue("mtimestamp", 200.0);
    const bool savedB = b.context->save();
    b.coordinator->unlock();
    a.coordinator->unlock();
    ASSERT_TRUE(savedA);
    ASSERT_TRUE(savedB);

    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return a.nameOf("D1") == "Later" && b.nameOf("D1") == "Later"; }, 10000))
        << a.nameOf("D1").toStdString() << " / " << b.nameOf("D1").toStdString();
    testsupport::processEvents(300);
    EXPECT_EQ(a.nameOf("D1"), "Later");
    EXPECT_EQ(b.nameOf("D1"), "Later");
}

// A context that holds the objects an import changed is brought up to date by the merge,
// also in an object it has changed itself: the attributes changed there stay as they are,
// the others take the import's values at once, so its save writes neither the old values
// of the other peer's edit nor loses its own.
TEST_F(CloudTest, AMergedImportRefreshesHeldObjectsAndKeepsWhatWasChangedHere)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    a.insert("D1", "First", 100)->setValue("descr", "Plain");
    a.insert("D2", "Other", 100);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());
    cd::ManagedObject* changed = b.find("D1");
    cd::ManagedObject* untouched = b.find("D2");
    ASSERT_TRUE(changed && untouched);
    changed->setValue("descr", "Changed on B");
    changed->setValue("mtimestamp", 300.0);

    a.find("D1")->setValue("name", "Second");
    a.find("D1")->setValue("descr", "Changed on A");
    a.find("D1")->setValue("mtimestamp", 200.0);
    a.find("D2")->setValue("name", "Renamed");
    a.find("D2")->setValue("mtimestamp", 200.0);
    ASSERT_TRUE(a.context->save());
    const auto info = b.waitForImport();
    ASSERT_TRUE(info);
    b.context->mergeChangesFromUbiquitousImport(*info);
    // Read from the objects held, not fetched again.
    EXPECT_EQ(untouched->value("name"), "Renamed");
    EXPECT_EQ(changed->value("name"), "Second");
    EXPECT_EQ(changed->value("descr"), "Changed on B");
    EXPECT_TRUE(changed->isUpdated());
    EXPECT_EQ(changed->changedKeys(), QStringList({ "descr", "mtimestamp" }));

    ASSERT_TRUE(b.context->save());
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            cd::ManagedObject* there = a.find("D1");
            return there && there->value("descr") == "Changed on B";
        },
        10000));
    EXPECT_EQ(a.nameOf("D1"), "Second");
    EXPECT_EQ(changed->value("name"), "Second");

    // A rollback after a merge goes back to what the store holds now.
    changed->setValue("name", "Typed");
    a.find("D1")->setValue("descr", "Later on A");
    a.find("D1")->setValue("mtimestamp", 400.0);
    ASSERT_TRUE(a.context->save());
    const auto later = b.waitForImport();
    ASSERT_TRUE(later);
    b.context->mergeChangesFromUbiquitousImport(*later);
    EXPECT_EQ(changed->value("descr"), "Later on A");
    b.context->rollback();
    EXPECT_EQ(changed->value("name"), "Second");
    EXPECT_EQ(changed->value("descr"), "Later on A");
}

TEST_F(CloudTest, AnEditMadeAfterSeeingAnotherPeersEditWinsWhateverTheClocksSay)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    a.insert("D1", "Base", 500);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(b.waitForImport());
    // B's clock is behind: its edit, made after it saw A's, carries an older stamp.
    b.find("D1")->setValue("name", "Afterwards");
    b.find("D1")->setValue("mtimestamp", 400.0);
    ASSERT_TRUE(b.context->save());
    EXPECT_TRUE(testsupport::waitUntil([&] { return a.nameOf("D1") == "Afterwards"; }, 10000));
    EXPECT_EQ(b.nameOf("D1"), "Afterwards");
}

TEST_F(CloudTest, AnEditAfterADeletionBringsTheObjectBackAndOneBeforeItStaysDeleted)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    a.insert("Kept", "Base", 100);
    a.insert("Gone", "Base", 100);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(testsupport::waitUntil([&] { return b.count() == 2; }, 10000));

    a.context->deleteObject(a.find("Kept"));
    a.context->deleteObject(a.find("Gone"));
    ASSERT_TRUE(a.context->save());
    b.find("Kept")->setValue("name", "Edited");
    b.find("Kept")->setValue("mtimestamp", now + 3600);
    b.find("Gone")->setValue("name", "Edited");
    b.find("Gone")->setValue("mtimestamp", 150.0);
    ASSERT_TRUE(b.context->save());

    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return a.nameOf("Kept") == "Edited" && b.nameOf("Kept") == "Edited" && !a.find("Gone")
                && !b.find("Gone");
        },
        10000));
}

TEST_F(CloudTest, AStoreMigratedIntoTheCloudSendsWhatItHolds)
{
    {
        auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(kivotabModel());
        auto local = coordinator->addPersistentStore(cd::SQLiteStoreType, {},
            storetest::storeUrl("Local.sqlite"), storetest::migratingOptions());
        ASSERT_TRUE(local);
        cd::ManagedObjectContext context;
        context.setPersistentStoreCoordinator(coordinator);
        for (int i = 0; i < 120; ++i) {
            auto* row = context.insertNewObject("Rows");
            row->setValue("id", QString("R%1").arg(i));
            row->setValue("order", i);
        }
        ASSERT_TRUE(context.save());
        platform::Error error;
        ASSERT_TRUE(coordinator->migratePersistentStore(local, storetest::storeUrl("Seeded.sqlite"),
            cloudOptions(), cd::SQLiteStoreType, &error))
            << error.localizedDescription().toStdString();
    }
    Peer b("B.sqlite");
    EXPECT_TRUE(testsupport::waitUntil([&] { return b.count("Rows") == 120; }, 10000))
        << b.count("Rows");
}

TEST_F(CloudTest, RebuildingFromTheContentReplaysEveryChangeSetIntoANewReplica)
{
    {
        Peer a("A.sqlite");
        a.insert("D1", "One", 1);
        a.insert("D2", "Two", 1);
        ASSERT_TRUE(a.context->save());
        a.context->deleteObject(a.find("D2"));
        a.insert("D3", "Three", 1);
        ASSERT_TRUE(a.context->save());
    }
    writeFile(testsupport::homePath() + "/A.sqlite", "this is no database");
    Peer plain("A.sqlite");
    EXPECT_FALSE(plain.store);

    Peer rebuilt(
        "A.sqlite", "S1", { { cd::PersistentStoreRebuildFromUbiquitousContentOption, true } });
    ASSERT_TRUE(rebuilt.store) << rebuilt.error.localizedDescription().toStdString();
    EXPECT_EQ(rebuilt.count(), 2);
    EXPECT_EQ(rebuilt.nameOf("D3"), "Three");
    EXPECT_FALSE(rebuilt.find("D2"));
    // What could not be read, and so not be told apart from a replica with saves to send, is
    // kept.
    const QStringList kept
        = QDir(testsupport::homePath()).entryList({ "A.sqlite.unreadable-*" }, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readFile(testsupport::homePath() + "/" + kept.first()), "this is no database");
}

TEST_F(CloudTest, AReplicaIsRebuiltWhenOpenedAfterTheContentWasEvicted)
{
    {
        Peer a("A.sqlite");
        Peer b("B.sqlite");
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        ASSERT_TRUE(testsupport::waitUntil([&] { return b.count() == 1; }, 10000));
    }
    const QString replica = testsupport::homePath() + "/B.sqlite";
    storetest::runSql(replica, "DELETE FROM \"Database\"");
    {
        Peer b("B.sqlite");
        EXPECT_EQ(b.count(), 0);
    }
    const QUrl container = cd::CloudContainer::URLForUbiquityContainerIdentifier({});
    ASSERT_TRUE(cd::CloudContainer::evictUbiquitousItemAtURL(container));
    EXPECT_TRUE(QFileInfo::exists(container.toLocalFile())) << "eviction keeps the cloud's copy";
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 1);
}

TEST_F(CloudTest, AnEvictionsRebuildSendsWhatWaitedFirstAndWaitsWhileItCannot)
{
    QString folder;
    ASSERT_NO_FATAL_FAILURE(saveWithThePeersFolderBlocked(&folder));
    ASSERT_TRUE(cd::CloudContainer::evictUbiquitousItemAtURL(
        cd::CloudContainer::URLForUbiquityContainerIdentifier({})));
    {
        Peer a("A.sqlite");
        ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
        EXPECT_EQ(a.count(), 2) << "not rebuilt at the cost of the save it could not send";
    }
    EXPECT_EQ(changeSetFiles().size(), 1);

    ASSERT_NO_FATAL_FAILURE(unblock(folder));
    expectRebuiltWithBothSaves();
}

TEST_F(CloudTest, ARebuildWaitsForTheAccountsFolderAndSendsWhatWaitedFirst)
{
    const QString away = cloudFolder() + ".away";
    // As the manager's retry opens the store: with the account it loads, to be rebuilt.
    const QVariantMap asTheRetry { { cd::PersistentStoreRebuildFromUbiquitousContentOption, true },
        { cd::PersistentStoreUbiquitousIdentityTokenOption,
            cd::CloudContainer::ubiquityIdentityToken() } };
    {
        Peer a("A.sqlite");
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        ASSERT_TRUE(QDir().rename(cloudFolder(), away));
        a.insert("D2", "Two", 1);
        ASSERT_TRUE(a.context->save());
    }
    {
        Peer rebuilt("A.sqlite", "S1", asTheRetry);
        EXPECT_FALSE(rebuilt.store) << "the account's folder is away";
    }
    // The share's empty mount point in the place.
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    {
        Peer rebuilt("A.sqlite", "S1", asTheRetry);
        EXPECT_FALSE(rebuilt.store) << "an empty folder is not the account's";
    }
    EXPECT_TRUE(
        QDir(cloudFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(away, cloudFolder()));
    expectRebuiltWithBothSaves(asTheRetry);
}

namespace {

// The ids the peer holds, in order: "D1 D2".
std::string databaseIds(Peer& peer)
{
    cd::FetchRequest request("Database");
    request.setSortDescriptors({ { "id", true } });
    QStringList ids;
    for (auto* object : peer.context->executeFetchRequest(request))
        ids << object->value("id").toString();
    return ids.join(' ').toStdString();
}

// Two peers of one account; the account's folder comes back at another path, moved or
// copied there, while one of them has a save waiting to be sent.
void carryOnAtAnotherPath(bool copied)
{
    const QString away = cloudFolder() + ".away";
    const QString elsewhere = testsupport::homePath() + "/elsewhere/cloud";
    {
        Peer a("A.sqlite");
        Peer b("B.sqlite");
        ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
        ASSERT_TRUE(b.store) << b.error.localizedDescription().toStdString();
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        b.insert("D2", "Two", 1);
        ASSERT_TRUE(b.context->save());
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return a.count() == 2 && b.count() == 2; }, 10000));
        ASSERT_TRUE(QDir().rename(cloudFolder(), away));
        a.insert("D3", "Three", 1);
        ASSERT_TRUE(a.context->save());
    }
    ASSERT_TRUE(QDir().mkpath(QFileInfo(elsewhere).absolutePath()));
    // A copy is made of new files, with new times.
    int copying = -1;
    if (copied)
        testsupport::runTool("cp", { "-R", away, elsewhere }, {}, &copying);
    else
        ASSERT_TRUE(QDir().rename(away, elsewhere));
    ASSERT_TRUE(!copied || copying == 0);
    qputenv("KIVOTAB_CLOUD", elsewhere.toUtf8());
    const QStringList peers = peersIn(elsewhere);
    ASSERT_EQ(peers.size(), 2);

    Peer a("A.sqlite");
    Peer b("B.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    ASSERT_TRUE(b.store) << b.error.localizedDescription().toStdString();
    const std::string all = "D1 D2 D3";
    EXPECT_TRUE(testsupport::waitUntil([&] { return databaseIds(b) == all; }, 10000))
        << databaseIds(b);
    testsupport::processEvents(300); // more looks at the folders
    EXPECT_EQ(databaseIds(a), all);
    EXPECT_EQ(databaseIds(b), all);
    EXPECT_EQ(peersIn(elsewhere).join(' ').toStdString(), peers.join(' ').toStdString())
        << "both carry on as the peers they were";
    EXPECT_EQ(changeSetFiles("S1", elsewhere).size(), 3) << "nothing is sent again";

    // Edits keep going both ways.
    a.find("D2")->setValue("name", "Two, edited");
    a.find("D2")->setValue("mtimestamp", 2.0);
    ASSERT_TRUE(a.context->save());
    EXPECT_TRUE(testsupport::waitUntil([&] { return b.nameOf("D2") == "Two, edited"; }, 10000));
    b.insert("D4", "Four", 1);
    ASSERT_TRUE(b.context->save());
    EXPECT_TRUE(testsupport::waitUntil([&] { return databaseIds(a) == "D1 D2 D3 D4"; }, 10000))
        << databaseIds(a);
    EXPECT_EQ(changeSetFiles("S1", elsewhere).size(), 5);
}

} // namespace

TEST_F(CloudTest, AReplicaMeetingItsAccountsFolderMovedCarriesOnAsTheSamePeer)
{
    carryOnAtAnotherPath(false);
}

TEST_F(CloudTest, AReplicaMeetingACopyOfItsAccountsFolderCarriesOnAsTheSamePeer)
{
    carryOnAtAnotherPath(true);
}

TEST_F(CloudTest, RemovingTheContentDeletesItsFolderAndTheReplica)
{
    QString content;
    {
        Peer a("A.sqlite");
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        content = cd::UbiquitousContent::contentPath(a.options);
        ASSERT_TRUE(QFileInfo(content).isDir());
        platform::Error error;
        ASSERT_TRUE(a.coordinator->removePersistentStore(a.store, &error));
        a.store.reset();
        ASSERT_TRUE(cd::UbiquitousContent::removeUbiquitousContentAndPersistentStore(
            a.url, a.options, &error))
            << error.localizedDescription().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(content));
    EXPECT_FALSE(QFileInfo::exists(testsupport::homePath() + "/A.sqlite"));
    EXPECT_FALSE(QFileInfo::exists(testsupport::homePath() + "/A.sqlite-wal"));
}

TEST_F(CloudTest, ADamagedChangeSetIsReportedAndHoldsBackThatPeersLaterSets)
{
    std::mutex mutex;
    QList<platform::Error> reported;
    cd::setImportErrorHook([&](const platform::Error& error) {
        std::lock_guard lock(mutex);
        reported << error;
    });
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    a.insert("D1", "One", 1);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(testsupport::waitUntil([&] { return b.count() == 1; }, 10000));

    a.insert("D2", "Two", 1);
    ASSERT_TRUE(a.context->save());
    a.insert("D3", "Three", 1);
    ASSERT_TRUE(a.context->save());
    const QStringList files = changeSetFiles();
    ASSERT_EQ(files.size(), 3);
    const QByteArray second = readFile(files[1]);
    writeFile(files[1], second.left(second.size() / 2));
    // What a writer leaves behind when it dies is never read.
    writeFile(files[1] + ".tmp123", "{");

    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return !reported.isEmpty();
        },
        10000));
    testsupport::processEvents(200);
    EXPECT_EQ(b.count(), 1) << "nothing past the damaged set is applied";
    {
        std::lock_guard lock(mutex);
        ASSERT_EQ(reported.size(), 1) << "a damaged set is reported once";
        const platform::Error& error = reported.first();
        EXPECT_EQ(error.domain(), cd::ErrorDomain);
        EXPECT_EQ(error.code(), cd::UbiquitousImportError);
        const QVariant exception = error.userInfo().value(cd::UnderlyingExceptionKey);
        ASSERT_EQ(exception.metaType(), QMetaType::fromType<platform::Exception>());
        const auto& info
            = static_cast<const platform::Exception*>(exception.constData())->userInfo();
        EXPECT_TRUE(info.contains(cd::SQLiteErrorCodeKey));
        EXPECT_EQ(info.value(platform::Error::FilePathKey).toString(), files[1]);
    }

    writeFile(files[1], second);
    EXPECT_TRUE(testsupport::waitUntil([&] { return b.count() == 3; }, 10000));
    cd::setImportErrorHook(nullptr);
}

// A change set that names one entity and an object of another changes nothing: not the
// other entity's row of the same key, and not the rest of its own set.
TEST_F(CloudTest, AChangeNamingAnObjectInAnotherEntityRefusesItsSetAndIsReported)
{
    std::mutex mutex;
    QStringList reported;
    cd::setImportErrorHook([&](const platform::Error& error) {
        std::lock_guard lock(mutex);
        reported << error.userInfo().value(cd::ReasonKey).toString();
    });
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    a.insert("D1", "One", 1);
    auto* definition = a.context->insertNewObject("Template");
    definition->setValue("id", "T1");
    definition->setValue("name", "Contacts");
    definition->setValue("mtimestamp", 1.0);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return b.count() == 1 && b.count("Template") == 1; }, 10000));

    // The objects as the cloud names them, and the changes that brought them.
    const QStringList files = changeSetFiles();
    ASSERT_EQ(files.size(), 1);
    const auto first = cd::ChangeSet::fromJson(readFile(files.first()));
    ASSERT_TRUE(first);
    cd::ChangeSet::Change database, table;
    for (const auto& change : first->changes)
        (change.entity == "Database" ? database : table) = change;
    ASSERT_EQ(database.entity, "Database");
    ASSERT_EQ(table.entity, "Template");
    const auto drop = [&](qint64 sequence, const QList<cd::ChangeSet::Change>& changes) {
        cd::ChangeSet set;
        set.peer = first->peer;
        set.sequence = sequence;
        set.time = 1e10;
        set.changes = changes;
        writeFile(QFileInfo(files.first()).dir().filePath(cd::ChangeSet::fileName(sequence)),
            set.toJson());
    };
    // A good change beside a deletion of the Database object as a Template.
    cd::ChangeSet::Change renamed = database;
    renamed.kind = cd::ChangeSet::Change::Kind::Update;
    renamed.version = 1e10;
    renamed.values["name"] = "Renamed";
    cd::ChangeSet::Change misnamedDelete { cd::ChangeSet::Change::Kind::Delete, "Template",
        database.object, 1e10, {} };
    drop(2, { renamed, misnamedDelete });
    // The Database object updated as a Template.
    cd::ChangeSet::Change misnamedUpdate = table;
    misnamedUpdate.kind = cd::ChangeSet::Change::Kind::Update;
    misnamedUpdate.object = database.object;
    misnamedUpdate.version = 1e10;
    misnamedUpdate.values["name"] = "Overwritten";
    drop(3, { misnamedUpdate });
    // The peer's later sets still come.
    cd::ChangeSet::Change later = database;
    later.object = "another-object";
    later.values["id"] = "D2";
    later.values["name"] = "Two";
    drop(4, { later });

    ASSERT_TRUE(testsupport::waitUntil([&] { return b.count() == 2; }, 10000));
    EXPECT_EQ(b.nameOf("D1"), "One");
    EXPECT_EQ(b.nameOf("D2"), "Two");
    const auto definitions = b.context->executeFetchRequest(cd::FetchRequest("Template"));
    ASSERT_EQ(definitions.size(), 1);
    EXPECT_EQ(definitions.first()->value("name").toString(), "Contacts");
    std::lock_guard lock(mutex);
    ASSERT_EQ(reported.size(), 2);
    EXPECT_TRUE(reported[0].contains("change set 2")) << reported[0].toStdString();
    EXPECT_TRUE(reported[1].contains("change set 3")) << reported[1].toStdString();
    cd::setImportErrorHook(nullptr);
}

TEST_F(CloudTest, AChangeSetThatCouldNotReachTheCloudIsSentWhenTheStoreIsNextOpened)
{
    QString folder;
    ASSERT_NO_FATAL_FAILURE(saveWithThePeersFolderBlocked(&folder));
    EXPECT_EQ(changeSetFiles().size(), 1);
    ASSERT_NO_FATAL_FAILURE(unblock(folder));

    Peer reopened("A.sqlite");
    EXPECT_EQ(changeSetFiles().size(), 2);
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 2);
}

TEST_F(CloudTest, ASaveWhileTheCloudFolderIsAwayNeitherMakesItAgainNorLosesTheChange)
{
    const QString away = cloudFolder() + ".away";
    {
        Peer a("A.sqlite");
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        // The share is unmounted under the open store, and a save follows.
        ASSERT_TRUE(QDir().rename(cloudFolder(), away));
        a.insert("D2", "Two", 1);
        EXPECT_TRUE(a.context->save()) << "the save itself does not depend on the cloud";
        EXPECT_FALSE(QFileInfo::exists(cloudFolder())) << "the write made the cloud folder again";
    }
    ASSERT_TRUE(QDir().rename(away, cloudFolder()));
    Peer reopened("A.sqlite");
    EXPECT_EQ(changeSetFiles().size(), 2);
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 2);
}

TEST_F(CloudTest, AnUnavailableCloudRefusesTheStore)
{
    qputenv("KIVOTAB_CLOUD", QByteArray(testsupport::homePath().toUtf8() + "/no-such-cloud"));
    Peer a("A.sqlite");
    EXPECT_FALSE(a.store);
    EXPECT_EQ(a.error.code(), cd::PersistentStoreOpenError);
}

// The child of KilledMidSaveLeavesEveryChangeSetWholeOrAbsent: saves batch after batch into
// its replica until it is killed.
TEST(CloudStoreChild, SavesUntilKilled)
{
    const QByteArray home = qgetenv("KIVOTAB_CLOUD_CHILD_HOME");
    if (home.isEmpty())
        GTEST_SKIP() << "run by KilledMidSaveLeavesEveryChangeSetWholeOrAbsent";
    qputenv("KIVOTAB_HOME", home);
    Peer peer("Killed.sqlite");
    ASSERT_TRUE(peer.store);
    const QString payload(300, 'x');
    for (int round = 0;; ++round) {
        for (int i = 0; i < 300; ++i) {
            auto* row = peer.context->insertNewObject("Rows");
            row->setValue("id", QString("%1-%2-%3").arg(qApp->applicationPid()).arg(round).arg(i));
            row->setValue("json", payload);
        }
        if (!peer.context->save())
            std::abort();
        printf("saved %d\n", round);
        fflush(stdout);
    }
}

TEST_F(CloudTest, KilledMidSaveLeavesEveryChangeSetWholeOrAbsent)
{
    const QString childHome = testsupport::homePath() + "/child";
    QDir().mkpath(childHome);
    for (int run = 0; run < 3; ++run) {
        testsupport::ChildProcess child;
        child.setEnvironment("KIVOTAB_CLOUD_CHILD_HOME", childHome);
        child.setEnvironment("KIVOTAB_CLOUD", cloudFolder());
        ASSERT_TRUE(child.startTests("CloudStoreChild.SavesUntilKilled")) << child.report();
        ASSERT_TRUE(child.waitForOutput("saved", 60000, 2)) << child.report();
        // Somewhere inside one of the next saves.
        QThread::msleep(QRandomGenerator::global()->bounded(40));
        child.kill();
        EXPECT_TRUE(child.killedBySignal()) << child.report();
    }

    // Every change set in the cloud is whole.
    for (const QString& file : changeSetFiles())
        EXPECT_TRUE(cd::ChangeSet::fromJson(readFile(file))) << file.toStdString();

    // The killed replica, opened again, sends what it committed and had not sent yet.
    int committed = 0;
    {
        Peer reopened("child/Killed.sqlite");
        ASSERT_TRUE(reopened.store) << reopened.error.localizedDescription().toStdString();
        committed = reopened.count("Rows");
        EXPECT_GT(committed, 0);
        EXPECT_EQ(committed % 300, 0) << "a save lands whole or not at all";
    }
    for (const QString& file : changeSetFiles())
        EXPECT_TRUE(cd::ChangeSet::fromJson(readFile(file))) << file.toStdString();
    Peer other("Other.sqlite");
    EXPECT_EQ(other.count("Rows"), committed);
}

namespace {

// What a folder holds, every file with its content.
QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(
        folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readFile(path));
    }
    return files;
}

// Another account's folder in the cloud folder's place, holding content of the same name.
void placeAnotherAccount()
{
    QDir().mkpath(cloudFolder() + "/net.solvane.kivotab/CloudLogs/S1");
    writeFile(cloudFolder() + "/" + cd::CloudContainer::IdentityTokenFileName, "OTHER-ACCOUNT");
}

} // namespace

TEST_F(CloudTest, ChangeSetsWaitForTheirAccountsFolderAndGoNowhereElse)
{
    const QString mine = cloudFolder() + ".mine";
    Peer a("A.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    a.insert("D1", "One", 1);
    ASSERT_TRUE(a.context->save());

    // The share is unmounted as a change set is being written, its empty mount point left
    // behind.
    std::atomic<int> unmounts { 0 };
    cd::CloudContainer::setWriteHook([&](const QString& path) {
        if (cd::ChangeSet::sequenceOfFileName(QFileInfo(path).fileName()) && unmounts++ == 0) {
            ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
            ASSERT_TRUE(QDir().mkpath(cloudFolder()));
        }
    });
    a.insert("D2", "Two", 1);
    EXPECT_TRUE(a.context->save()) << "the save itself does not depend on the cloud";
    ASSERT_TRUE(testsupport::waitUntil([&] { return unmounts > 0; }, 10000));
    cd::CloudContainer::setWriteHook(nullptr);
    // And while the mount point stays empty.
    a.insert("D3", "Three", 1);
    EXPECT_TRUE(a.context->save());
    testsupport::processEvents(200);
    EXPECT_TRUE(QDir(cloudFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "nothing is made in the mount point";

    // Another account's folder takes the place, while the store keeps looking.
    placeAnotherAccount();
    const auto theirs = filesIn(cloudFolder());
    a.insert("D4", "Four", 1);
    EXPECT_TRUE(a.context->save());
    testsupport::processEvents(300);
    EXPECT_EQ(filesIn(cloudFolder()), theirs) << "the other account's folder got nothing";

    // The account's folder is back: what waited goes, in order, under its own names.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(mine, cloudFolder()));
    ASSERT_TRUE(testsupport::waitUntil([&] { return changeSetFiles().size() == 4; }, 10000))
        << changeSetFiles().join(' ').toStdString();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(changeSetFiles()[i].endsWith(cd::ChangeSet::fileName(i + 1)));
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 4);
}

TEST_F(CloudTest, AnotherAccountsReplicaIsLeftAsItIs)
{
    const QString mine = cloudFolder() + ".mine";
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    {
        Peer a("A.sqlite");
        ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
        a.insert("D1", "One", 1);
        ASSERT_TRUE(a.context->save());
        // Signed out: the next save waits in the replica.
        ASSERT_TRUE(QDir().rename(cloudFolder(), mine));
        a.insert("D2", "Two", 1);
        EXPECT_TRUE(a.context->save());
    }
    placeAnotherAccount();
    const auto theirs = filesIn(cloudFolder());
    {
        Peer reopened("A.sqlite");
        EXPECT_FALSE(reopened.store) << "the replica is the first account's";
        EXPECT_EQ(reopened.error.code(), cd::PersistentStoreOpenError);
        Peer rebuilt(
            "A.sqlite", "S1", { { cd::PersistentStoreRebuildFromUbiquitousContentOption, true } });
        EXPECT_FALSE(rebuilt.store) << "nor is it rebuilt from the other account's content";
        // Nor when the rebuild is asked for in its own account, as the manager's retry asks.
        Peer retried("A.sqlite", "S1",
            { { cd::PersistentStoreRebuildFromUbiquitousContentOption, true },
                { cd::PersistentStoreUbiquitousIdentityTokenOption, token } });
        EXPECT_FALSE(retried.store);
    }
    EXPECT_EQ(filesIn(cloudFolder()), theirs) << "the other account's folder got nothing";

    // The first account's folder is back: the replica, kept whole, sends what waited.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(mine, cloudFolder()));
    {
        Peer back("A.sqlite");
        ASSERT_TRUE(back.store) << back.error.localizedDescription().toStdString();
        EXPECT_EQ(back.count(), 2);
    }
    EXPECT_EQ(changeSetFiles().size(), 2);
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 2);
}

namespace {

QStringList g_warnings;
std::mutex g_warningsMutex;

void recordWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtWarningMsg)
        return;
    std::lock_guard lock(g_warningsMutex);
    g_warnings << message;
}

} // namespace

TEST_F(CloudTest, APeersLaterSetsWaitingForAMissingOneAreToldOnce)
{
    QString aside;
    QString missing;
    {
        Peer a("A.sqlite");
        for (const char* id : { "D1", "D2", "D3" }) {
            a.insert(id, id, 1);
            ASSERT_TRUE(a.context->save());
        }
        const QStringList files = changeSetFiles();
        ASSERT_EQ(files.size(), 3);
        missing = files[1];
        aside = testsupport::homePath() + "/set2.json";
        ASSERT_TRUE(QFile::rename(missing, aside));
    }
    // The peer's folder: <content>/<peer>/<content name>/<set>.
    const QString peer = QFileInfo(missing).dir().absolutePath().section('/', -2, -2);
    {
        std::lock_guard lock(g_warningsMutex);
        g_warnings.clear();
    }
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), 1) << "nothing past the gap";
    testsupport::processEvents(400); // several looks at the folders
    EXPECT_EQ(b.count(), 1);
    ASSERT_TRUE(QFile::rename(aside, missing));
    EXPECT_TRUE(testsupport::waitUntil([&] { return b.count() == 3; }, 10000));
    qInstallMessageHandler(previous);

    std::lock_guard lock(g_warningsMutex);
    const QStringList told = g_warnings.filter("is missing while");
    ASSERT_EQ(told.size(), 1) << g_warnings.join('\n').toStdString();
    EXPECT_TRUE(told.first().contains(peer)) << told.first().toStdString();
    EXPECT_TRUE(told.first().contains("change set 2 ")) << told.first().toStdString();
}

// The import thread may still be telling a peer of an import when the peer goes: removing
// the observer does not wait for a call already under way on another thread.
TEST_F(CloudTest, APeerGoneWhileItsImportIsToldIsNotWrittenInto)
{
    auto peer = std::make_unique<Peer>("A.sqlite");
    ASSERT_TRUE(peer->store) << peer->error.localizedDescription().toStdString();
    const auto told = peer->told;
    std::unique_lock hold(told->mutex);
    std::thread importThread([sender = peer->coordinator.get()] {
        platform::NotificationCenter::defaultCenter().post(
            cd::DidImportUbiquitousContentChangesNotification, sender, { { "told", 1 } });
    });
    // The observer is under way once it waits for the lock (glibc marks a waited-for lock 2).
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return told->mutex.native_handle()->__data.__lock == 2; }, 10000));
    peer.reset();
    hold.unlock();
    importThread.join();
    EXPECT_EQ(told->imports.size(), 1);
}

namespace {

// Every entry under the folder (folders too), a file with its content.
QMap<QString, QByteArray> entriesIn(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(QDir(folder).relativeFilePath(path),
            QFileInfo(path).isDir() ? QByteArray("<folder>") : readFile(path));
    }
    return entries;
}

} // namespace

// A share remounted onto another account's folder, again and again as saves go out: the
// other account's folder is laid out as this one's, down to this peer's own folder, so that
// whatever is made or written at a path meant for this account would land in it.
TEST_F(CloudTest, AShareRemountedOntoAnotherAccountDuringSavesGetsNothingAndNoSetIsLost)
{
    constexpr int Saves = 400;
    const QString mine = cloudFolder() + ".mine";
    const QString theirs = cloudFolder() + ".theirs";
    Peer a("A.sqlite");
    ASSERT_TRUE(a.store) << a.error.localizedDescription().toStdString();
    a.insert("D0", "Zero", 1);
    ASSERT_TRUE(a.context->save());
    ASSERT_EQ(changeSetFiles().size(), 1);
    const QString peerFolder = QFileInfo(changeSetFiles().first()).absolutePath();
    const QString relative = QDir(cloudFolder()).relativeFilePath(peerFolder);

    QDir().mkpath(theirs + "/" + relative);
    writeFile(theirs + "/" + cd::CloudContainer::IdentityTokenFileName, "OTHER-ACCOUNT");
    writeFile(theirs + "/" + relative + "/" + cd::ChangeSet::fileName(1), "their own");
    const auto before = entriesIn(theirs);

    // Remounts, as fast as they come, until the saves are done.
    std::atomic<bool> saving { true };
    std::atomic<int> remounts { 0 };
    std::thread share([&] {
        while (saving) {
            if (!QDir().rename(cloudFolder(), mine) || !QDir().rename(theirs, cloudFolder()))
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            if (!QDir().rename(cloudFolder(), theirs) || !QDir().rename(mine, cloudFolder()))
                break;
            ++remounts;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    for (int i = 1; i <= Saves; ++i) {
        a.insert(QStringLiteral("D%1").arg(i), "Saved", 1);
        ASSERT_TRUE(a.context->save());
    }
    saving = false;
    share.join();
    ASSERT_TRUE(QFileInfo(cloudFolder() + "/" + relative).isDir())
        << "the share ends on the account's folder";
    EXPECT_GT(remounts, 0);

    EXPECT_EQ(entriesIn(theirs), before) << "nothing of this account in the other's folder";
    // Every set reaches the account's folder, under its own name, without a gap.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return QDir(peerFolder).entryList(QDir::Files).size() == Saves + 1; }, 20000))
        << QDir(peerFolder).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
    QStringList expected;
    for (int sequence = 1; sequence <= Saves + 1; ++sequence)
        expected << cd::ChangeSet::fileName(sequence);
    EXPECT_EQ(QDir(peerFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    Peer b("B.sqlite");
    EXPECT_EQ(b.count(), Saves + 1);
    EXPECT_EQ(entriesIn(theirs), before);
}

// A look for changes that waits on a slow share (here: a peer's next set that is a pipe
// nobody writes yet) does so without the store's lock: the application's fetches go on.
TEST_F(CloudTest, AFetchDoesNotWaitForALookReadingTheCloudFolder)
{
    Peer a("A.sqlite");
    Peer b("B.sqlite");
    ASSERT_TRUE(a.store && b.store);
    a.insert("D1", "One", 1);
    ASSERT_TRUE(a.context->save());
    ASSERT_TRUE(testsupport::waitUntil([&] { return b.count() == 1; }, 10000));
    const QString first = changeSetFiles().value(0);
    ASSERT_FALSE(first.isEmpty());
    const QString next = QFileInfo(first).dir().filePath(cd::ChangeSet::fileName(2));
    ASSERT_EQ(::mkfifo(QFile::encodeName(next).constData(), 0600), 0);

    // B's next look opens the pipe and waits for it.
    int pipe = -1;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            pipe = ::open(QFile::encodeName(next).constData(), O_WRONLY | O_NONBLOCK);
            return pipe >= 0;
        },
        10000))
        << "the look reads the pipe";
    cd::ChangeSet set;
    set.peer = QFileInfo(first).absolutePath().section('/', -2, -2);
    set.sequence = 2;
    set.time = 2;
    cd::ChangeSet::Change change;
    change.entity = QStringLiteral("Database");
    change.object = QStringLiteral("OBJECT-D2");
    change.version = 2;
    change.values = { { "id", "D2" }, { "name", "Two" }, { "mtimestamp", 2.0 } };
    set.changes << change;
    const QByteArray body = set.toJson();
    std::thread share([&] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        [[maybe_unused]] const auto written = ::write(pipe, body.constData(), size_t(body.size()));
        ::close(pipe);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(b.count(), 1);
    EXPECT_LT(timer.elapsed(), 2000) << "the fetch waited for the look";
    share.join();
    EXPECT_TRUE(testsupport::waitUntil([&] { return b.count() == 2; }, 10000));
    QFile::remove(next);
}
