#include "utilities/shell/Preferences.h"

#include "platform/UserDefaults.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"

using platform::UserDefaults;

const QString Preferences::TilesKey = QStringLiteral("tiles");
const QString Preferences::RowsKey = QStringLiteral("rows");
const QString Preferences::SslValidationKey = QStringLiteral("sslvalidation");
const QString Preferences::StatusBarKey = QStringLiteral("statusbar");
const QString Preferences::FirstLaunchKey = QStringLiteral("firstlaunch");
const QString Preferences::ListenerPortKey = QStringLiteral("listenerPort");
const QString Preferences::AutofitFontKey = QStringLiteral("autofitfont");
const QString Preferences::ImageThemeKey = QStringLiteral("imagetheme");
const QString Preferences::BarThemeKey = QStringLiteral("bartheme");
const QString Preferences::IosLanguageKey = QStringLiteral("ioslanguage");
const QString Preferences::BackgroundKey = QStringLiteral("background");
const QString Preferences::GradientKey = QStringLiteral("gradient");
const QString Preferences::DebugKey = QStringLiteral("debug");
const QString Preferences::DisableButtonBorderKey = QStringLiteral("disablebuttonborder");
const QString Preferences::TilesThemeKey = QStringLiteral("tilestheme");

Preferences::Preferences(QObject* parent)
    : QObject(parent)
{
}

Preferences::~Preferences() = default;

QVariant Preferences::objectForKey(const QString& key) const
{
    return UserDefaults::standard().objectForKey(key);
}

bool Preferences::flagForKey(const QString& key) const
{
    return UserDefaults::standard().boolForKey(key);
}

void Preferences::setObjectForKey(const QString& key, const QVariant& value)
{
    UserDefaults::standard().setObject(key, value);
}

void Preferences::setFlagForKey(const QString& key, bool value)
{
    UserDefaults::standard().setBool(key, value);
}

QVariant Preferences::tiles() const
{
    return objectForKey(TilesKey);
}
QVariant Preferences::rows() const
{
    return objectForKey(RowsKey);
}
QVariant Preferences::listenerPort() const
{
    return objectForKey(ListenerPortKey);
}
QVariant Preferences::imagetheme() const
{
    return objectForKey(ImageThemeKey);
}
QVariant Preferences::background() const
{
    return objectForKey(BackgroundKey);
}
QVariant Preferences::tilestheme() const
{
    return objectForKey(TilesThemeKey);
}

QVariant Preferences::bartheme() const
{
    const QVariant stored = objectForKey(BarThemeKey);
    if (stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String("Default"))
        return imagetheme();
    return stored;
}

bool Preferences::sslvalidation() const
{
    return flagForKey(SslValidationKey);
}
bool Preferences::statusbar() const
{
    return flagForKey(StatusBarKey);
}
bool Preferences::firstlaunch() const
{
    return flagForKey(FirstLaunchKey);
}
bool Preferences::autofitfont() const
{
    return flagForKey(AutofitFontKey);
}
bool Preferences::ioslanguage() const
{
    return flagForKey(IosLanguageKey);
}
bool Preferences::gradient() const
{
    return flagForKey(GradientKey);
}
bool Preferences::debug() const
{
    return flagForKey(DebugKey);
}
bool Preferences::disablebuttonborder() const
{
    return true;
}

void Preferences::setTiles(const QVariant& value)
{
    setObjectForKey(TilesKey, value);
}
void Preferences::setRows(const QVariant& value)
{
    setObjectForKey(RowsKey, value);
}
void Preferences::setImagetheme(const QVariant& value)
{
    setObjectForKey(ImageThemeKey, value);
}
void Preferences::setBartheme(const QVariant& value)
{
    setObjectForKey(BarThemeKey, value);
}
void Preferences::setBackground(const QVariant& value)
{
    setObjectForKey(BackgroundKey, value);
}
void Preferences::setTilestheme(const QVariant& value)
{
    setObjectForKey(TilesThemeKey, value);
}
void Preferences::setlistenerPort(const QVariant& value)
{
    setObjectForKey(ListenerPortKey, value);
}
void Preferences::setListenerPort(const QVariant& value)
{
    m_listenerPort = value;
}

void Preferences::setSslvalidation(bool value)
{
    setFlagForKey(SslValidationKey, value);
}
void Preferences::setStatusbar(bool value)
{
    setFlagForKey(StatusBarKey, value);
}
void Preferences::setFirstlaunch(bool value)
{
    setFlagForKey(FirstLaunchKey, value);
}
void Preferences::setAutofitfont(bool value)
{
    setFlagForKey(AutofitFontKey, value);
}
void Preferences::setIoslanguage(bool value)
{
    setFlagForKey(IosLanguageKey, value);
}
void Preferences::setGradient(bool value)
{
    setFlagForKey(GradientKey, value);
}
void Preferences::setDebug(bool value)
{
    setFlagForKey(DebugKey, value);
}
void Preferences::setDisablebuttonborder(bool value)
{
    setFlagForKey(DisableButtonBorderKey, value);
}

QVariantMap Preferences::defaultValues()
{
    const double height = DeviceHelper::getScreenSize().height();
    const double tilesDivisor = DeviceHelper::isIPHONE() ? 60.0 : 65.0;
    // Truncated toward zero; the doubling comes after the division.
    const int tiles = int(2 * (height / tilesDivisor));
    const int rows = int(height / 30.0);
    return {
        { TilesKey, tiles },
        { RowsKey, rows },
        { SslValidationKey, true },
        { StatusBarKey, false },
        { FirstLaunchKey, true },
        { ListenerPortKey, 12345 },
        { AutofitFontKey, true },
        { ImageThemeKey, QStringLiteral("Blue") },
        { BarThemeKey, QStringLiteral("Blue") },
        { IosLanguageKey, true },
        { BackgroundKey, QStringLiteral("TinyGrid") },
        { GradientKey, false },
        { DebugKey, false },
        { DisableButtonBorderKey, true },
        { TilesThemeKey, QStringLiteral("Grey") },
    };
}

void Preferences::registerDefaults()
{
    UserDefaults::standard().registerDefaults(Preferences::defaultValues());
}

void Preferences::resetPreferences()
{
    resetPreferencesWith(Preferences::defaultValues());
}

void Preferences::resetPreferencesWith(const QVariantMap& defaults)
{
    const bool firstLaunch = firstlaunch();
    // Every default reaches its setter, so it is written explicitly; "listenerPort"
    // reaches setListenerPort, which leaves the stored port alone.
    RunTime::classFromDictionary(defaults, metaObject(), this);
    setFirstlaunch(firstLaunch);
}
