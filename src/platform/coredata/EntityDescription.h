#pragma once

#include "platform/coredata/AttributeDescription.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::coredata {

// One entity of the model: its name, its attributes in declared order and the indexes
// its store table carries. Made by ManagedObjectModel; never changed afterwards.
class EntityDescription {
public:
    EntityDescription(QString name, QList<AttributeDescription> attributes,
        QList<QStringList> indexes, int indexInModel);

    const QString& name() const { return m_name; }
    const QList<AttributeDescription>& attributes() const { return m_attributes; }
    QStringList attributeNames() const;
    // Position of the attribute in declared order, -1 when the entity has none of that name.
    int indexOfAttribute(const QString& name) const;
    const AttributeDescription* attribute(const QString& name) const;
    // Column lists of the store indexes (one or more attributes each).
    const QList<QStringList>& indexes() const { return m_indexes; }
    // Position of the entity in the model's order.
    int indexInModel() const { return m_indexInModel; }

private:
    QString m_name;
    QList<AttributeDescription> m_attributes;
    QList<QStringList> m_indexes;
    int m_indexInModel;
};

} // namespace platform::coredata
