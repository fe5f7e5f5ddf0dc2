#include "platform/coredata/UbiquitousKeyValueStore.h"

#include "platform/coredata/CloudContainer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtDebug>

namespace platform::coredata {

UbiquitousKeyValueStore& UbiquitousKeyValueStore::defaultStore()
{
    static UbiquitousKeyValueStore store;
    return store;
}

QString UbiquitousKeyValueStore::filePath() const
{
    if (!CloudContainer::ubiquityIdentityToken().isValid())
        return {};
    return QDir(CloudContainer::rootPath())
        .filePath(QStringLiteral("KeyValueStore/%1.json")
                      .arg(CloudContainer::defaultContainerIdentifier()));
}

QVariantMap UbiquitousKeyValueStore::read() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

void UbiquitousKeyValueStore::write(const QVariantMap& values)
{
    const QString path = filePath();
    if (path.isEmpty())
        return;
    CloudContainer::makeFolder(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray json = QJsonDocument(QJsonObject::fromVariantMap(values)).toJson();
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        qWarning().noquote() << "The cloud key-value store could not be written:" << path
                             << file.errorString();
}

bool UbiquitousKeyValueStore::synchronize()
{
    std::lock_guard lock(m_mutex);
    const QString path = filePath();
    if (path.isEmpty())
        return false;
    m_values = QFileInfo::exists(path) ? read() : QVariantMap();
    return true;
}

QVariantMap UbiquitousKeyValueStore::dictionaryRepresentation() const
{
    std::lock_guard lock(m_mutex);
    return m_values;
}

QVariant UbiquitousKeyValueStore::objectForKey(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_values.value(key);
}

void UbiquitousKeyValueStore::setObject(const QString& key, const QVariant& value)
{
    std::lock_guard lock(m_mutex);
    // Another machine's changes since the last look are kept.
    QVariantMap values = filePath().isEmpty() ? m_values : read();
    values.insert(key, value);
    m_values = values;
    write(values);
}

void UbiquitousKeyValueStore::removeObjectForKey(const QString& key)
{
    std::lock_guard lock(m_mutex);
    QVariantMap values = filePath().isEmpty() ? m_values : read();
    values.remove(key);
    m_values = values;
    write(values);
}

void UbiquitousKeyValueStore::reset()
{
    std::lock_guard lock(m_mutex);
    m_values.clear();
}

} // namespace platform::coredata
