#pragma once

#include <QList>
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
//
// A file that is there but cannot be read (a sync tool half way through delivering it) is
// never written over: the change is kept here, and goes, after the values the file holds
// by then, once the file can be read (at the next change, synchronisation or retry).
class UbiquitousKeyValueStore {
public:
    static UbiquitousKeyValueStore& defaultStore();

    // Reads the file again (and writes the changes that wait for it); false when it cannot
    // be read.
    bool synchronize();
    QVariantMap dictionaryRepresentation() const;
    QVariant objectForKey(const QString& key) const;
    void setObject(const QString& key, const QVariant& value);
    void removeObjectForKey(const QString& key);

    QString filePath() const;
    // How long after a change waits for the file it is tried again (milliseconds).
    static constexpr int RetryIntervalMs = 2000;
    void setRetryInterval(int milliseconds);
    // Forgets what is in memory and what waits (tests).
    void reset();

private:
    using Change = std::function<void(QVariantMap&)>;
    struct Waiting {
        QVariant token; // the account the change was made to
        Change change;
    };

    UbiquitousKeyValueStore() = default;
    // The file of the account; empty when signed out.
    static QString filePathFor(const QVariant& token);
    // Changes the values as `change` says: those of the account read, changed and written
    // back under its token, or those in memory while signed out.
    void change(const Change& change);
    // Writes what waits for the account once its file can be read (m_mutex held): the values
    // the file holds then, with the changes in the order made. False while it cannot.
    bool writeWaiting(const QVariant& token);
    void retryLater();
    void retry();

    mutable std::mutex m_mutex;
    QVariantMap m_values;
    QList<Waiting> m_waiting;
    bool m_retryScheduled = false;
    bool m_toldWaiting = false; // the wait was logged
    int m_retryIntervalMs = RetryIntervalMs;
    unsigned m_generation = 0; // counts resets, so that a retry from before one does nothing
};

} // namespace platform::coredata
