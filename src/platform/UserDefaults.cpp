#include "platform/UserDefaults.h"

#include "platform/Folders.h"
#include "platform/NotificationCenter.h"
#include "platform/Product.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

namespace platform {

const QString UserDefaults::DidChangeNotification
    = QStringLiteral("NSUserDefaultsDidChangeNotification");

namespace {

bool readJson(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QVariantMap values = document.object().toVariantMap();
    for (auto it = values.begin(); it != values.end(); ++it)
        map.insert(it.key(), it.value());
    return true;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map)
{
    QVariantMap values;
    for (auto it = map.begin(); it != map.end(); ++it)
        values.insert(it.key(), it.value());
    const QByteArray bytes = QJsonDocument(QJsonObject::fromVariantMap(values)).toJson();
    return device.write(bytes) == bytes.size();
}

QSettings::Format jsonFormat()
{
    static const QSettings::Format format
        = QSettings::registerFormat("json", readJson, writeJson, Qt::CaseSensitive);
    return format;
}

} // namespace

UserDefaults& UserDefaults::standard()
{
    static UserDefaults defaults;
    return defaults;
}

UserDefaults::UserDefaults()
{
    open();
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::open()
{
    m_settings = std::make_unique<QSettings>(
        Folders::preferences() + "/" + Product::identifier + ".json", jsonFormat());
}

QString UserDefaults::filePath() const
{
    std::lock_guard lock(m_mutex);
    return m_settings->fileName();
}

void UserDefaults::reload()
{
    std::lock_guard lock(m_mutex);
    m_settings.reset();
    m_registered.clear();
    open();
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    const QVariant stored = m_settings->value(key);
    if (stored.isValid())
        return stored;
    return m_registered.value(key);
}

void UserDefaults::setObject(const QString& key, const QVariant& value)
{
    {
        std::lock_guard lock(m_mutex);
        // Storing what is there already changes nothing anyone could observe.
        if (value.isValid() ? m_settings->value(key) == value : !m_settings->contains(key))
            return;
        if (value.isValid())
            m_settings->setValue(key, value);
        else
            m_settings->remove(key);
        m_settings->sync();
    }
    NotificationCenter::defaultCenter().post(DidChangeNotification, this);
}

void UserDefaults::removeObject(const QString& key)
{
    setObject(key, QVariant());
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString) {
        // A text answers YES when it starts with Y, y, T, t or a non-zero digit.
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return false;
        const QChar first = text.at(0);
        if (first == 'Y' || first == 'y' || first == 'T' || first == 't')
            return true;
        return text.toDouble() != 0.0;
    }
    return value.toBool();
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    return objectForKey(key).toLongLong();
}

double UserDefaults::doubleForKey(const QString& key) const
{
    return objectForKey(key).toDouble();
}

void UserDefaults::setBool(const QString& key, bool value)
{
    setObject(key, QVariant(value));
}

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    std::lock_guard lock(m_mutex);
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        m_registered.insert(it.key(), it.value());
}

QVariantMap UserDefaults::registeredDefaults() const
{
    std::lock_guard lock(m_mutex);
    return m_registered;
}

bool UserDefaults::hasStoredValue(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_settings->contains(key);
}

} // namespace platform
