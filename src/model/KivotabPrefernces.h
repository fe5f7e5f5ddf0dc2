#pragma once

#include "utilities/shell/Preferences.h"

// The product's settings: the base settings plus the current database, whether the
// default table definitions have been loaded, the reminder reset switch and the three
// theme-colour records (colour-list values keyed by column id).
class KivotabPrefernces : public Preferences {
    Q_OBJECT
    Q_PROPERTY(QVariant defaultDatabase READ defaultDatabase WRITE setDefaultDatabase)
    Q_PROPERTY(
        bool defaultTemplatesLoaded READ defaultTemplatesLoaded WRITE setDefaultTemplatesLoaded)
    Q_PROPERTY(QVariant barthemeColor READ barthemeColor WRITE setBarthemeColor)
    Q_PROPERTY(QVariant imagethemeColor READ imagethemeColor WRITE setImagethemeColor)
    Q_PROPERTY(QVariant tilesthemeColor READ tilesthemeColor WRITE setTilesthemeColor)
    Q_PROPERTY(bool resetReminders READ resetReminders WRITE setResetReminders)

public:
    Q_INVOKABLE explicit KivotabPrefernces(QObject* parent = nullptr);
    ~KivotabPrefernces() override;

    // The stored value unchanged; invalid when there is none.
    QVariant defaultDatabase() const;
    void setDefaultDatabase(const QVariant& value);
    // An absent key reads false.
    bool defaultTemplatesLoaded() const;
    void setDefaultTemplatesLoaded(bool value);
    // The stored dictionary; invalid when absent or not a dictionary.
    QVariant barthemeColor() const;
    void setBarthemeColor(const QVariant& value);
    QVariant imagethemeColor() const;
    void setImagethemeColor(const QVariant& value);
    QVariant tilesthemeColor() const;
    void setTilesthemeColor(const QVariant& value);
    bool resetReminders() const;
    void setResetReminders(bool value);

    // Restores every default of this class (its own keys included), keeping
    // "firstlaunch". "defaultdatabase" has no getter of that name and so keeps its value.
    void resetPreferences() override;

    // The base defaults with the product's keys added and "ioslanguage" off.
    static QVariantMap defaultValues();
    static void registerDefaults();

    static const QString DefaultDatabaseKey; // "defaultdatabase"
    static const QString DefaultTemplatesLoadedKey; // "defaultTemplatesLoaded"
    static const QString ResetRemindersKey; // "resetReminders"
    static const QString BarthemeColorKey; // "barthemeColor"
    static const QString ImagethemeColorKey; // "imagethemeColor"
    static const QString TilesthemeColorKey; // "tilesthemeColor"

private:
    QVariant dictionaryForKey(const QString& key) const;
};
