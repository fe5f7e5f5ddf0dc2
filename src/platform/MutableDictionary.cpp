#include "platform/MutableDictionary.h"

namespace platform {

MutableDictionary::MutableDictionary()
    : m_map(std::make_shared<QVariantMap>())
{
}

MutableDictionary::MutableDictionary(const QVariantMap& contents)
    : m_map(std::make_shared<QVariantMap>(contents))
{
}

QVariant MutableDictionary::value(const QString& key) const
{
    return m_map->value(key);
}

void MutableDictionary::setValue(const QString& key, const QVariant& value)
{
    if (!value.isValid())
        m_map->remove(key);
    else
        m_map->insert(key, value);
}

void MutableDictionary::removeValue(const QString& key)
{
    m_map->remove(key);
}

bool MutableDictionary::contains(const QString& key) const
{
    return m_map->contains(key);
}

qsizetype MutableDictionary::count() const
{
    return m_map->size();
}

QStringList MutableDictionary::keys() const
{
    return m_map->keys();
}

void MutableDictionary::clear()
{
    m_map->clear();
}

} // namespace platform
