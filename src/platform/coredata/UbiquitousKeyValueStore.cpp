#include "platform/coredata/UbiquitousKeyValueStore.h"

#include "platform/coredata/CloudContainer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

namespace platform::coredata {

UbiquitousKeyValueStore& UbiquitousKeyValueStore::defaultStore()
{
    static UbiquitousKeyValueStore store;
    return store;
}

QString UbiquitousKeyValueStore::filePathFor(const QVariant& token)
{
    if (!token.isValid())
        return {};
    return QDir(CloudContainer::rootPath())
        .filePath(QStringLiteral("KeyValueStore/%1.json")
                      .arg(CloudContainer::defaultContainerIdentifier()));
}

QString UbiquitousKeyValueStore::filePath() const
{
    return filePathFor(CloudContainer::ubiquityIdentityToken());
}

QVariantMap UbiquitousKeyValueStore::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

void UbiquitousKeyValueStore::change(const std::function<void(QVariantMap&)>& change)
{
    std::lock_guard lock(m_mutex);
    const QVariant token = CloudContainer::ubiquityIdentityToken();
    const QString path = filePathFor(token);
    // Another machine's changes since the last look are kept.
    QVariantMap values = path.isEmpty() ? m_values : read(path);
    change(values);
    m_values = values;
    if (path.isEmpty())
        return;
    const QByteArray json = QJsonDocument(QJsonObject::fromVariantMap(values)).toJson();
    QString problem;
    if (!CloudContainer::makeFolder(QFileInfo(path).absolutePath(), token)
        || !CloudContainer::writeFile(path, json, token, &problem))
        qWarning().noquote() << "The cloud key-value store could not be written:" << path
                             << problem;
}

bool UbiquitousKeyValueStore::synchronize()
{
    std::lock_guard lock(m_mutex);
    const QString path = filePath();
    if (path.isEmpty())
        return false;
    m_values = QFileInfo::exists(path) ? read(path) : QVariantMap();
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
    change([&](QVariantMap& values) { values.insert(key, value); });
}

void UbiquitousKeyValueStore::removeObjectForKey(const QString& key)
{
    change([&](QVariantMap& values) { values.remove(key); });
}

void UbiquitousKeyValueStore::reset()
{
    std::lock_guard lock(m_mutex);
    m_values.clear();
}

} // namespace platform::coredata
