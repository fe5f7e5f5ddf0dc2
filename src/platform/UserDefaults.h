#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>

class QSettings;

namespace platform {

// The application's user defaults: values kept in a JSON settings file under
// Library/Preferences, with a registration domain of defaults held in memory only.
// Every set writes the file at once; every get answers the stored value, else the
// registered one. Safe to use from any thread.
class UserDefaults {
public:
    static UserDefaults& standard();

    // Stored value, else registered default, else an invalid QVariant.
    QVariant objectForKey(const QString& key) const;
    // Stores the value; an invalid QVariant removes the key so the default answers again.
    void setObject(const QString& key, const QVariant& value);
    void removeObject(const QString& key);

    QString stringForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    void setBool(const QString& key, bool value);

    // Adds the values to the registration domain (not written to the file).
    void registerDefaults(const QVariantMap& defaults);
    QVariantMap registeredDefaults() const;
    // True when the key has a stored value (registered defaults do not count).
    bool hasStoredValue(const QString& key) const;

    QString filePath() const;

    // Posted (object: these defaults) on the thread that changed or removed a value.
    static const QString DidChangeNotification; // "NSUserDefaultsDidChangeNotification"
    // Forgets the in-memory state and reopens the file (tests that change KIVOTAB_HOME).
    void reload();

private:
    UserDefaults();
    ~UserDefaults();
    void open();

    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
};

} // namespace platform
