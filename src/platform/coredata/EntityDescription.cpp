#include "platform/coredata/EntityDescription.h"

namespace platform::coredata {

EntityDescription::EntityDescription(QString name, QList<AttributeDescription> attributes,
    QList<QStringList> indexes, int indexInModel)
    : m_name(std::move(name))
    , m_attributes(std::move(attributes))
    , m_indexes(std::move(indexes))
    , m_indexInModel(indexInModel)
{
    for (int i = 0; i < m_attributes.size(); ++i)
        m_byName.insert(m_attributes[i].name, i);
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
