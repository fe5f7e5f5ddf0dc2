#pragma once

#include "StoreFixture.h"

#include "platform/NotificationCenter.h"
#include "platform/coredata/ChangeSet.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/UbiquitousContent.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <memory>
#include <mutex>

namespace cloudtest {

namespace cd = platform::coredata;
using storetest::kivotabModel;

// The cloud folder of a test: inside its fresh home, so that every test signs in anew.
inline QString cloudFolder()
{
    return testsupport::homePath() + "/cloud";
}

inline QVariantMap cloudOptions(const QString& content = QStringLiteral("S1"))
{
    QVariantMap options = storetest::migratingOptions();
    options.insert(cd::PersistentStoreUbiquitousContentNameKey, content);
    options.insert(cd::PersistentStoreUbiquitousContentURLKey, "CloudLogs/" + content);
    return options;
}

// One machine's replica of a cloud store: its own coordinator and main-queue context, and
// what the import told it.
struct Peer {
    explicit Peer(const QString& file, const QString& content = QStringLiteral("S1"),
        const QVariantMap& extra = {})
        : url(QUrl::fromLocalFile(testsupport::homePath() + "/" + file))
    {
        options = cloudOptions(content);
        options.insert(extra);
        coordinator = std::make_shared<cd::PersistentStoreCoordinator>(kivotabModel());
        store = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, url, options, &error);
        context = std::make_unique<cd::ManagedObjectContext>();
        context->setPersistentStoreCoordinator(coordinator);
        // The import thread posts, and may still be in this observer after removeObserver
        // has returned and the peer is gone: it writes only into what it holds itself.
        observer = platform::NotificationCenter::defaultCenter().addObserver(
            cd::DidImportUbiquitousContentChangesNotification, coordinator.get(),
            [told = told](const platform::Notification& notification) {
                std::lock_guard lock(told->mutex);
                told->imports << notification.userInfo;
            });
    }
    ~Peer()
    {
        platform::NotificationCenter::defaultCenter().removeObserver(observer);
        context.reset();
        if (store) {
            EXPECT_TRUE(coordinator->removePersistentStore(store));
        }
    }

    cd::ManagedObject* insert(const QString& id, const QString& name, double mtime)
    {
        auto* object = context->insertNewObject("Database");
        object->setValue("id", id);
        object->setValue("name", name);
        object->setValue("mtimestamp", mtime);
        return object;
    }

    cd::ManagedObject* find(const QString& id)
    {
        cd::FetchRequest request("Database");
        request.setPredicate(cd::Predicate::equal("id", id));
        const auto found = context->executeFetchRequest(request);
        return found.isEmpty() ? nullptr : found.first();
    }

    QString nameOf(const QString& id)
    {
        auto* object = find(id);
        return object ? object->value("name").toString() : QString();
    }

    int count(const QString& entity = QStringLiteral("Database"))
    {
        return int(context->countForFetchRequest(cd::FetchRequest(entity)).value_or(-1));
    }

    QList<QVariantMap> takeImports()
    {
        std::lock_guard lock(told->mutex);
        return std::exchange(told->imports, {});
    }

    // Waits until an import arrives; what it told.
    std::optional<QVariantMap> waitForImport(int timeoutMs = 10000)
    {
        std::optional<QVariantMap> got;
        testsupport::waitUntil(
            [&] {
                std::lock_guard lock(told->mutex);
                if (told->imports.isEmpty())
                    return false;
                got = told->imports.takeFirst();
                return true;
            },
            timeoutMs);
        return got;
    }

    QUrl url;
    QVariantMap options;
    platform::Error error;
    std::shared_ptr<cd::PersistentStoreCoordinator> coordinator;
    std::shared_ptr<cd::PersistentStore> store;
    std::unique_ptr<cd::ManagedObjectContext> context;
    struct Told {
        std::mutex mutex;
        QList<QVariantMap> imports;
    };
    std::shared_ptr<Told> told = std::make_shared<Told>();
    platform::NotificationCenter::Token observer = 0;
};

inline QStringList changeSetFiles(
    const QString& content = QStringLiteral("S1"), const QString& root = cloudFolder())
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/CloudLogs/" + content + "/")
            && cd::ChangeSet::sequenceOfFileName(QFileInfo(path).fileName()))
            files << path;
    }
    files.sort();
    return files;
}

inline QList<cd::ObjectID> idsIn(const QVariantMap& info, const QString& key)
{
    QList<cd::ObjectID> ids;
    for (const QVariant& value : info.value(key).toList())
        ids << value.value<cd::ObjectID>();
    return ids;
}

class CloudTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(cloudFolder());
        qputenv("KIVOTAB_CLOUD", cloudFolder().toUtf8());
        cd::CloudContainer::setPollInterval(40);
        // This machine is signed in to the folder, as the application is once it starts.
        cd::CloudContainer::signIn();
    }
    void TearDown() override { qunsetenv("KIVOTAB_CLOUD"); }
};

} // namespace cloudtest
