#include "grid/ClassRegistry.h"

#include "grid/BaseDataController.h"
#include "grid/BaseMetroDataController.h"
#include "grid/ColumnsRowViewController.h"
#include "grid/FileBrowserDataController.h"
#include "grid/FilterDataController.h"
#include "grid/FilterRowViewController.h"
#include "grid/GenericOrderableRowViewController.h"
#include "grid/GenericRowViewController.h"
#include "grid/ListSelectColumnsRowViewController.h"
#include "grid/ListSelectRowViewController.h"
#include "grid/ModelColumnsRowViewController.h"
#include "grid/QueryResultDataController.h"
#include "grid/SortDataController.h"
#include "grid/SortRowViewController.h"
#include "grid/TableDataController.h"

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

template<class T> void add(Registry& registry)
{
    registry.entries.insert(QString::fromLatin1(T::staticMetaObject.className()),
        Entry { &T::staticMetaObject,
            [] { return std::static_pointer_cast<QObject>(std::make_shared<T>()); } });
}

// The grid's own classes are known from the start; the layers above register theirs.
// Forms are built off the main thread and resolve their classes there, hence the lock.
Registry& registry()
{
    static Registry shared;
    [[maybe_unused]] static const bool seeded = [] {
        add<BaseDataController>(shared);
        add<TableDataController>(shared);
        add<FileBrowserDataController>(shared);
        add<GenericRowViewController>(shared);
        add<ListSelectRowViewController>(shared);
        add<GenericOrderableRowViewController>(shared);
        add<ColumnsRowViewController>(shared);
        add<ListSelectColumnsRowViewController>(shared);
        add<ModelColumnsRowViewController>(shared);
        add<FilterDataController>(shared);
        add<SortDataController>(shared);
        add<FilterRowViewController>(shared);
        add<SortRowViewController>(shared);
        add<QueryResultDataController>(shared);
        add<BaseMetroDataController>(shared);
        return true;
    }();
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
