#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <mutex>

namespace platform::coredata {

// Small values the application shares across the machines of its cloud account: a JSON
// object in the file "KeyValueStore/<application identifier>.json" of the cloud folder,
// rewritten whole (to a temporary name, then renamed) at every change, into the account
// whose values the change was made to: a folder that changed hands meanwhile gets nothing.
// While no account is signed in the values live in memory only.
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
    // The file of the account; empty when signed out.
    static QString filePathFor(const QVariant& token);
    static QVariantMap read(const QString& path);
    // Changes the values as `change` says: those of the account read, changed and written
    // back under its token, or those in memory while signed out.
    void change(const std::function<void(QVariantMap&)>& change);

    mutable std::mutex m_mutex;
    QVariantMap m_values;
};

} // namespace platform::coredata
