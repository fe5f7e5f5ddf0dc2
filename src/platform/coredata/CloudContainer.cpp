#include "platform/coredata/CloudContainer.h"

#include "platform/coredata/AccountFolder.h"

#include "platform/Folders.h"
#include "platform/NotificationCenter.h"
#include "platform/Product.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/FolderWatch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>

#include <memory>
#include <mutex>

namespace platform::coredata::CloudContainer {

const QString FolderEnvironmentVariable = QStringLiteral("KIVOTAB_CLOUD");
const QString FolderDefaultsKey = QStringLiteral("CloudFolder");
const QString IdentityTokenFileName = QStringLiteral("IdentityToken");
const QString UbiquityIdentityDidChangeNotification
    = QStringLiteral("NSUbiquityIdentityDidChangeNotification");

namespace {

constexpr int DefaultPollIntervalMs = 2000;

std::mutex g_mutex;
int g_pollInterval = DefaultPollIntervalMs;
std::unique_ptr<FolderWatch> g_identityWatch;
// What the monitor saw last: whether the folder was there, and its token.
bool g_lastFolder = false;
QVariant g_lastToken;
WriteHook g_writeHook;

// This machine's record of evicted cloud items: path -> Unix time.
QString evictionsFile()
{
    return QDir(Folders::library()).filePath(QStringLiteral("Caches/UbiquityEvictions.json"));
}

QVariantMap readEvictions()
{
    QFile file(evictionsFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

bool isInside(const QString& path, const QString& folder)
{
    const QString item = QDir::cleanPath(path);
    const QString base = QDir::cleanPath(folder);
    return item == base || item.startsWith(base + '/');
}

} // namespace

QString rootPath()
{
    QString path = qEnvironmentVariable(FolderEnvironmentVariable.toLatin1().constData());
    if (path.isEmpty())
        path = UserDefaults::standard().stringForKey(FolderDefaultsKey);
    if (path.isEmpty())
        path = QDir(Folders::home()).filePath(QStringLiteral("cloud"));
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QVariant ubiquityIdentityToken()
{
    const QString root = rootPath();
    if (!QFileInfo(root).isDir())
        return {};
    QFile file(QDir(root).filePath(IdentityTokenFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString token = QString::fromLatin1(file.readAll()).trimmed();
    return token.isEmpty() ? QVariant() : QVariant(token);
}

QVariant signIn()
{
    const QString root = rootPath();
    if (!QFileInfo(root).isDir())
        return {};
    const QString path = QDir(root).filePath(IdentityTokenFileName);
    if (!QFileInfo::exists(path)) {
        // Written aside and renamed into place, which never replaces a token there: a
        // reader never sees half a token, and a second machine keeps the first one's.
        const QString aside = QDir(root).filePath(QStringLiteral(".%1.%2").arg(
            IdentityTokenFileName, QUuid::createUuid().toString(QUuid::WithoutBraces)));
        QFile file(aside);
        const QByteArray token
            = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            && file.write(token) == token.size() && file.flush();
        file.close();
        if (!written || !QFile::rename(aside, path))
            QFile::remove(aside);
    }
    return ubiquityIdentityToken();
}

QString defaultContainerIdentifier()
{
    return QString::fromLatin1(Product::identifier);
}

QUrl URLForUbiquityContainerIdentifier(const QString& identifier)
{
    if (!ubiquityIdentityToken().isValid())
        return {};
    const QString name = identifier.isEmpty() ? defaultContainerIdentifier() : identifier;
    return QUrl::fromLocalFile(QDir(rootPath()).filePath(name));
}

bool holdsToken(const QVariant& token)
{
    return token.isValid() && ubiquityIdentityToken() == token;
}

bool makeFolder(const QString& path, const QVariant& token)
{
    const QString root = rootPath();
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!isInside(target, root))
        return QDir().mkpath(target);
    // Made inside the account's folder held open, so a cloud folder that went away stays
    // away and one that took its place gets nothing.
    const auto folder = AccountFolder::open(token);
    return folder && folder->makeFolder(target);
}

bool makeFolder(const QString& path)
{
    return makeFolder(path, ubiquityIdentityToken());
}

bool writeFile(const QString& path, const QByteArray& bytes, const QVariant& token,
    QString* problem, const std::function<bool()>& stillWanted)
{
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const bool guarded = isInside(target, rootPath());
    std::unique_ptr<AccountFolder> folder;
    if (guarded) {
        folder = AccountFolder::open(token);
        if (!folder) {
            if (problem)
                *problem = QStringLiteral("The cloud folder is away or another account's.");
            return false;
        }
    }
    WriteHook hook;
    {
        std::lock_guard lock(g_mutex);
        hook = g_writeHook;
    }
    if (hook)
        hook(path);
    if (folder)
        return folder->writeFile(target, bytes, problem, stillWanted);
    if (stillWanted && !stillWanted())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (problem)
            *problem = file.errorString();
        return false;
    }
    return true;
}

bool removeFile(const QString& path, const QVariant& token)
{
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!isInside(target, rootPath()))
        return QFile::remove(target);
    const auto folder = AccountFolder::open(token);
    return folder && folder->removeFile(target);
}

bool isUbiquitousItemAtURL(const QUrl& url)
{
    return url.isLocalFile() && isInside(url.toLocalFile(), rootPath());
}

bool evictUbiquitousItemAtURL(const QUrl& url, Error* error)
{
    if (!isUbiquitousItemAtURL(url) || !QFileInfo::exists(url.toLocalFile())) {
        report(error,
            makeError(PersistentStoreOperationError,
                QStringLiteral("The item is not in the cloud."), url.toLocalFile()));
        return false;
    }
    std::lock_guard lock(g_mutex);
    QVariantMap evictions = readEvictions();
    evictions.insert(
        QDir::cleanPath(url.toLocalFile()), double(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
    QDir().mkpath(QFileInfo(evictionsFile()).absolutePath());
    QSaveFile file(evictionsFile());
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(QJsonObject::fromVariantMap(evictions)).toJson()) < 0
        || !file.commit()) {
        report(error,
            makeError(PersistentStoreOperationError,
                QStringLiteral("The eviction could not be recorded: %1").arg(file.errorString()),
                evictionsFile()));
        return false;
    }
    return true;
}

double lastEvictionOfPath(const QString& path)
{
    std::lock_guard lock(g_mutex);
    const QVariantMap evictions = readEvictions();
    double latest = 0;
    for (auto it = evictions.cbegin(); it != evictions.cend(); ++it) {
        if (isInside(path, it.key()))
            latest = std::max(latest, it.value().toDouble());
    }
    return latest;
}

int pollInterval()
{
    std::lock_guard lock(g_mutex);
    return g_pollInterval;
}

void setPollInterval(int milliseconds)
{
    std::lock_guard lock(g_mutex);
    g_pollInterval = milliseconds;
}

void startMonitoringIdentity()
{
    std::lock_guard lock(g_mutex);
    if (g_identityWatch)
        return;
    g_lastFolder = QFileInfo(rootPath()).isDir();
    g_lastToken = ubiquityIdentityToken();
    // The folder appearing or going is seen at the next poll. A folder that appears
    // without a token is announced too: it may be signed in to.
    g_identityWatch = std::make_unique<FolderWatch>(
        QStringList { rootPath() }, g_pollInterval, [] { lookAtIdentity(); });
}

void lookAtIdentity()
{
    const bool folder = QFileInfo(rootPath()).isDir();
    const QVariant token = ubiquityIdentityToken();
    {
        std::lock_guard lock(g_mutex);
        if (!g_identityWatch || (folder == g_lastFolder && token == g_lastToken))
            return;
        g_lastFolder = folder;
        g_lastToken = token;
    }
    NotificationCenter::defaultCenter().post(UbiquityIdentityDidChangeNotification);
}

void setWriteHook(WriteHook hook)
{
    std::lock_guard lock(g_mutex);
    g_writeHook = std::move(hook);
}

void reset()
{
    std::unique_ptr<FolderWatch> watch;
    {
        std::lock_guard lock(g_mutex);
        watch = std::move(g_identityWatch);
        g_lastFolder = false;
        g_lastToken = QVariant();
        g_pollInterval = DefaultPollIntervalMs;
        g_writeHook = nullptr;
    }
}

} // namespace platform::coredata::CloudContainer
