#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <mutex>

namespace platform::coredata {

// Small values the application shares across the machines of its cloud account: a JSON
// object in the file "KeyValueStore/<application identifier>.json" of the cloud folder,
// rewritten whole (to a temporary name, then renamed) at every change. While no account is
// signed in the values live in memory only.
class UbiquitousKeyValueStore {
public:
    static UbiquitousKeyValueStore& defaultStore();

    // Reads the file again; false when it cannot be read.
    bool synchronize();
    QVariantMap dictionaryRepresentation() const;
    QVariant objectForKey(const QString& key) const;
    void setObject(const QString& key, const QVariant& value);
    void removeObjectForKey(const QString& key);

    QString filePath() const;
    // Forgets what is in memory (tests).
    void reset();

private:
    UbiquitousKeyValueStore() = default;
    QVariantMap read() const;
    void write(const QVariantMap& values);

    mutable std::mutex m_mutex;
    QVariantMap m_values;
};

} // namespace platform::coredata
