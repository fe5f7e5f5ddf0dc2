#include "reports/mustache/MustacheKeyAccess.h"

#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheKeyedSubscript.h"
#include "reports/mustache/MustacheValue.h"
#include "utilities/data/OrderedDictionary.h"

#include <QObject>
#include <QStringList>
#include <QVariantHash>
#include <QVariantMap>

namespace {

QVariant collectionValue(const QString& key, const QVariant& object)
{
    // Lookups of other keys walk past a collection on the context stack, once for every
    // row inside it: they must not copy its items on the way.
    const bool counted = key == QLatin1String("count");
    const bool first = key == QLatin1String("firstObject");
    if (!counted && !first && key != QLatin1String("lastObject"))
        return {};
    const qsizetype count = MustacheValue::count(object);
    if (counted)
        return qlonglong(count);
    return MustacheValue::itemAt(object, first ? 0 : count - 1);
}

} // namespace

QVariant MustacheKeyAccess::valueForMustacheKey(const QString& key, const QVariant& object)
{
    switch (object.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return {};
    case QMetaType::QVariantMap: {
        const QVariantMap& map = *static_cast<const QVariantMap*>(object.constData());
        const auto it = map.constFind(key);
        return it == map.constEnd() ? QVariant() : it.value();
    }
    case QMetaType::QVariantHash: {
        const QVariantHash& hash = *static_cast<const QVariantHash*>(object.constData());
        const auto it = hash.constFind(key);
        return it == hash.constEnd() ? QVariant() : it.value();
    }
    case QMetaType::QString:
        return key == QLatin1String("length") ? QVariant(qlonglong(object.toString().size()))
                                              : QVariant();
    default:
        break;
    }
    if (object.metaType() == QMetaType::fromType<OrderedDictionary>())
        return static_cast<const OrderedDictionary*>(object.constData())->objectForKey(key);
    if (object.metaType() == QMetaType::fromType<MustacheObjectPtr>()) {
        const MustacheObjectPtr& shared
            = *static_cast<const MustacheObjectPtr*>(object.constData());
        if (auto keyed = dynamic_cast<const MustacheKeyedSubscript*>(shared.get()))
            return keyed->objectForKeyedSubscript(key);
        if (auto context = dynamic_cast<const MustacheContext*>(shared.get()))
            return context->valueForKey(key);
        return {};
    }
    if (objectIsFoundationCollectionWhoseImplementationOfValueForKeyReturnsAnotherCollection(
            object))
        return collectionValue(key, object);
    if (object.metaType().flags() & QMetaType::PointerToQObject) {
        const QObject* qobject = object.value<QObject*>();
        if (!qobject)
            return {};
        const QByteArray name = key.toUtf8();
        if (qobject->metaObject()->indexOfProperty(name.constData()) < 0
            && !qobject->dynamicPropertyNames().contains(name))
            return {};
        return qobject->property(name.constData());
    }
    return {};
}

bool MustacheKeyAccess::
    objectIsFoundationCollectionWhoseImplementationOfValueForKeyReturnsAnotherCollection(
        const QVariant& object)
{
    return MustacheValue::isEnumerable(object);
}

void MustacheKeyAccess::preventNSUndefinedKeyExceptionAttack()
{
}
