#include "grid/RowObject.h"

#include "grid/BridgeScreenData.h"
#include "platform/coredata/ManagedObject.h"

#include <QPointer>

namespace {

bool isGuarded(const QVariant& row)
{
    return row.metaType() == QMetaType::fromType<QPointer<QObject>>();
}

} // namespace

QVariant RowObject::fromObject(QObject* object)
{
    if (!object)
        return {};
    return QVariant::fromValue(QPointer<QObject>(object));
}

QObject* RowObject::object(const QVariant& row)
{
    if (isGuarded(row))
        return static_cast<const QPointer<QObject>*>(row.constData())->data();
    return nullptr;
}

platform::coredata::ManagedObject* RowObject::entity(const QVariant& row)
{
    return qobject_cast<platform::coredata::ManagedObject*>(object(row));
}

bool RowObject::isGone(const QVariant& row)
{
    return isGuarded(row) && !object(row);
}

std::shared_ptr<ScreenData> RowObject::screenRecord(const QVariant& row)
{
    if (auto record = RowObject::record<ScreenData>(row))
        return record;
    return RowObject::record<BridgeScreenData>(row);
}
