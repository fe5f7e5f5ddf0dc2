#include "platform/coredata/EntityDescription.h"

namespace platform::coredata {

EntityDescription::EntityDescription(QString name, QList<AttributeDescription> attributes,
    QList<QStringList> indexes, int indexInModel)
    : m_name(std::move(name))
    , m_attributes(std::move(attributes))
    , m_indexes(std::move(indexes))
    , m_indexInModel(indexInModel)
{
}

int EntityDescription::indexOfAttribute(const QString& name) const
{
    // A look through a few names: hashing a text right after comparing texts is slow on
    // common processors, and lookups come by the thousand with every row.
    for (int i = 0; i < m_attributes.size(); ++i) {
        if (m_attributes[i].name == name)
            return i;
    }
    return -1;
}

QStringList EntityDescription::attributeNames() const
{
    QStringList names;
    for (const auto& attribute : m_attributes)
        names << attribute.name;
    return names;
}

const AttributeDescription* EntityDescription::attribute(const QString& name) const
{
    const int index = indexOfAttribute(name);
    return index < 0 ? nullptr : &m_attributes[index];
}

} // namespace platform::coredata
