#include "StoreFixture.h"
#include "StoreSql.h"

#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/Predicate.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

using namespace storetest;

namespace {

int countRows(cd::ManagedObjectContext& context, const QString& entity)
{
    return int(context.countForFetchRequest(cd::FetchRequest(entity)).value_or(-1));
}

// The bytes SQLite itself stores for a UTF-16 text.
QByteArray sqliteBytes(const QString& text)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT CAST(? AS BLOB)", -1, &statement, nullptr);
    sqlite3_bind_text16(statement, 1, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
    sqlite3_step(statement);
    const QByteArray bytes(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
        sqlite3_column_bytes(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return bytes;
}

QByteArray storedBytes(const QString& path, const QString& id)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT CAST(\"name\" AS BLOB) FROM \"Database\" WHERE \"id\" = ?", -1,
        &statement, nullptr);
    const QByteArray key = id.toUtf8();
    sqlite3_bind_text(statement, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
    QByteArray bytes;
    if (sqlite3_step(statement) == SQLITE_ROW)
        bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
            sqlite3_column_bytes(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return bytes;
}

} // namespace

TEST_F(StoreTest, TextIsStoredAsSQLiteWritesItWhateverItHolds)
{
    QList<QString> texts { QString(), QStringLiteral("plain"), QStringLiteral("caf\u00e9 \u4e2d"),
        QString::fromUtf8("\xF0\x9F\x98\x80 pair"), QString(QChar(0)) + "nul" };
    // A lone half of a surrogate pair at every place in the first units and in the tail.
    for (int at = 0; at < 9; ++at) {
        QString text = QStringLiteral("abcdefghij");
        text[at] = QChar(at % 2 ? 0xDC00 : 0xD800);
        texts << text;
    }
    for (int i = 0; i < texts.size(); ++i)
        make("Database", { { "id", QString::number(i) }, { "name", texts[i] } });
    ASSERT_TRUE(context->save());
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(storedBytes(storeUrl().toLocalFile(), QString::number(i)), sqliteBytes(texts[i]))
            << i;
}

TEST_F(StoreTest, TheChangeCountMovesWithEveryWriteAndEveryStore)
{
    const auto start = coordinator->changeCount();
    EXPECT_EQ(coordinator->changeCount(), start);
    make("Database", { { "id", "D1" } });
    EXPECT_EQ(coordinator->changeCount(), start) << "nothing stored yet";
    ASSERT_TRUE(context->save());
    const auto saved = coordinator->changeCount();
    EXPECT_NE(saved, start);
    EXPECT_EQ(context->executeFetchRequest(cd::FetchRequest("Database")).size(), 1);
    EXPECT_EQ(coordinator->changeCount(), saved) << "reading changes nothing";

    // A change counts as well as an insert.
    cd::ManagedObject* object = context->executeFetchRequest(cd::FetchRequest("Database")).first();
    object->setValue("name", "renamed");
    ASSERT_TRUE(context->save());
    const auto renamed = coordinator->changeCount();
    EXPECT_NE(renamed, saved);

    // Another coordinator, even over the same file, never gives the same count.
    auto other = std::make_shared<cd::PersistentStoreCoordinator>(model);
    EXPECT_NE(other->changeCount(), renamed);
    ASSERT_TRUE(other->addPersistentStore(
        cd::SQLiteStoreType, {}, storeUrl(), migratingOptions(), nullptr));
    EXPECT_NE(other->changeCount(), renamed);
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    EXPECT_NE(coordinator->changeCount(), renamed);
}

TEST_F(StoreTest, StoredValuesAreReadStraightFromTheStoreOnAnyThread)
{
    for (const char* id : { "D1", "D2", "D3" })
        make("Database", { { "id", id }, { "name", QString("name %1").arg(id) } });
    ASSERT_TRUE(context->save());
    const QList<cd::ManagedObject*> objects
        = context->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(objects.size(), 3);
    const cd::EntityDescription& entity = *objects[0]->objectID().entity;
    const QString storeId = objects[0]->objectID().storeIdentifier;
    QList<qint64> keys;
    for (cd::ManagedObject* object : objects)
        keys << object->objectID().key;
    // Rows deleted since are left out; an unsaved change is not the store's.
    context->deleteObject(objects[1]);
    context->deleteObject(objects[2]);
    ASSERT_TRUE(context->save());
    objects[0]->setValue("name", "unsaved");

    std::optional<std::vector<std::pair<qint64, QList<QVariant>>>> values;
    std::optional<std::vector<qint64>> named;
    std::thread reader([&] {
        values = coordinator->storedValues(entity, storeId, keys, { "name", "id" });
        named = coordinator->storedKeys(entity, storeId, cd::Predicate::equal("id", "D1"));
    });
    reader.join();
    ASSERT_TRUE(values.has_value());
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ(values->front().first, keys[0]);
    EXPECT_EQ(values->front().second, (QList<QVariant> { "name D1", "D1" }));
    ASSERT_TRUE(named.has_value());
    EXPECT_EQ(*named, std::vector<qint64> { keys[0] });

    // No such attribute, no such store.
    platform::Error error;
    EXPECT_FALSE(coordinator->storedValues(entity, storeId, keys, { "nothing" }, &error));
    EXPECT_FALSE(error.localizedDescription().isEmpty());
    EXPECT_FALSE(coordinator->storedValues(entity, "elsewhere", keys, { "id" }));
    EXPECT_FALSE(coordinator->storedKeys(entity, "elsewhere", {}));
}

TEST_F(StoreTest, DetachedObjectsReachTheStoreOnlyOnceInserted)
{
    cd::ManagedObject* detached = context->createObject("Database");
    detached->setValue("id", "D1");
    EXPECT_EQ(detached->managedObjectContext(), nullptr);
    EXPECT_FALSE(context->hasChanges());
    EXPECT_TRUE(context->save());
    EXPECT_EQ(countRows(*reopen(), "Database"), 0);

    context->insertObject(detached);
    EXPECT_TRUE(detached->isInserted());
    EXPECT_EQ(detached->managedObjectContext(), context.get());
    EXPECT_TRUE(context->save());
    EXPECT_FALSE(detached->hasChanges());
    EXPECT_FALSE(detached->objectID().isTemporary());
    auto other = reopen();
    const auto stored = other->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0]->value("id"), "D1");
    EXPECT_TRUE(stored[0]->value("name").isNull());
    EXPECT_EQ(stored[0]->property("id"), "D1");
}

TEST_F(StoreTest, ObjectsInsertedByTheThousandAreStoredAsOnesMadeOneByOne)
{
    const cd::EntityDescription* entity = model->entity("Database");
    ASSERT_TRUE(entity);
    const int id = entity->indexOfAttribute("id");
    const int flag = entity->indexOfAttribute("issystem");
    const int stamp = entity->indexOfAttribute("ctimestamp");
    std::vector<QList<QVariant>> records;
    // Values of the attributes' own types, of other kinds setValue converts, and unset.
    QList<QVariant> converted(entity->attributes().size());
    converted[id] = QByteArray("D1");
    converted[flag] = 1;
    converted[stamp] = 7;
    records.push_back(converted);
    records.push_back({ QVariant(1.5), QString("descr"), QString("D2") });
    QList<QVariant> unset(entity->attributes().size());
    unset[id] = QString("D3");
    unset[flag] = QVariant(QMetaType::fromType<bool>());
    records.push_back(unset);
    context->insertNewObjects(*entity, std::move(records));
    EXPECT_TRUE(records.empty());
    const auto inserted = context->insertedObjects();
    ASSERT_EQ(inserted.size(), 3);
    EXPECT_EQ(inserted[0]->value(flag), QVariant(true));
    EXPECT_EQ(inserted[0]->value(stamp), QVariant(7.0));
    EXPECT_EQ(inserted[2]->changedKeys(), QStringList { "id" });
    EXPECT_EQ(qobject_cast<TestDatabase*>(inserted[1])->descr(), "descr");
    ASSERT_TRUE(context->save());

    auto other = reopen();
    auto stored = other->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored[0]->values(), inserted[0]->values());
    EXPECT_EQ(stored[1]->value("ctimestamp"), QVariant(1.5));
    EXPECT_TRUE(stored[2]->value("issystem").isNull());

    // A value no attribute of its kind can hold raises as setValue does; a list longer
    // than the entity's attributes too.
    QList<QVariant> wrong(entity->attributes().size());
    wrong[stamp] = QString("soon");
    std::vector<QList<QVariant>> bad { wrong };
    EXPECT_THROW(context->insertNewObjects(*entity, std::move(bad)), platform::Exception);
    std::vector<QList<QVariant>> tooLong { QList<QVariant>(entity->attributes().size() + 1) };
    EXPECT_THROW(context->insertNewObjects(*entity, std::move(tooLong)), platform::Exception);
    EXPECT_FALSE(context->hasChanges());
    // So does an entity of another model.
    const auto otherModel
        = cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));
    std::vector<QList<QVariant>> foreign { {} };
    EXPECT_THROW(context->insertNewObjects(*otherModel->entity("Database"), std::move(foreign)),
        platform::Exception);
}

TEST_F(StoreTest, TracksChangesAndRollsThemBack)
{
    auto* kept = make("Database", { { "id", "D1" }, { "name", "Before" } });
    auto* gone = make("Database", { { "id", "D2" } });
    ASSERT_TRUE(context->save());

    kept->setProperty("name", "After");
    EXPECT_TRUE(kept->isUpdated());
    EXPECT_EQ(kept->changedKeys(), QStringList({ "name" }));
    context->deleteObject(gone);
    auto* added = make("Database", { { "id", "D3" } });
    EXPECT_EQ(context->updatedObjects().size(), 1);
    EXPECT_EQ(context->deletedObjects().size(), 1);
    EXPECT_EQ(context->insertedObjects().size(), 1);

    context->rollback();
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(kept->value("name"), "Before");
    EXPECT_FALSE(gone->isDeleted());
    EXPECT_EQ(added->managedObjectContext(), nullptr);
    EXPECT_EQ(countRows(*context, "Database"), 2);

    // A deletion that is saved leaves the object a fault outside the context.
    context->deleteObject(gone);
    ASSERT_TRUE(context->save());
    EXPECT_TRUE(gone->isFault());
    EXPECT_EQ(gone->managedObjectContext(), nullptr);
    EXPECT_EQ(countRows(*reopen(), "Database"), 1);

    context->reset();
    EXPECT_TRUE(kept->isFault());
    EXPECT_EQ(countRows(*context, "Database"), 1);
}

TEST_F(StoreTest, ASaveThatFailsPartWayWritesNothingAndKeepsTheChanges)
{
    auto* kept = make("Database", { { "id", "D1" }, { "name", "Stored" } });
    ASSERT_TRUE(context->save());
    // The store refuses one value, as a full disk or a broken file would refuse a write.
    runSql(storeUrl().toLocalFile(),
        "CREATE TRIGGER refuse BEFORE INSERT ON \"Rows\" WHEN NEW.\"id\" = 'bad' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");

    kept->setValue("name", "Changed");
    for (int i = 0; i < 50; ++i)
        make("Rows", { { "id", QString("R%1").arg(i) }, { "usertemplate_id", "U" } });
    auto* bad = make("Rows", { { "id", "bad" } });
    platform::Error error;
    EXPECT_FALSE(context->save(&error));
    EXPECT_FALSE(error.isNull());
    EXPECT_TRUE(error.localizedDescription().contains("refused"));
    EXPECT_EQ(context->insertedObjects().size(), 51);
    EXPECT_TRUE(kept->isUpdated());

    auto other = reopen();
    EXPECT_EQ(countRows(*other, "Rows"), 0);
    EXPECT_EQ(other->executeFetchRequest(cd::FetchRequest("Database"))[0]->value("name"), "Stored");

    bad->setValue("id", "good");
    EXPECT_TRUE(context->save());
    EXPECT_EQ(countRows(*reopen(), "Rows"), 51);
}

TEST_F(StoreTest, AReadOnlyStoreRefusesTheSaveAndKeepsItsData)
{
    make("Database", { { "id", "D1" }, { "name", "Stored" } });
    ASSERT_TRUE(context->save());
    ASSERT_TRUE(coordinator->removePersistentStore(store));

    QVariantMap options = migratingOptions();
    options.insert(cd::ReadOnlyPersistentStoreOption, true);
    auto readOnly = reopen(options);
    auto objects = readOnly->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(objects.size(), 1);
    objects[0]->setValue("name", "Changed");
    readOnly->insertNewObject("Database")->setValue("id", "D2");
    platform::Error error;
    EXPECT_FALSE(readOnly->save(&error));
    EXPECT_EQ(error.domain(), cd::ErrorDomain);
    EXPECT_TRUE(readOnly->hasChanges());

    auto check = reopen();
    const auto stored = check->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0]->value("name"), "Stored");
}

TEST(StoreFile, AStoreFileWithoutWritePermissionRefusesTheSave)
{
    const QString folder = testsupport::homePath() + "/shared";
    const QUrl url = QUrl::fromLocalFile(folder + "/Store.sqlite");
    std::string said;
    const int result = runUnprivileged(folder, &said, [&] {
        {
            auto context = openContext(url);
            if (!context)
                return 1;
            cd::ManagedObject* database = context->insertNewObject("Database");
            database->setValue("id", "D1");
            database->setValue("name", "Stored");
            if (!context->save())
                return 2;
        }
        if (!QFile::setPermissions(url.toLocalFile(), QFile::ReadOwner | QFile::ReadGroup))
            return 3;
        {
            auto context = openContext(url);
            if (!context)
                return 4;
            const auto found = context->executeFetchRequest(cd::FetchRequest("Database"));
            if (found.size() != 1)
                return 5;
            found[0]->setValue("name", "Changed");
            if (context->save())
                return 6;
        }
        // What was stored is still there.
        auto context = openContext(url, { { cd::ReadOnlyPersistentStoreOption, true } });
        if (!context)
            return 7;
        const auto found = context->executeFetchRequest(cd::FetchRequest("Database"));
        return found.size() == 1 && found[0]->value("name") == "Stored" ? 0 : 8;
    });
    EXPECT_EQ(result, 0) << said;
}

TEST_F(StoreTest, ACrashDuringASaveLeavesThePreviousCommit)
{
    constexpr int Batch = 20000;
    // Well inside the time one save of a batch takes.
    constexpr int SaveMidpointMs = 15;
    const QByteArray step = "KIVOTAB-SAVE-STEP ";
    const QByteArray payload(200, 'x');
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.startThisTest([&] {
        // The child saves batch after batch until it is killed, telling how far it got.
        const auto tell = [&](char what) {
            std::printf("%s%c\n", step.constData(), what);
            std::fflush(stdout);
        };
        for (int round = 0;; ++round) {
            for (int i = 0; i < Batch; ++i)
                make("Rows", { { "id", QString("%1-%2").arg(round).arg(i) }, { "json", payload } });
            tell('B');
            if (!context->save())
                return 3;
            tell('S');
        }
    })) << child.report();
    // Kill the child while its second save is writing: the first save has committed.
    ASSERT_TRUE(child.waitForOutput(step + 'B', testsupport::ChildProcess::DefaultLimitMs, 2))
        << child.report();
    QByteArray said;
    for (const QByteArray& line : child.standardOutput().split('\n')) {
        if (line.startsWith(step))
            said += line.mid(step.size());
    }
    ASSERT_EQ(said.left(3), "BSB") << child.report();
    usleep(SaveMidpointMs * 1000);
    child.kill();
    ASSERT_TRUE(child.killedBySignal()) << child.report();

    // The child's store, made as this test's was.
    const QUrl killed = QUrl::fromLocalFile(child.home() + "/Store.sqlite");
    auto reopened = openContext(killed);
    ASSERT_TRUE(reopened);
    const int stored = countRows(*reopened, "Rows");
    EXPECT_EQ(stored, Batch) << "the interrupted save left rows behind";

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(killed.toLocalFile().toUtf8(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

TEST_F(StoreTest, MigrationToANewUrlKeepsEveryObject)
{
    for (int i = 0; i < 300; ++i)
        make("Rows",
            { { "id", QString("R%1").arg(i) }, { "order", i }, { "usertemplate_id", "U" } });
    auto* database = make("Database", { { "id", "D1" }, { "issystem", true } });
    ASSERT_TRUE(context->save());
    ASSERT_TRUE(coordinator->setMetadata({ { "custom", "kept" } }, store));
    database->setValue("name", "Pending");

    const QUrl target = storeUrl("Moved/Store.sqlite");
    QDir().mkpath(testsupport::homePath() + "/Moved");
    platform::Error error;
    auto moved = coordinator->migratePersistentStore(
        store, target, migratingOptions(), cd::SQLiteStoreType, &error);
    ASSERT_TRUE(moved) << error.localizedDescription().toStdString();
    EXPECT_EQ(
        coordinator->persistentStores(), QList<std::shared_ptr<cd::PersistentStore>>({ moved }));
    EXPECT_FALSE(store->isOpen());
    EXPECT_EQ(moved->identifier(), store->identifier());
    EXPECT_EQ(coordinator->metadataForPersistentStore(moved).value("custom"), "kept");

    // Objects of the old store carry on in the new one.
    ASSERT_TRUE(context->save(&error)) << error.localizedDescription().toStdString();
    auto other = std::make_shared<cd::PersistentStoreCoordinator>(model);
    ASSERT_TRUE(other->addPersistentStore(cd::SQLiteStoreType, {}, target, {}, &error));
    cd::ManagedObjectContext reader;
    reader.setPersistentStoreCoordinator(other);
    EXPECT_EQ(countRows(reader, "Rows"), 300);
    const auto databases = reader.executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(databases.size(), 1);
    EXPECT_EQ(databases[0]->value("name"), "Pending");
    EXPECT_EQ(databases[0]->value("issystem"), QVariant(true));
}

TEST_F(StoreTest, MetadataIsKeptWithTheStoreAndReadableWithoutAddingIt)
{
    const QString identity = store->identifier();
    EXPECT_EQ(identity.size(), 36);
    ASSERT_TRUE(coordinator->setMetadata(
        { { cd::UbiquityMetadataPrefix + ".ubiquitized", true }, { "other", 2 } }, store));
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    auto read = cd::PersistentStoreCoordinator::metadataForPersistentStoreOfType(
        cd::SQLiteStoreType, storeUrl());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->value(cd::StoreUUIDKey), identity);
    EXPECT_EQ(read->value(cd::UbiquityMetadataPrefix + ".ubiquitized"), QVariant(true));

    QVariantMap options = migratingOptions();
    options.insert(cd::PersistentStoreRemoveUbiquitousMetadataOption, true);
    auto again = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, storeUrl(), options);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->metadata().contains(cd::UbiquityMetadataPrefix + ".ubiquitized"));
    EXPECT_EQ(again->metadata().value("other"), 2);
    EXPECT_EQ(again->identifier(), identity);
    EXPECT_FALSE(cd::PersistentStoreCoordinator::metadataForPersistentStoreOfType(
        cd::SQLiteStoreType, storeUrl("None.sqlite")));
}

TEST(PersistentStoreCoordinator, AddsOnlyStoresThatFitTheModel)
{
    auto small = cd::ManagedObjectModel::fromJson(
        R"({"entities":[{"name":"Rows","attributes":[{"name":"id","type":"String"}]}]})");
    auto big = cd::ManagedObjectModel::fromJson(
        R"({"entities":[{"name":"Rows","attributes":[{"name":"id","type":"String"},
                                                      {"name":"order","type":"Integer"}]},
                        {"name":"Extra","attributes":[{"name":"x","type":"Double"}]}]})");
    const QUrl url = storeUrl();
    {
        cd::PersistentStoreCoordinator first(small);
        ASSERT_TRUE(first.addPersistentStore(cd::SQLiteStoreType, {}, url, {}));
        EXPECT_FALSE(first.addPersistentStore(cd::SQLiteStoreType, {}, url, {}));
    }
    platform::Error error;
    cd::PersistentStoreCoordinator second(big);
    EXPECT_FALSE(second.addPersistentStore(cd::SQLiteStoreType, {}, url, {}, &error));
    EXPECT_EQ(error.code(), cd::PersistentStoreIncompatibleVersionHashError);
    ASSERT_TRUE(
        second.addPersistentStore(cd::SQLiteStoreType, {}, url, migratingOptions(), &error));

    QFile junk(testsupport::homePath() + "/junk.sqlite");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'j'));
    junk.close();
    EXPECT_FALSE(second.addPersistentStore(
        cd::SQLiteStoreType, {}, QUrl::fromLocalFile(junk.fileName()), {}, &error));
    EXPECT_FALSE(second.addPersistentStore("Binary", {}, storeUrl("b.sqlite"), {}, &error));
}

TEST_F(StoreTest, InMemoryValuesWinOverChangesMadeUnderneath)
{
    auto* mine = make("Database", { { "id", "D1" }, { "name", "Old" }, { "descr", "Old" } });
    auto* vanishing = make("Database", { { "id", "D2" }, { "name", "Kept" } });
    ASSERT_TRUE(context->save());

    auto other = reopen();
    const auto theirs = other->executeFetchRequest(
        *model->fetchRequestFromTemplate("FetchRequest_Database", { { "DATABASE_ID", "D1" } }));
    theirs[0]->setValue("descr", "Theirs");
    other->deleteObject(other->executeFetchRequest(
        *model->fetchRequestFromTemplate("FetchRequest_Database", { { "DATABASE_ID", "D2" } }))[0]);
    ASSERT_TRUE(other->save());

    mine->setValue("name", "Mine");
    vanishing->setValue("name", "Edited");
    ASSERT_TRUE(context->save());
    auto check = reopen();
    auto d1 = check->executeFetchRequest(
        *model->fetchRequestFromTemplate("FetchRequest_Database", { { "DATABASE_ID", "D1" } }));
    EXPECT_EQ(d1[0]->value("name"), "Mine");
    EXPECT_EQ(d1[0]->value("descr"), "Theirs");
    EXPECT_EQ(countRows(*check, "Database"), 2);
}

TEST_F(StoreTest, SavePostsWhatItStored)
{
    QVariantMap seen;
    auto& center = platform::NotificationCenter::defaultCenter();
    const auto token = center.addObserver(cd::ContextDidSaveNotification, context.get(),
        [&](const platform::Notification& n) { seen = n.userInfo; });
    make("Database", { { "id", "D1" } });
    ASSERT_TRUE(context->save());
    center.removeObserver(token);
    EXPECT_EQ(seen.value("inserted").toList().size(), 1);
    EXPECT_TRUE(seen.value("deleted").toList().isEmpty());
}

#ifndef NDEBUG
TEST_F(StoreTest, UseFromTheWrongThreadIsCaught)
{
    make("Database", { { "id", "D1" } });
    int caught = 0;
    std::thread worker([&] {
        try {
            static_cast<void>(context->executeFetchRequest(cd::FetchRequest("Database")));
        } catch (const platform::Exception&) {
            ++caught;
        }
        try {
            static_cast<void>(context->save());
        } catch (const platform::Exception&) {
            ++caught;
        }
    });
    worker.join();
    EXPECT_EQ(caught, 2);
    EXPECT_TRUE(context->save());

    // A confined context belongs to the thread that made it.
    std::unique_ptr<cd::ManagedObjectContext> confined;
    std::thread maker([&] {
        confined = std::make_unique<cd::ManagedObjectContext>(
            cd::ManagedObjectContext::ConcurrencyType::Confinement);
        confined->setPersistentStoreCoordinator(coordinator);
        EXPECT_EQ(confined->executeFetchRequest(cd::FetchRequest("Database")).size(), 1);
    });
    maker.join();
    EXPECT_THROW(confined->executeFetchRequest(cd::FetchRequest("Database")), platform::Exception);
}
#endif

TEST_F(StoreTest, ContextsWaitWhileAStoreJobHoldsTheCoordinatorLock)
{
    make("Database", { { "id", "D1" } });
    ASSERT_TRUE(context->save());
    std::atomic<bool> locked { false };
    std::atomic<bool> released { false };
    std::thread job([&] {
        coordinator->lock();
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        released = true;
        coordinator->unlock();
    });
    while (!locked)
        std::this_thread::yield();
    EXPECT_EQ(countRows(*context, "Database"), 1);
    EXPECT_TRUE(released);
    job.join();
}
