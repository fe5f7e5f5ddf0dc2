#include "platform/coredata/UbiquitousKeyValueStore.h"

#include "platform/Dispatch.h"
#include "platform/coredata/AccountFolder.h"
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

namespace {

enum class KeyValueFile { Read, Missing, Unreadable };

// The values of the file, read through the account's folder held open.
KeyValueFile readValues(const AccountFolder& account, const QString& path, QVariantMap* values)
{
    bool missing = false;
    const std::optional<QByteArray> bytes = account.readFile(path, &missing);
    if (missing) {
        values->clear();
        return KeyValueFile::Missing;
    }
    if (!bytes)
        return KeyValueFile::Unreadable;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    // Half a file (or none of it yet, or something else than values) is no set of values.
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return KeyValueFile::Unreadable;
    *values = document.object().toVariantMap();
    return KeyValueFile::Read;
}

} // namespace

void UbiquitousKeyValueStore::change(const Change& change)
{
    std::lock_guard lock(m_mutex);
    const QVariant token = CloudContainer::ubiquityIdentityToken();
    change(m_values);
    if (filePathFor(token).isEmpty())
        return;
    m_waiting.append({ token, change });
    writeWaiting(token);
}

bool UbiquitousKeyValueStore::writeWaiting(const QVariant& token)
{
    const QString path = filePathFor(token);
    QList<Waiting> mine;
    for (const Waiting& waiting : std::as_const(m_waiting)) {
        if (waiting.token == token)
            mine << waiting;
    }
    if (mine.isEmpty())
        return true;
    const auto account = AccountFolder::open(token);
    QVariantMap values;
    const KeyValueFile state
        = account ? readValues(*account, path, &values) : KeyValueFile::Unreadable;
    QString problem;
    if (state == KeyValueFile::Unreadable) {
        problem = QStringLiteral("the file cannot be read now; the change waits");
    } else {
        // Another machine's changes since the last look are kept, and these go after them.
        for (const Waiting& waiting : std::as_const(mine))
            waiting.change(values);
        const QByteArray json = QJsonDocument(QJsonObject::fromVariantMap(values)).toJson();
        if (account->makeFolder(QFileInfo(path).absolutePath(), &problem)
            && account->writeFile(path, json, &problem)) {
            m_waiting.removeIf([&token](const Waiting& waiting) { return waiting.token == token; });
            m_values = values;
            m_toldWaiting = false;
            return true;
        }
    }
    if (!m_toldWaiting)
        qWarning().noquote() << "The cloud key-value store could not be written:" << path
                             << problem;
    m_toldWaiting = true;
    retryLater();
    return false;
}

void UbiquitousKeyValueStore::retryLater()
{
    if (m_retryScheduled)
        return;
    m_retryScheduled = true;
    dispatch::afterMain(m_retryIntervalMs, [generation = m_generation] {
        auto& store = defaultStore();
        {
            std::lock_guard lock(store.m_mutex);
            if (store.m_generation != generation)
                return;
            store.m_retryScheduled = false;
        }
        // Off the main thread: the file may be on a slow share.
        dispatch::asyncGlobal([generation] {
            auto& store = defaultStore();
            std::lock_guard lock(store.m_mutex);
            if (store.m_generation == generation)
                store.retry();
        });
    });
}

void UbiquitousKeyValueStore::retry()
{
    const QVariant token = CloudContainer::ubiquityIdentityToken();
    if (!filePathFor(token).isEmpty())
        writeWaiting(token);
    // What waits for an account that is away is tried again when it may be back.
    if (!m_waiting.isEmpty())
        retryLater();
}

bool UbiquitousKeyValueStore::synchronize()
{
    std::lock_guard lock(m_mutex);
    const QVariant token = CloudContainer::ubiquityIdentityToken();
    const QString path = filePathFor(token);
    if (path.isEmpty())
        return false;
    if (!writeWaiting(token))
        return false;
    const auto account = AccountFolder::open(token);
    QVariantMap values;
    if (!account || readValues(*account, path, &values) == KeyValueFile::Unreadable)
        return false;
    m_values = values;
    return true;
}

void UbiquitousKeyValueStore::setRetryInterval(int milliseconds)
{
    std::lock_guard lock(m_mutex);
    m_retryIntervalMs = milliseconds;
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
    // Kept by value: the change may wait for the file.
    change([key, value](QVariantMap& values) { values.insert(key, value); });
}

void UbiquitousKeyValueStore::removeObjectForKey(const QString& key)
{
    change([key](QVariantMap& values) { values.remove(key); });
}

void UbiquitousKeyValueStore::reset()
{
    std::lock_guard lock(m_mutex);
    m_values.clear();
    m_waiting.clear();
    m_retryScheduled = false;
    m_toldWaiting = false;
    m_retryIntervalMs = RetryIntervalMs;
    ++m_generation;
}

} // namespace platform::coredata
