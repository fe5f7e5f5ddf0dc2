#include "grid/ClassRegistry.h"

#include <QHash>

#include <mutex>

namespace {

struct Entry {
    const QMetaObject* metaObject = nullptr;
    ClassRegistry::Factory factory;
};

struct Registry {
    std::mutex mutex;
    QHash<QString, Entry> entries;
};

// Forms are built off the main thread and resolve their classes there, hence the lock.
Registry& registry()
{
    static Registry shared;
    return shared;
}

Entry find(const QString& className)
{
    if (className.isEmpty())
        return {};
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    return shared.entries.value(className);
}

} // namespace

void ClassRegistry::registerClass(const QMetaObject* metaObject, Factory factory)
{
    if (!metaObject)
        return;
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.entries.insert(
        QString::fromLatin1(metaObject->className()), Entry { metaObject, std::move(factory) });
}

void ClassRegistry::unregisterClass(const QString& className)
{
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.entries.remove(className);
}

const QMetaObject* ClassRegistry::metaObject(const QString& className)
{
    return find(className).metaObject;
}

bool ClassRegistry::isKindOfClass(const QString& className, const QMetaObject* base)
{
    const QMetaObject* found = metaObject(className);
    return found && base && found->inherits(base);
}

std::shared_ptr<QObject> ClassRegistry::create(const QString& className)
{
    const Entry entry = find(className);
    return entry.factory ? entry.factory() : nullptr;
}
