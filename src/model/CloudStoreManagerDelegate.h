#pragma once

#include "platform/Error.h"
#include "platform/NotificationCenter.h"

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <memory>

namespace platform::coredata {
class ManagedObjectContext;
class PersistentStoreCoordinator;
} // namespace platform::coredata

class CloudStoreManager;

// How the application takes part in the store manager's work. Only the did-load call is
// required; every other call's default does what the manager does for a delegate without
// it, and the manager asks respondsTo... where it must know. Loading and migration call
// the delegate on the manager's persistence queue; log lines and errors come on whatever
// thread the manager is working on.
class CloudStoreManagerDelegate {
public:
    virtual ~CloudStoreManagerDelegate() = default;

    // A store has loaded; isCloud: whether the cloud store is enabled.
    virtual void cloudStoreManagerDidLoadStoreForCoordinator(CloudStoreManager& manager,
        const std::shared_ptr<platform::coredata::PersistentStoreCoordinator>& coordinator,
        bool isCloud)
        = 0;
    // The context to merge imported cloud changes into; none: they are not merged.
    virtual platform::coredata::ManagedObjectContext*
    cloudStoreManagerManagedObjectContextForUbiquityChanges(
        CloudStoreManager& manager, const platform::Notification& notification)
    {
        Q_UNUSED(manager);
        Q_UNUSED(notification);
        return nullptr;
    }
    // Offered by the application; the manager never asks for it.
    virtual platform::coredata::ManagedObjectContext*
    managedObjectContextForUbiquityChangesInManager(CloudStoreManager& manager)
    {
        Q_UNUSED(manager);
        return nullptr;
    }
    // The stores are about to be cleared.
    virtual void cloudStoreManagerWillLoadStoreIsCloud(CloudStoreManager& manager, bool isCloud)
    {
        Q_UNUSED(manager);
        Q_UNUSED(isCloud);
    }
    virtual void cloudStoreManagerFailedLoadingStoreWithCause(
        CloudStoreManager& manager, qint32 cause, const QVariant& context, bool wasCloud)
    {
        Q_UNUSED(manager);
        Q_UNUSED(cause);
        Q_UNUSED(context);
        Q_UNUSED(wasCloud);
    }
    // True: the application handles the corrupt cloud content itself.
    virtual bool cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(
        CloudStoreManager& manager, bool healthy)
    {
        Q_UNUSED(manager);
        Q_UNUSED(healthy);
        return false;
    }
    // True: the application handles the missing cloud account, nothing is loaded.
    virtual bool cloudStoreManagerHandleCloudDisabled(CloudStoreManager& manager)
    {
        Q_UNUSED(manager);
        return false;
    }
    virtual bool respondsToHandleCloudContentDeletion() const { return false; }
    virtual void cloudStoreManagerHandleCloudContentDeletion(CloudStoreManager& manager)
    {
        Q_UNUSED(manager);
    }
    virtual bool respondsToDidEncounterError() const { return false; }
    virtual void cloudStoreManagerDidEncounterError(CloudStoreManager& manager,
        const platform::Error& error, qint32 cause, const QVariant& context)
    {
        Q_UNUSED(manager);
        Q_UNUSED(error);
        Q_UNUSED(cause);
        Q_UNUSED(context);
    }
    virtual bool respondsToLog() const { return false; }
    virtual void cloudStoreManagerLog(CloudStoreManager& manager, const QString& message)
    {
        Q_UNUSED(manager);
        Q_UNUSED(message);
    }
    // False vetoes seeding the target from the source.
    virtual bool cloudStoreManagerShouldMigrateFromStoreURL(
        CloudStoreManager& manager, const QUrl& from, const QUrl& to, bool isCloud)
    {
        Q_UNUSED(manager);
        Q_UNUSED(from);
        Q_UNUSED(to);
        Q_UNUSED(isCloud);
        return true;
    }
    // The manual migration strategy; without it the seeding fails.
    virtual bool cloudStoreManagerManuallyMigrateStore(CloudStoreManager& manager, const QUrl& from,
        const QVariantMap& fromOptions, const QUrl& to, const QVariantMap& toOptions,
        platform::Error* error)
    {
        Q_UNUSED(manager);
        Q_UNUSED(from);
        Q_UNUSED(fromOptions);
        Q_UNUSED(to);
        Q_UNUSED(toOptions);
        Q_UNUSED(error);
        return false;
    }
};
