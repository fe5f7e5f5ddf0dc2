#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>

namespace platform {

// A dictionary shared by reference: every copy of a MutableDictionary is the same
// dictionary, so one handed to a form (or kept in a QVariant) receives what the form
// writes into it. Setting nil (an invalid QVariant) removes the key.
class MutableDictionary {
public:
    MutableDictionary();
    explicit MutableDictionary(const QVariantMap& contents);

    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void removeValue(const QString& key);
    bool contains(const QString& key) const;
    qsizetype count() const;
    QStringList keys() const;
    void clear();

    // A copy of the contents at this moment.
    QVariantMap toMap() const { return *m_map; }

    // Identity, as for any object held by reference.
    bool operator==(const MutableDictionary& other) const { return m_map == other.m_map; }

private:
    std::shared_ptr<QVariantMap> m_map;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::MutableDictionary)
