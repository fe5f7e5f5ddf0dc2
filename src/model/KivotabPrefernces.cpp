#include "model/KivotabPrefernces.h"

#include "model/DefaultContent.h"
#include "platform/UserDefaults.h"
#include "style/NamedColors.h"
#include "style/UIColor_Expanded.h"

const QString KivotabPrefernces::DefaultDatabaseKey = QStringLiteral("defaultdatabase");
const QString KivotabPrefernces::DefaultTemplatesLoadedKey
    = QStringLiteral("defaultTemplatesLoaded");
const QString KivotabPrefernces::ResetRemindersKey = QStringLiteral("resetReminders");
const QString KivotabPrefernces::BarthemeColorKey = QStringLiteral("barthemeColor");
const QString KivotabPrefernces::ImagethemeColorKey = QStringLiteral("imagethemeColor");
const QString KivotabPrefernces::TilesthemeColorKey = QStringLiteral("tilesthemeColor");

KivotabPrefernces::KivotabPrefernces(QObject* parent)
    : Preferences(parent)
{
}

KivotabPrefernces::~KivotabPrefernces() = default;

QVariant KivotabPrefernces::dictionaryForKey(const QString& key) const
{
    const QVariant stored = objectForKey(key);
    return stored.typeId() == QMetaType::QVariantMap ? stored : QVariant();
}

QVariant KivotabPrefernces::defaultDatabase() const
{
    return objectForKey(DefaultDatabaseKey);
}
void KivotabPrefernces::setDefaultDatabase(const QVariant& value)
{
    setObjectForKey(DefaultDatabaseKey, value);
}

bool KivotabPrefernces::defaultTemplatesLoaded() const
{
    return flagForKey(DefaultTemplatesLoadedKey);
}
void KivotabPrefernces::setDefaultTemplatesLoaded(bool value)
{
    setFlagForKey(DefaultTemplatesLoadedKey, value);
}

QVariant KivotabPrefernces::barthemeColor() const
{
    return dictionaryForKey(BarthemeColorKey);
}
void KivotabPrefernces::setBarthemeColor(const QVariant& value)
{
    setObjectForKey(BarthemeColorKey, value);
}

QVariant KivotabPrefernces::imagethemeColor() const
{
    return dictionaryForKey(ImagethemeColorKey);
}
void KivotabPrefernces::setImagethemeColor(const QVariant& value)
{
    setObjectForKey(ImagethemeColorKey, value);
}

QVariant KivotabPrefernces::tilesthemeColor() const
{
    return dictionaryForKey(TilesthemeColorKey);
}
void KivotabPrefernces::setTilesthemeColor(const QVariant& value)
{
    setObjectForKey(TilesthemeColorKey, value);
}

bool KivotabPrefernces::resetReminders() const
{
    return flagForKey(ResetRemindersKey);
}
void KivotabPrefernces::setResetReminders(bool value)
{
    setFlagForKey(ResetRemindersKey, value);
}

QVariantMap KivotabPrefernces::defaultValues()
{
    QVariantMap defaults = Preferences::defaultValues();
    const QString& valueColumn = DefaultContent::ColorValueColumnId;
    const auto colorRecord = [&valueColumn](const QString& text) {
        return QVariantMap { { valueColumn, text } };
    };
    defaults.insert(IosLanguageKey, false);
    defaults.insert(DefaultDatabaseKey, DefaultContent::SystemDatabaseId);
    defaults.insert(DefaultTemplatesLoadedKey, false);
    defaults.insert(ResetRemindersKey, false);
    defaults.insert(BarthemeColorKey,
        colorRecord(UIColor_Expanded::themeRGBString(defaults.value(BarThemeKey).toString())));
    defaults.insert(ImagethemeColorKey,
        colorRecord(UIColor_Expanded::themeRGBString(defaults.value(ImageThemeKey).toString())));
    defaults.insert(TilesthemeColorKey,
        colorRecord(UIColor_Expanded::stringValue(UIColor_Expanded::ThemeGrey())));
    return defaults;
}

void KivotabPrefernces::registerDefaults()
{
    platform::UserDefaults::standard().registerDefaults(KivotabPrefernces::defaultValues());
}

void KivotabPrefernces::resetPreferences()
{
    resetPreferencesWith(KivotabPrefernces::defaultValues());
}
