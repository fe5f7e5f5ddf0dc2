#include "grid/RowObject.h"

#include "grid/BridgeScreenData.h"
#include "platform/coredata/ManagedObject.h"

QVariant RowObject::fromObject(QObject* object)
{
    if (!object)
        return {};
    return QVariant::fromValue(object);
}

QObject* RowObject::object(const QVariant& row)
{
    if (!row.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return nullptr;
    return row.value<QObject*>();
}

platform::coredata::ManagedObject* RowObject::entity(const QVariant& row)
{
    return qobject_cast<platform::coredata::ManagedObject*>(object(row));
}

std::shared_ptr<ScreenData> RowObject::screenRecord(const QVariant& row)
{
    if (auto record = RowObject::record<ScreenData>(row))
        return record;
    return RowObject::record<BridgeScreenData>(row);
}
