#pragma once

#include "common/TestSupport.h"
#include "model/CloudStoreManager.h"
#include "platform/Folders.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace cloudstoretest {

namespace cd = platform::coredata;

inline std::shared_ptr<const cd::ManagedObjectModel> model()
{
    static const auto loaded
        = cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));
    return loaded;
}

inline QString cloudFolder()
{
    return testsupport::homePath() + "/cloud";
}

inline QString appSupport()
{
    return platform::Folders::applicationSupport();
}

// Waits for the condition without running the main thread's events: what is due there (a
// folder watch's poll, the manager's next look, a timer) waits meanwhile.
inline bool waitWithoutEvents(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Holds the persistence queue, so that the manager hears of nothing until released.
class PersistenceQueueHold {
public:
    explicit PersistenceQueueHold(CloudStoreManager& manager)
    {
        auto holding = std::make_shared<std::promise<void>>();
        auto held = holding->get_future();
        manager.enqueue(
            [holding, released = m_released.get_future().share()] {
                holding->set_value();
                released.wait();
            },
            false, false);
        held.wait();
    }
    ~PersistenceQueueHold() { release(); }
    void release()
    {
        if (!m_done) {
            m_done = true;
            m_released.set_value();
        }
    }

private:
    std::promise<void> m_released;
    bool m_done = false;
};

// The application's side as the tests see it: every call is recorded, the context of the
// loaded store is kept, and each optional call can be made to answer or not.
class TestDelegate : public CloudStoreManagerDelegate {
public:
    void cloudStoreManagerDidLoadStoreForCoordinator(CloudStoreManager&,
        const std::shared_ptr<cd::PersistentStoreCoordinator>& coordinator, bool isCloud) override
    {
        auto made = std::make_shared<cd::ManagedObjectContext>();
        made->setPersistentStoreCoordinator(coordinator);
        std::lock_guard lock(mutex);
        context = made;
        events << QStringLiteral("didLoad:%1").arg(isCloud);
        ++loads;
    }
    cd::ManagedObjectContext* cloudStoreManagerManagedObjectContextForUbiquityChanges(
        CloudStoreManager&, const platform::Notification&) override
    {
        return mergeInto;
    }
    void cloudStoreManagerWillLoadStoreIsCloud(CloudStoreManager&, bool isCloud) override
    {
        std::function<void()> then;
        {
            std::lock_guard lock(mutex);
            events << QStringLiteral("willLoad:%1").arg(isCloud);
            context.reset();
            then = std::exchange(onNextWillLoad, nullptr);
        }
        if (then)
            then();
    }
    void cloudStoreManagerFailedLoadingStoreWithCause(
        CloudStoreManager&, qint32 cause, const QVariant&, bool wasCloud) override
    {
        std::lock_guard lock(mutex);
        events << QStringLiteral("failed:%1:%2").arg(CSMNameOfCause(cause)).arg(wasCloud);
        ++failures;
    }
    bool cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(
        CloudStoreManager&, bool healthy) override
    {
        std::lock_guard lock(mutex);
        events << QStringLiteral("corruption:%1").arg(healthy);
        return handlesCorruption;
    }
    bool cloudStoreManagerHandleCloudDisabled(CloudStoreManager&) override
    {
        std::lock_guard lock(mutex);
        events << QStringLiteral("cloudDisabled");
        return handlesCloudDisabled;
    }
    bool respondsToHandleCloudContentDeletion() const override { return handlesDeletion; }
    void cloudStoreManagerHandleCloudContentDeletion(CloudStoreManager&) override
    {
        std::lock_guard lock(mutex);
        events << QStringLiteral("cloudDeletion");
    }
    bool respondsToDidEncounterError() const override { return answersErrors; }
    void cloudStoreManagerDidEncounterError(CloudStoreManager&, const platform::Error& error,
        qint32 cause, const QVariant& context) override
    {
        std::lock_guard lock(mutex);
        errors.append({ error, cause, context });
    }
    bool respondsToLog() const override { return true; }
    void cloudStoreManagerLog(CloudStoreManager&, const QString& message) override
    {
        std::lock_guard lock(mutex);
        logs << message;
    }
    bool cloudStoreManagerShouldMigrateFromStoreURL(
        CloudStoreManager&, const QUrl& from, const QUrl& to, bool isCloud) override
    {
        std::lock_guard lock(mutex);
        events << QStringLiteral("shouldMigrate:%1->%2:%3")
                      .arg(QFileInfo(from.toLocalFile()).fileName(),
                          QFileInfo(to.toLocalFile()).fileName())
                      .arg(isCloud);
        return allowsMigration;
    }
    bool cloudStoreManagerManuallyMigrateStore(CloudStoreManager& manager, const QUrl& from,
        const QVariantMap& fromOptions, const QUrl& to, const QVariantMap& toOptions,
        platform::Error* error) override
    {
        if (!manualMigration)
            return CloudStoreManagerDelegate::cloudStoreManagerManuallyMigrateStore(
                manager, from, fromOptions, to, toOptions, error);
        return manualMigration(from, fromOptions, to, toOptions, error);
    }

    struct Reported {
        platform::Error error;
        qint32 cause;
        QVariant context;
    };

    std::shared_ptr<cd::ManagedObjectContext> currentContext()
    {
        std::lock_guard lock(mutex);
        return context;
    }
    QStringList takeLogs()
    {
        std::lock_guard lock(mutex);
        return std::exchange(logs, {});
    }
    QStringList allLogs()
    {
        std::lock_guard lock(mutex);
        return logs;
    }
    QStringList allEvents()
    {
        std::lock_guard lock(mutex);
        return events;
    }
    QList<Reported> allErrors()
    {
        std::lock_guard lock(mutex);
        return errors;
    }
    bool logged(const QString& line)
    {
        std::lock_guard lock(mutex);
        return logs.contains(line);
    }
    bool reportedCause(qint32 cause)
    {
        std::lock_guard lock(mutex);
        for (const auto& reported : errors) {
            if (reported.cause == cause)
                return true;
        }
        return false;
    }

    std::mutex mutex;
    std::shared_ptr<cd::ManagedObjectContext> context;
    QStringList logs;
    QStringList events;
    QList<Reported> errors;
    std::atomic<int> loads { 0 };
    std::atomic<int> failures { 0 };
    std::atomic<bool> answersErrors { true };
    std::atomic<bool> handlesCorruption { false };
    std::atomic<bool> handlesCloudDisabled { false };
    std::atomic<bool> handlesDeletion { false };
    std::atomic<bool> allowsMigration { true };
    cd::ManagedObjectContext* mergeInto = nullptr;
    // Runs once, as the next store is about to be cleared or loaded.
    std::function<void()> onNextWillLoad;
    std::function<bool(
        const QUrl&, const QVariantMap&, const QUrl&, const QVariantMap&, platform::Error*)>
        manualMigration;
};

class CloudStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(cloudFolder());
        qputenv("KIVOTAB_CLOUD", cloudFolder().toUtf8());
        cd::CloudContainer::setPollInterval(40);
    }
    void TearDown() override
    {
        manager.reset();
        testsupport::processEvents(20);
        qunsetenv("KIVOTAB_CLOUD");
    }

    void signOut() { QDir(cloudFolder()).removeRecursively(); }

    // A manager for the application's model as the application makes it, its first load
    // finished.
    void start(bool cloud, int loads = 1)
    {
        platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, cloud);
        manager = CloudStoreManager::initStoreNamed(
            QStringLiteral("Kivotab"), model(), {}, {}, {}, {}, &delegate);
        waitForLoads(loads);
    }

    void waitForLoads(int loads)
    {
        ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.loads >= loads; }, 20000))
            << delegate.allLogs().join('\n').toStdString();
        drain();
    }

    // Lets every job queued so far, and those they queue, run.
    void drain()
    {
        for (int i = 0; i < 3; ++i) {
            manager->enqueue([] {}, true, false);
            testsupport::processEvents(10);
        }
    }

    // Rows saved through the delegate's context.
    void addDatabases(const QStringList& ids, double mtime = 100)
    {
        auto context = delegate.currentContext();
        ASSERT_TRUE(context);
        for (const QString& id : ids) {
            auto* object = context->insertNewObject("Database");
            object->setValue("id", id);
            object->setValue("name", "Name " + id);
            object->setValue("mtimestamp", mtime);
        }
        ASSERT_TRUE(context->save());
    }

    QStringList databaseIds()
    {
        auto context = delegate.currentContext();
        if (!context)
            return { "<no context>" };
        cd::FetchRequest request("Database");
        request.setSortDescriptors({ { "id", true } });
        QStringList ids;
        for (auto* object : context->executeFetchRequest(request))
            ids << object->value("id").toString();
        return ids;
    }

    QString loadedStoreFile()
    {
        const auto stores = manager->persistentStoreCoordinator()->persistentStores();
        return stores.size() == 1 ? stores.first()->URL().toLocalFile() : QString();
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    TestDelegate delegate;
    std::shared_ptr<CloudStoreManager> manager;
};

} // namespace cloudstoretest
