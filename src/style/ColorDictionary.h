#pragma once

#include "style/Color.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One named-colour dictionary: colour names (exact case and punctuation) to hex texts,
// kept in the order the builder added them, which decides ties of the closest-name search.
class ColorDictionary {
public:
    struct Entry {
        QString name;
        QString value;
    };

    ColorDictionary() = default;
    ColorDictionary(QString name, const QList<Entry>& entries);

    const QString& name() const { return m_name; }
    qsizetype count() const { return m_entries.size(); }
    const QList<Entry>& entries() const { return m_entries; }
    QStringList allKeys() const;
    bool contains(const QString& colorName) const { return m_index.contains(colorName); }
    // The hex text of a name; a null string when the name is absent.
    QString valueForKey(const QString& colorName) const;
    // The parsed colour of entry i; none when its text does not parse.
    const std::optional<Color>& colorAt(qsizetype i) const { return m_colors.at(i); }

private:
    QString m_name;
    QList<Entry> m_entries;
    QList<std::optional<Color>> m_colors;
    QHash<QString, qsizetype> m_index;
};
