#include "style/ColorDictionary.h"

#include "style/UIColor_Expanded.h"

ColorDictionary::ColorDictionary(QString name, const QList<Entry>& entries)
    : m_name(std::move(name))
{
    m_entries.reserve(entries.size());
    m_colors.reserve(entries.size());
    for (const Entry& entry : entries) {
        // Names are unique within a dictionary; a repeated name keeps its first value.
        if (m_index.contains(entry.name))
            continue;
        m_index.insert(entry.name, m_entries.size());
        m_entries.append(entry);
        // Parsed once here rather than on every closest-name search.
        m_colors.append(UIColor_Expanded::colorWithHexString(entry.value));
    }
}

QStringList ColorDictionary::allKeys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        keys << entry.name;
    return keys;
}

QString ColorDictionary::valueForKey(const QString& colorName) const
{
    const auto it = m_index.constFind(colorName);
    return it == m_index.cend() ? QString() : m_entries.at(*it).value;
}
