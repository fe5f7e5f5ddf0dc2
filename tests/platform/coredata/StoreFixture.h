#pragma once

#include "platform/Folders.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"

#include "common/ChildProcess.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storetest {

namespace cd = platform::coredata;

// A minimal entity class, enough to see that objects come out as the registered class
// and that Qt properties reach the attributes.
class TestDatabase : public cd::ManagedObject {
    Q_OBJECT
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant descr READ descr WRITE setDescr)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant issystem READ issystem WRITE setIssystem)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant name READ name WRITE setName)

public:
    using ManagedObject::ManagedObject;
    QVariant ctimestamp() const { return value(QStringLiteral("ctimestamp")); }
    void setCtimestamp(const QVariant& v) { setValue(QStringLiteral("ctimestamp"), v); }
    QVariant descr() const { return value(QStringLiteral("descr")); }
    void setDescr(const QVariant& v) { setValue(QStringLiteral("descr"), v); }
    QVariant id() const { return value(QStringLiteral("id")); }
    void setId(const QVariant& v) { setValue(QStringLiteral("id"), v); }
    QVariant issystem() const { return value(QStringLiteral("issystem")); }
    void setIssystem(const QVariant& v) { setValue(QStringLiteral("issystem"), v); }
    QVariant mtimestamp() const { return value(QStringLiteral("mtimestamp")); }
    void setMtimestamp(const QVariant& v) { setValue(QStringLiteral("mtimestamp"), v); }
    QVariant name() const { return value(QStringLiteral("name")); }
    void setName(const QVariant& v) { setValue(QStringLiteral("name"), v); }
};

inline std::shared_ptr<const cd::ManagedObjectModel> kivotabModel()
{
    static const auto model = [] {
        cd::ManagedObject::registerClass<TestDatabase>(QStringLiteral("Database"));
        return cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));
    }();
    return model;
}

inline QVariantMap migratingOptions()
{
    return { { cd::MigratePersistentStoresAutomaticallyOption, true },
        { cd::InferMappingModelAutomaticallyOption, true } };
}

inline QUrl storeUrl(const QString& name = QStringLiteral("Store.sqlite"))
{
    return QUrl::fromLocalFile(testsupport::homePath() + "/" + name);
}

// A coordinator with one store and a main-queue context over it.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model = kivotabModel();
        ASSERT_TRUE(model);
        coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model);
        platform::Error error;
        store = coordinator->addPersistentStore(
            cd::SQLiteStoreType, {}, storeUrl(), migratingOptions(), &error);
        ASSERT_TRUE(store) << error.localizedDescription().toStdString();
        context = std::make_unique<cd::ManagedObjectContext>();
        context->setPersistentStoreCoordinator(coordinator);
    }

    // A fresh context and coordinator over the same file, to see what is really stored.
    std::unique_ptr<cd::ManagedObjectContext> reopen(
        const QVariantMap& options = migratingOptions())
    {
        auto other = std::make_shared<cd::PersistentStoreCoordinator>(model);
        platform::Error error;
        EXPECT_TRUE(other->addPersistentStore(cd::SQLiteStoreType, {}, storeUrl(), options, &error))
            << error.localizedDescription().toStdString();
        auto fresh = std::make_unique<cd::ManagedObjectContext>();
        fresh->setPersistentStoreCoordinator(other);
        return fresh;
    }

    cd::ManagedObject* make(const QString& entity, const QVariantMap& values)
    {
        cd::ManagedObject* object = context->insertNewObject(entity);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            object->setValue(it.key(), it.value());
        return object;
    }

    std::shared_ptr<const cd::ManagedObjectModel> model;
    std::shared_ptr<cd::PersistentStoreCoordinator> coordinator;
    std::shared_ptr<cd::PersistentStore> store;
    std::unique_ptr<cd::ManagedObjectContext> context;
};

inline QStringList ids(const QList<cd::ManagedObject*>& objects)
{
    QStringList list;
    for (auto* object : objects)
        list << object->value(QStringLiteral("id")).toString();
    return list;
}

// A context over a coordinator of its own holding the store at the URL; null when the
// store cannot be added.
inline std::unique_ptr<cd::ManagedObjectContext> openContext(
    const QUrl& url, const QVariantMap& options = migratingOptions())
{
    auto coordinator = std::make_shared<cd::PersistentStoreCoordinator>(kivotabModel());
    if (!coordinator->addPersistentStore(cd::SQLiteStoreType, {}, url, options))
        return nullptr;
    auto context = std::make_unique<cd::ManagedObjectContext>();
    context->setPersistentStoreCoordinator(coordinator);
    return context;
}

// Runs the body in a child process as a user file permissions bind: the tests' own user,
// or "nobody" when the tests run as the superuser (as CI does), whom permissions do not
// bind. The child runs the test again up to this call, in a home of its own inside the
// test's: the folder is made there and given to that user, and the homes opened for it to
// pass through. The body's result is the child's exit status; -1 when it did not exit. How
// it ended and what it printed go to `said`.
inline int runUnprivileged(
    const QString& folder, std::string* said, const std::function<int()>& body)
{
    // The parent's home, and then the child's, opened for that user to pass through.
    const bool open
        = geteuid() != 0 || chmod(testsupport::homePath().toUtf8().constData(), 0711) == 0;
    testsupport::ChildProcess child;
    const bool started = open && child.startThisTest([&] {
        if (!QDir().mkpath(folder))
            return 124;
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(folder.toUtf8().constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                return 124;
            if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0
                || setuid(nobody->pw_uid) != 0)
                return 125;
        }
        return body();
    });
    const bool ended = started && child.waitForExit();
    *said = child.report();
    return ended && child.exited() ? child.exitCode() : -1;
}

} // namespace storetest
