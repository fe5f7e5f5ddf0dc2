#include "model/CloudStoreManager.h"

#include "model/CSMCorruptedUUIDPresenter.h"
#include "model/CSMLifetime.h"
#include "model/CSMLocalStoreFilePresenter.h"
#include "model/CSMStoreUUIDPresenter.h"
#include "model/CloudStoreErrorDetection.h"
#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/FileVersion.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/UbiquitousContent.h"
#include "platform/coredata/UbiquitousKeyValueStore.h"
#include "platform/ui/Application.h"
#include "utilities/shell/DebugHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <future>

namespace cd = platform::coredata;
using platform::Error;
using platform::Notification;
using platform::NotificationCenter;

const QString CloudStoreManager::StoreWillChangeNotification
    = QStringLiteral("CSMStoreWillChangeNotification");
const QString CloudStoreManager::StoreDidChangeNotification
    = QStringLiteral("CSMStoreDidChangeNotification");
const QString CloudStoreManager::StoreDidImportChangesNotification
    = QStringLiteral("CSMStoreDidImportChangesNotification");
const QString CloudStoreManager::DidDetectCorruptionNotification
    = QStringLiteral("CloudManagedStoreDidDetectCorruptionNotification");
const QString CloudStoreManager::StoreURLsErrorKey = QStringLiteral("CSMStoreURLsErrorKey");
const QString CloudStoreManager::CloudEnabledKey = QStringLiteral("CSMCloudEnabledKey");
const QString CloudStoreManager::IdentityTokenKey = QStringLiteral("CSMIdentityTokenKey");
const QString CloudStoreManager::CloudVersionKey = QStringLiteral("CSMCloudVersionKey");
const QString CloudStoreManager::CloudCurrentKey = QStringLiteral("CSMCloudCurrentKey");
const QString CloudStoreManager::CloudUUIDKey = QStringLiteral("CSMCloudUUIDKey");
const QString CloudStoreManager::DefaultContentName = QStringLiteral("CloudStoreManager");
const QString CloudStoreManager::StoreExtension = QStringLiteral("sqlite");
const QString CloudStoreManager::CloudStoreDirectoryName = QStringLiteral("CloudStore");
const QString CloudStoreManager::NoSyncExtension = QStringLiteral("nosync");
const QString CloudStoreManager::CloudLogsDirectoryName = QStringLiteral("CloudLogs");
const QString CloudStoreManager::StoreUUIDMarkerName = QStringLiteral("StoreUUID");
const QString CloudStoreManager::CorruptedUUIDMarkerName = QStringLiteral("CorruptedUUID");
const QString CloudStoreManager::MigrationSourceName = QStringLiteral("MigrationSource.sqlite");
const QString CloudStoreManager::CopyMigrationStoreName = QStringLiteral("CopyMigrationStore");

namespace {

// Set by the platform's cloud layer when an initial import has completed (value 4).
const QString UbiquitousTransitionTypeKey
    = QStringLiteral("NSPersistentStoreUbiquitousTransitionTypeKey");
constexpr int TransitionTypeInitialImportCompleted = 4;
const QString UbiquitizedKey = QStringLiteral("com.apple.coredata.ubiquity.ubiquitized");
const QString UnsetText = QStringLiteral("(null)");
// A marker found empty or unreadable: its writer is not done with it.
const QString MarkerBeingWrittenText
    = QStringLiteral("The StoreUUID is being written; waiting for it.");
constexpr int MigrationFetchBatchSize = 500;

QString fileName(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).fileName();
}

// The last component without its extension.
QString baseName(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).completeBaseName();
}

QUrl child(const QUrl& folder, const QString& name)
{
    if (folder.isEmpty())
        return {};
    return QUrl::fromLocalFile(QDir(folder.toLocalFile()).filePath(name));
}

QString orUnset(const QString& text)
{
    return text.isEmpty() ? UnsetText : text;
}

// A store file with the log files SQLite keeps beside it.
void removeStoreFiles(const QString& path)
{
    for (const char* suffix : { "-wal", "-shm", "-journal", "" })
        QFile::remove(path + QLatin1String(suffix));
}

bool removeItem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    if (info.suffix() == CloudStoreManager::StoreExtension) {
        removeStoreFiles(path);
        return !QFileInfo::exists(path);
    }
    return QFile::remove(path);
}

QString describeError(const Error& error)
{
    QString text = QStringLiteral("Error Domain=%1 Code=%2 \"%3\"")
                       .arg(error.domain())
                       .arg(error.code())
                       .arg(error.localizedDescription());
    const QString reason = error.localizedFailureReason();
    if (!reason.isEmpty() && reason != error.localizedDescription())
        text += QStringLiteral(" (%1)").arg(reason);
    return text;
}

QString describe(const QVariant& value)
{
    if (!value.isValid())
        return UnsetText;
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<Error>())
        return describeError(value.value<Error>());
    if (type == QMetaType::fromType<platform::Exception>())
        return QString::fromUtf8(
            static_cast<const platform::Exception*>(value.constData())->what());
    if (type == QMetaType::fromType<std::shared_ptr<cd::PersistentStore>>()) {
        const auto store = value.value<std::shared_ptr<cd::PersistentStore>>();
        return store ? QStringLiteral("<store %1>").arg(store->URL().toLocalFile()) : UnsetText;
    }
    if (type == QMetaType::fromType<Notification>())
        return QStringLiteral("<notification %1>").arg(value.value<Notification>().name);
    if (type == QMetaType::fromType<QUrl>())
        return value.toUrl().toString();
    if (type == QMetaType::fromType<QVariantMap>()) {
        QStringList entries;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            entries << QStringLiteral("%1 = %2").arg(it.key(), describe(it.value()));
        return '{' + entries.join(QStringLiteral("; ")) + '}';
    }
    if (type == QMetaType::fromType<QVariantList>()) {
        QStringList entries;
        for (const QVariant& item : value.toList())
            entries << describe(item);
        return '(' + entries.join(QStringLiteral(", ")) + ')';
    }
    if (type == QMetaType::fromType<cd::ObjectID>()) {
        const auto id = value.value<cd::ObjectID>();
        return QStringLiteral("%1/%2").arg(id.entity ? id.entity->name() : UnsetText).arg(id.key);
    }
    return value.toString();
}

QVariant exceptionContext(const std::exception& exception)
{
    if (const auto* known = dynamic_cast<const platform::Exception*>(&exception))
        return QVariant::fromValue(*known);
    return QVariant::fromValue(
        platform::Exception(platform::Exception::Generic, QString::fromUtf8(exception.what())));
}

QString exceptionText(const std::exception& exception)
{
    return QString::fromUtf8(exception.what());
}

QString readText(const QString& path, QString* problem = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = file.errorString();
        return {};
    }
    return QString::fromLatin1(file.readAll());
}

} // namespace

// One job of the persistence queue; a pending finished-loading job can be called off.
struct CloudStoreManager::Operation {
    std::atomic<bool> cancelled { false };
};

// ---------------------------------------------------------------------------------------
// Creation and teardown

void CloudStoreManager::initialize()
{
    // Import failures show only in the errors the import makes: look at them from now on.
    CloudStoreErrorDetection::install();
}

std::shared_ptr<CloudStoreManager> CloudStoreManager::initStoreNamed(const QString& contentName,
    std::shared_ptr<const cd::ManagedObjectModel> model, const QUrl& localStoreURL,
    const QString& containerIdentifier, const QString& storeConfiguration,
    const QVariantMap& storeOptions, CloudStoreManagerDelegate* delegate)
{
    initialize();
    std::shared_ptr<CloudStoreManager> manager(new CloudStoreManager(contentName, std::move(model),
        localStoreURL, containerIdentifier, storeConfiguration, storeOptions, delegate));
    manager->observe();
    manager->reloadStore();
    return manager;
}

std::shared_ptr<CloudStoreManager> CloudStoreManager::initWithDelegate(
    CloudStoreManagerDelegate* delegate)
{
    return initStoreNamed({}, nullptr, {}, {}, {}, {}, delegate);
}

namespace {

std::shared_ptr<const cd::ManagedObjectModel> bundledModel()
{
    // The application's one model among its resources.
    const QDir resources(platform::Folders::resources());
    for (const QString& name : resources.entryList({ QStringLiteral("*.momd") }, QDir::Files)) {
        if (auto model = cd::ManagedObjectModel::fromFile(resources.filePath(name)))
            return model;
    }
    return nullptr;
}

} // namespace

CloudStoreManager::CloudStoreManager(const QString& contentName,
    std::shared_ptr<const cd::ManagedObjectModel> model, const QUrl& localStoreURL,
    const QString& containerIdentifier, const QString& storeConfiguration,
    const QVariantMap& storeOptions, CloudStoreManagerDelegate* delegate)
    : m_delegate(delegate)
    , m_localStoreURL(localStoreURL.isEmpty()
              ? child(QUrl::fromLocalFile(platform::Folders::applicationSupport()),
                  (contentName.isEmpty() ? DefaultContentName : contentName) + '.' + StoreExtension)
              : localStoreURL)
    , m_storeConfiguration(storeConfiguration)
    , m_contentName(contentName.isEmpty() ? DefaultContentName : contentName)
    , m_model(model ? std::move(model) : bundledModel())
    , m_containerIdentifier(containerIdentifier)
    , m_storeOptions(storeOptions)
    , m_queue(platform::dispatch::SerialQueue::create(
          QStringLiteral("%1PersistenceQueue").arg(QStringLiteral("CloudStoreManager"))))
    , m_lifetime(std::make_shared<CSMLifetime>(this))
{
    // The application signs in as it starts, if this machine has never had an account.
    m_currentIdentityToken = accountToken();
}

NotificationCenter::Observer CloudStoreManager::observer(
    void (CloudStoreManager::*method)(const Notification&))
{
    return [lifetime = m_lifetime, method](const Notification& notification) {
        lifetime->call([&](CloudStoreManager& self) { (self.*method)(notification); });
    };
}

void CloudStoreManager::observe()
{
    auto& center = NotificationCenter::defaultCenter();
    m_observers << center.addObserver(DidDetectCorruptionNotification, nullptr,
        observer(&CloudStoreManager::cloudStoreManagerDidDetectCorruption));
    m_observers << center.addObserver(platform::ui::Application::DidBecomeActiveNotification,
        nullptr, observer(&CloudStoreManager::applicationDidBecomeActive));
    m_observers << center.addObserver(platform::UserDefaults::DidChangeNotification, nullptr,
        observer(&CloudStoreManager::userDefaultsDidChange));
    m_observers << center.addObserver(cd::CloudContainer::UbiquityIdentityDidChangeNotification,
        nullptr, observer(&CloudStoreManager::cloudStoreChanged));
    cd::CloudContainer::startMonitoringIdentity();
}

CloudStoreManager::~CloudStoreManager()
{
    m_lifetime->end();
    auto& center = NotificationCenter::defaultCenter();
    for (auto token : std::as_const(m_observers))
        center.removeObserver(token);
    {
        std::lock_guard lock(m_mutex);
        for (auto token : std::as_const(m_coordinatorObservers))
            center.removeObserver(token);
        m_coordinatorObservers.clear();
        if (m_finishedLoadingOperation)
            m_finishedLoadingOperation->cancelled = true;
    }
    stopPresenters();
    // The stores are closed before the manager is gone (jobs queued before this one find
    // the manager going and do nothing).
    m_queue->sync([this] { runJob([this] { clearStore(); }, true); });
    stopPresenters();
    std::lock_guard lock(m_mutex);
    for (auto token : std::as_const(m_coordinatorObservers))
        center.removeObserver(token);
}

// ---------------------------------------------------------------------------------------
// State

QString CloudStoreManager::tentativeStoreUUID() const
{
    return locked(m_tentativeStoreUUID);
}

QVariant CloudStoreManager::currentIdentityToken() const
{
    return locked(m_currentIdentityToken);
}

QUrl CloudStoreManager::migrationStoreURL() const
{
    return locked(m_migrationStoreURL);
}

void CloudStoreManager::setMigrationStoreURL(const QUrl& url)
{
    std::lock_guard lock(m_mutex);
    m_migrationStoreURL = url;
}

QString CloudStoreManager::localCloudStoreCorruptedUUID() const
{
    return locked(m_localCloudStoreCorruptedUUID);
}

QString CloudStoreManager::activeCloudStoreUUID() const
{
    return locked(m_activeCloudStoreUUID);
}

void CloudStoreManager::setActiveCloudStoreUUID(const QString& uuid)
{
    std::lock_guard lock(m_mutex);
    m_activeCloudStoreUUID = uuid;
    if (!uuid.isEmpty())
        m_lastCloudStoreUUID = uuid;
}

std::shared_ptr<CSMLocalStoreFilePresenter> CloudStoreManager::storeFilePresenter() const
{
    return locked(m_storeFilePresenter);
}

std::shared_ptr<CSMStoreUUIDPresenter> CloudStoreManager::storeUUIDPresenter() const
{
    return locked(m_storeUUIDPresenter);
}

std::shared_ptr<CSMCorruptedUUIDPresenter> CloudStoreManager::corruptedUUIDPresenter() const
{
    return locked(m_corruptedUUIDPresenter);
}

void CloudStoreManager::stopPresenters()
{
    std::shared_ptr<CSMFilePresenter> presenters[3];
    {
        std::lock_guard lock(m_mutex);
        presenters[0] = m_storeUUIDPresenter;
        presenters[1] = m_corruptedUUIDPresenter;
        presenters[2] = m_storeFilePresenter;
    }
    for (const auto& presenter : presenters) {
        if (presenter)
            presenter->stop();
    }
}

bool CloudStoreManager::cloudAvailable() const
{
    return currentIdentityToken().isValid();
}

bool CloudStoreManager::cloudEnabled() const
{
    return platform::UserDefaults::standard().boolForKey(CloudEnabledKey);
}

// ---------------------------------------------------------------------------------------
// Locations

QUrl CloudStoreManager::URLForApplicationContainer() const
{
    return QUrl::fromLocalFile(platform::Folders::applicationSupport());
}

QUrl CloudStoreManager::URLForCloudContainer() const
{
    return cd::CloudContainer::URLForUbiquityContainerIdentifier(m_containerIdentifier);
}

QUrl CloudStoreManager::URLForCloudStoreDirectoryForCloudVersion(qint32 version) const
{
    if (version == 0)
        return child(URLForCloudContainer(), CloudStoreDirectoryName + '.' + NoSyncExtension);
    return child(URLForApplicationContainer(), CloudStoreDirectoryName);
}

QUrl CloudStoreManager::URLForCloudStoreDirectory() const
{
    return URLForCloudStoreDirectoryForCloudVersion(desiredCloudVersion());
}

QUrl CloudStoreManager::URLForCloudStoreWithUUID(const QString& uuid) const
{
    return child(URLForCloudStoreDirectory(), uuid + '.' + StoreExtension);
}

QUrl CloudStoreManager::URLForCloudStore()
{
    return URLForCloudStoreWithUUID(storeUUID());
}

QUrl CloudStoreManager::URLForCloudContentDirectory() const
{
    return child(URLForCloudContainer(), CloudLogsDirectoryName);
}

QString CloudStoreManager::URLForCloudContentForStoreURL(const QUrl& storeURL)
{
    const QString name = storeURL.isEmpty() ? storeUUID() : baseName(storeURL);
    return CloudLogsDirectoryName + '/' + name;
}

QString CloudStoreManager::URLForCloudContent()
{
    return URLForCloudContentForStoreURL({});
}

QString CloudStoreManager::URLForCloudContent_ThreadSafe() const
{
    const QString uuid = storeUUID_ThreadSafe();
    return uuid.isEmpty() ? QString() : CloudLogsDirectoryName + '/' + uuid;
}

QUrl CloudStoreManager::URLForCloudStoreUUID() const
{
    return URLForCloudStoreUUIDForVersion(cloudVersionForStoreURL({}));
}

QUrl CloudStoreManager::URLForCloudStoreUUIDForVersion(qint32 version) const
{
    return child(URLForCloudContentDirectory(), versionedIdentifier(StoreUUIDMarkerName, version));
}

QUrl CloudStoreManager::URLForCloudCorruptedUUID() const
{
    return URLForCloudCorruptedUUIDForVersion(cloudVersionForStoreURL({}));
}

QUrl CloudStoreManager::URLForCloudCorruptedUUIDForVersion(qint32 version) const
{
    return child(
        URLForCloudContentDirectory(), versionedIdentifier(CorruptedUUIDMarkerName, version));
}

QUrl CloudStoreManager::URLForLocalStoreDirectory() const
{
    return QUrl::fromLocalFile(QFileInfo(m_localStoreURL.toLocalFile()).absolutePath());
}

QUrl CloudStoreManager::URLForLocalStore() const
{
    return m_localStoreURL;
}

qint32 CloudStoreManager::cloudVersionForStoreURL(const QUrl& storeURL) const
{
    const QString name = storeURL.isEmpty() ? QString() : baseName(storeURL);
    for (qint32 version = desiredCloudVersion(); version >= 0; --version) {
        const QUrl marker = URLForCloudStoreUUIDForVersion(version);
        if (marker.isEmpty() || !QFileInfo::exists(marker.toLocalFile()))
            continue;
        if (name.isNull())
            return version;
        QFile file(marker.toLocalFile());
        if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()) == name)
            return version;
    }
    return desiredCloudVersion();
}

QString CloudStoreManager::cloudVersionedIdentifier(
    const QString& identifier, const QUrl& storeURL) const
{
    return versionedIdentifier(identifier, cloudVersionForStoreURL(storeURL));
}

QString CloudStoreManager::versionedIdentifier(const QString& identifier, qint32 version)
{
    return version < 1 ? identifier : identifier + QString(version, '+');
}

QString CloudStoreManager::cloudContentNameForStoreURL(const QUrl& storeURL)
{
    return cloudContentNameForStoreURL(storeURL, cloudVersionForStoreURL(storeURL));
}

QString CloudStoreManager::cloudContentNameForStoreURL(const QUrl& storeURL, qint32 version)
{
    if (version == 0)
        return m_contentName;
    return storeURL.isEmpty() ? storeUUID() : baseName(storeURL);
}

std::optional<QMap<QUrl, QList<QVariantMap>>> CloudStoreManager::enumerateCloudStores()
{
    const QUrl content = URLForCloudContentDirectory();
    if (content.isEmpty())
        return std::nullopt;
    const QDir folder(content.toLocalFile());
    if (!folder.exists()) {
        error(cd::makeError(cd::PersistentStoreOperationError,
                  QStringLiteral("The cloud content folder cannot be listed."), folder.path()),
            CloudStoreErrorCauseEnumerateStores, folder.path());
        return std::nullopt;
    }
    QMap<QUrl, QList<QVariantMap>> stores;
    const QString current = storeUUID_ThreadSafe();
    for (const QString& uuid : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QUrl storeURL = URLForCloudStoreWithUUID(uuid);
        QList<QVariantMap> found;
        const QDir store(folder.filePath(uuid));
        for (const QString& peer : store.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir peerFolder(store.filePath(peer));
            for (const QString& name :
                peerFolder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                QVariantMap options = optionsForCloudStoreURL(storeURL);
                for (qint32 version = desiredCloudVersion(); version >= 0; --version) {
                    if (name != cloudContentNameForStoreURL(storeURL, version))
                        continue;
                    options.insert(cd::PersistentStoreUbiquitousContentNameKey, name);
                    options.insert(CloudVersionKey, version);
                    options.insert(CloudCurrentKey,
                        current == uuid && cloudVersionForStoreURL(storeURL) == version);
                    options.insert(CloudUUIDKey, uuid);
                    found.append(options);
                    break;
                }
            }
        }
        stores.insert(storeURL, found);
    }
    return stores;
}

void CloudStoreManager::switchToCloudStoreWithOptions(const QVariantMap& cloudStoreOptions)
{
    const QString uuid = cloudStoreOptions.value(CloudUUIDKey).toString();
    // A description without an identity names no store to switch to.
    if (uuid.isEmpty()) {
        logError(QStringLiteral("Cannot switch cloud store: The description names no store."),
            CloudStoreErrorCauseConfirmActiveStore, cloudStoreOptions);
        return;
    }
    setStoreUUID(uuid, cloudStoreOptions.value(CloudVersionKey).toInt());
    if (cloudEnabled())
        reloadStore();
}

// ---------------------------------------------------------------------------------------
// Reporting

void CloudStoreManager::log(const QString& message)
{
    CloudStoreManagerDelegate* delegate = m_delegate;
    if (delegate && delegate->respondsToLog())
        delegate->cloudStoreManagerLog(*this, message);
    else
        DebugHelper::writeToLog(QStringLiteral("CloudStoreManager: %1").arg(message));
}

void CloudStoreManager::error(const Error& error, qint32 cause, const QVariant& context)
{
    CloudStoreManagerDelegate* delegate = m_delegate;
    if (delegate && delegate->respondsToDidEncounterError()) {
        delegate->cloudStoreManagerDidEncounterError(*this, error, cause, context);
        return;
    }
    log(QStringLiteral("Error (cause:%1): %2").arg(CSMNameOfCause(cause), describeError(error)));
    if (context.isValid())
        log(QStringLiteral("    - Context   : %1").arg(describe(context)));
    const QVariant underlying = error.userInfo().value(Error::UnderlyingErrorKey);
    if (underlying.isValid())
        log(QStringLiteral("    - Underlying: %1").arg(describe(underlying)));
    for (const QVariant& detail :
        error.userInfo().value(QStringLiteral("NSDetailedErrors")).toList())
        log(QStringLiteral("    - Detail    : %1").arg(describe(detail)));
}

void CloudStoreManager::logError(const QString& message, qint32 cause, const QVariant& context)
{
    error(Error(cd::ErrorDomain, 0, { { Error::LocalizedFailureReasonKey, message } }), cause,
        context);
}

// ---------------------------------------------------------------------------------------
// Queue and coordinator

void CloudStoreManager::enqueue(Block block)
{
    enqueue(std::move(block), false, true);
}

void CloudStoreManager::enqueue(Block block, bool waitUntilFinished)
{
    enqueue(std::move(block), waitUntilFinished, true);
}

void CloudStoreManager::enqueue(Block block, bool waitUntilFinished, bool lock)
{
    auto job = [lifetime = m_lifetime, block = std::move(block), lock] {
        lifetime->call([&](CloudStoreManager& self) { self.runJob(block, lock); });
    };
    if (waitUntilFinished)
        m_queue->sync(job);
    else
        m_queue->async(std::move(job));
}

void CloudStoreManager::runJob(const Block& block, bool lock)
{
    if (lock)
        persistentStoreCoordinator()->lock();
    try {
        block();
    } catch (const std::exception& exception) {
        logError(exceptionText(exception), CloudStoreErrorCauseOpenActiveStore,
            exceptionContext(exception));
    }
    // The block may have replaced the coordinator, which then came back locked.
    if (lock)
        persistentStoreCoordinator()->unlock();
}

bool CloudStoreManager::ensureQueued(Block block)
{
    if (m_queue->isCurrent())
        return true;
    enqueue(std::move(block));
    return false;
}

void CloudStoreManager::enqueueWhenMarkerSettled(Block block)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_lookingForDeletion) {
            m_afterLooks << std::move(block);
            return;
        }
    }
    enqueue(std::move(block));
}

void CloudStoreManager::assertQueued() const
{
    Q_ASSERT(m_queue->isCurrent());
}

std::shared_ptr<CloudStoreManager::Coordinator> CloudStoreManager::persistentStoreCoordinator()
{
    std::lock_guard lock(m_mutex);
    if (m_coordinator)
        return m_coordinator;
    m_coordinator = std::make_shared<Coordinator>(m_model);
    auto& center = NotificationCenter::defaultCenter();
    const void* sender = m_coordinator.get();
    m_coordinatorObservers << center.addObserver(cd::DidImportUbiquitousContentChangesNotification,
        sender, observer(&CloudStoreManager::didImportChanges));
    m_coordinatorObservers << center.addObserver(
        cd::StoresWillChangeNotification, sender, observer(&CloudStoreManager::storesWillChange));
    m_coordinatorObservers << center.addObserver(
        cd::StoresDidChangeNotification, sender, observer(&CloudStoreManager::storesDidChange));
    return m_coordinator;
}

std::shared_ptr<CloudStoreManager::Coordinator> CloudStoreManager::resetPersistentStoreCoordinator()
{
    std::shared_ptr<Coordinator> old;
    {
        std::lock_guard lock(m_mutex);
        old = std::move(m_coordinator);
        for (auto token : std::as_const(m_coordinatorObservers))
            NotificationCenter::defaultCenter().removeObserver(token);
        m_coordinatorObservers.clear();
    }
    if (old)
        old->unlock();
    old.reset();
    auto coordinator = persistentStoreCoordinator();
    coordinator->lock();
    return coordinator;
}

// ---------------------------------------------------------------------------------------
// Loading

QVariantMap CloudStoreManager::optionsForLocalStore() const
{
    QVariantMap options { { cd::MigratePersistentStoresAutomaticallyOption, true },
        { cd::InferMappingModelAutomaticallyOption, true } };
    options.insert(m_storeOptions);
    return options;
}

QVariantMap CloudStoreManager::optionsForCloudStoreURL(const QUrl& storeURL)
{
    QVariantMap options {
        { cd::PersistentStoreUbiquitousContentNameKey, cloudContentNameForStoreURL(storeURL) },
        { cd::PersistentStoreUbiquitousContentURLKey, URLForCloudContentForStoreURL(storeURL) },
        { cd::MigratePersistentStoresAutomaticallyOption, true },
        { cd::InferMappingModelAutomaticallyOption, true },
    };
    if (!m_containerIdentifier.isEmpty())
        options.insert(cd::PersistentStoreUbiquitousContainerIdentifierKey, m_containerIdentifier);
    options.insert(m_storeOptions);
    return options;
}

std::optional<QVariantMap> CloudStoreManager::optionsForMigrationStoreURL(const QUrl& url)
{
    if (url.isEmpty())
        return std::nullopt;
    if (fileName(url) == MigrationSourceName) {
        QVariantMap options { { cd::MigratePersistentStoresAutomaticallyOption, true },
            { cd::InferMappingModelAutomaticallyOption, true },
            { cd::PersistentStoreRemoveUbiquitousMetadataOption, true } };
        options.insert(m_storeOptions);
        return options;
    }
    // A store inside a cloud store folder is a cloud store; a name that merely contains
    // the word is not.
    const QStringList components
        = QDir::cleanPath(url.toLocalFile()).split('/', Qt::SkipEmptyParts);
    if (components.contains(CloudStoreDirectoryName)
        || components.contains(CloudStoreDirectoryName + '.' + NoSyncExtension))
        return optionsForCloudStoreURL(url);
    if (!QFileInfo::exists(url.toLocalFile()))
        return std::nullopt;
    QVariantMap options = optionsForLocalStore();
    options.insert(cd::ReadOnlyPersistentStoreOption, true);
    return options;
}

void CloudStoreManager::reloadStore()
{
    if (!m_queue->isCurrent()) {
        enqueue([this] { reloadStore(); });
        return;
    }
    log(QStringLiteral("%1 store...")
            .arg(persistentStoreCoordinator()->persistentStores().isEmpty()
                    ? QStringLiteral("Loading")
                    : QStringLiteral("Reloading")));
    if (cloudEnabled()) {
        if (cloudAvailable()) {
            if (!tryLoadCloudStore()) {
                log(QStringLiteral("Failed to load cloud store. Marking cloud store as corrupt. "
                                   "Store will be unavailable."));
                markCloudStoreCorrupted();
            }
            return;
        }
        log(QStringLiteral("Cannot load cloud store: User is not logged into iCloud.  Falling "
                           "back to local store."));
        if (m_enabledStore == EnabledStoreLocal)
            return;
        CloudStoreManagerDelegate* delegate = m_delegate;
        if (delegate && delegate->cloudStoreManagerHandleCloudDisabled(*this))
            return;
        // An account that went away while the application ran (a sign-out, an unmounted
        // share) may come back: the cloud stays chosen, and its store loads then.
        tryLoadLocalStoreKeepingCloudChoice(locked(m_accountSeen));
        return;
    }
    tryLoadLocalStore();
}

void CloudStoreManager::clearStore()
{
    log(QStringLiteral("Clearing stores..."));
    stopPresenters();
    auto coordinator = persistentStoreCoordinator();
    // The job that runs this holds the lock; the application may use its context while it
    // hears of the change.
    coordinator->unlock();
    fireBeginLoadingLogReason(QStringLiteral("Will clear stores"));
    setActiveCloudStoreUUID({});
    for (const auto& store : coordinator->persistentStores()) {
        Error failure;
        if (!coordinator->removePersistentStore(store, &failure))
            error(failure, CloudStoreErrorCauseClearStore, QVariant::fromValue(store));
    }
    coordinator->lock();
    if (!coordinator->persistentStores().isEmpty())
        resetPersistentStoreCoordinator();

    // Being destroyed, the manager watches nothing more.
    if (m_lifetime->ended())
        return;
    auto storeUUID = CSMStoreUUIDPresenter::initWithUSM(*this);
    auto corruptedUUID = CSMCorruptedUUIDPresenter::initWithUSM(*this);
    auto localStore = CSMLocalStoreFilePresenter::initWithUSM(*this);
    {
        std::lock_guard lock(m_mutex);
        m_storeUUIDPresenter = storeUUID;
        m_corruptedUUIDPresenter = corruptedUUID;
        m_storeFilePresenter = localStore;
    }
    if (cloudEnabled()) {
        storeUUID->start();
        corruptedUUID->start();
        // What the marker holds as its presenter starts watching: a marker that goes after
        // this is deleted under the presenter's eyes.
        const QVariant token = loadedAccountToken();
        const MarkerRead seen = readMarkerContent(token);
        std::lock_guard lock(m_mutex);
        if (seen.state == MarkerRead::Present) {
            m_seenStoreUUID = seen.uuid;
            m_seenToken = token;
        }
    } else {
        localStore->start();
    }
}

bool CloudStoreManager::tryLoadCloudStore()
{
    log(QStringLiteral("Will load cloud store."));
    if (!cloudAvailable()) {
        log(QStringLiteral("Could not load cloud store: User is not logged into iCloud."));
        return false;
    }
    // The account the store is loaded from: the store is opened only in its folder.
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    {
        std::lock_guard lock(m_mutex);
        m_cloudStoreToken = token;
    }
    switch (identityForLoad(token)) {
    case IdentityForLoad::Settled:
        break;
    case IdentityForLoad::AwaitMarker:
        // Another machine is writing it: what it names loads once it is written, and
        // nothing is made over it meanwhile.
        log(MarkerBeingWrittenText);
        if (m_enabledStore == EnabledStoreLocal
            && !persistentStoreCoordinator()->persistentStores().isEmpty())
            return true;
        return tryLoadLocalStoreKeepingCloudChoice(true);
    case IdentityForLoad::LookIntoAbsence:
        // Looked into before a new identity is made: no store meanwhile.
        setEnabledStore(EnabledStoreCloud);
        clearStore();
        checkCloudDeletion();
        return true;
    case IdentityForLoad::OutOfReach:
        log(QStringLiteral("The cloud folder changed hands as the cloud store was loading."));
        accommodateSignOut();
        return true;
    }
    setEnabledStore(EnabledStoreCloud);
    clearStore();
    setActiveCloudStoreUUID({});
    qint32 cause = CloudStoreErrorCauseNoError;
    QVariant context;
    try {
        const QUrl storeURL = URLForCloudStore();
        log(QStringLiteral("Loading cloud store: %1, v%2 (%3).")
                .arg(storeUUIDForLog())
                .arg(cloudVersionForStoreURL(storeURL))
                .arg(tentativeStoreUUID().isEmpty() ? QStringLiteral("definite")
                                                    : QStringLiteral("tentative")));
        qint32 strategy = m_migrationStrategy;
        log(QStringLiteral("[DEBUG] migrationStoreURL: %1")
                .arg(orUnset(migrationStoreURL().toLocalFile())));
        QUrl seedURL = migrationStoreURL().isEmpty() ? m_localStoreURL : migrationStoreURL();
        const auto seedOptions = optionsForMigrationStoreURL(seedURL);
        log(QStringLiteral("[DEBUG] migrationStoreOptions: %1")
                .arg(seedOptions ? describe(*seedOptions) : UnsetText));
        const bool safe = cloudSafeForSeeding();
        log(QStringLiteral("[DEBUG] cloudSafeForSeeding: %1").arg(int(safe)));
        CloudStoreManagerDelegate* delegate = m_delegate;
        if (strategy != CloudStoreMigrationStrategyNone && seedOptions && safe
            && (!delegate
                || delegate->cloudStoreManagerShouldMigrateFromStoreURL(
                    *this, seedURL, storeURL, true))) {
            log(QStringLiteral("Will migrate to cloud store from: %1 (strategy: %2).")
                    .arg(fileName(seedURL))
                    .arg(strategy));
        } else {
            log(QStringLiteral("[DEBUG] Will NOT migrate to cloud store from: %1 (strategy: %2).")
                    .arg(fileName(seedURL))
                    .arg(strategy));
            strategy = CloudStoreMigrationStrategyNone;
            seedURL = QUrl();
        }
        QVariantMap options = optionsForCloudStoreURL(storeURL);
        options.insert(cd::PersistentStoreUbiquitousIdentityTokenOption, token);
        if (m_attemptCloudRecovery)
            options.insert(cd::PersistentStoreRebuildFromUbiquitousContentOption, true);
        loadStoreAtURL(storeURL, options, seedURL, seedOptions, strategy, &cause, &context);
    } catch (const std::exception& exception) {
        cause = CloudStoreErrorCauseOpenActiveStore;
        context = exceptionContext(exception);
        logError(exceptionText(exception), cause, context);
    }
    if (cause != CloudStoreErrorCauseNoError) {
        logError(QStringLiteral("Failed to load cloud store."), cause, context);
        unsetTentativeStoreUUID();
        clearStore();
        if (!cd::CloudContainer::holdsToken(token) || !cloudAvailable()) {
            // The account's folder went as its store was loading: nothing here is damaged,
            // and the store loads as it is once the folder is back. Neither rebuilt nor
            // marked corrupt: nothing is rebuilt without the folder in the place.
            m_attemptCloudRecovery = false;
            log(QStringLiteral("The cloud folder changed hands as the cloud store was loading."));
            accommodateSignOut();
            // Back before the change was told: loaded again.
            if (persistentStoreCoordinator()->persistentStores().isEmpty())
                enqueue([this] { reloadStore(); });
            return true;
        }
        if (!m_attemptCloudRecovery) {
            log(QStringLiteral("Attempting recovery by rebuilding from cloud content."));
            m_attemptCloudRecovery = true;
            return tryLoadCloudStore();
        }
        m_attemptCloudRecovery = false;
        setEnabledStore(EnabledStoreNone);
        std::lock_guard lock(m_mutex);
        m_absenceConfirmedToken = QVariant();
    } else {
        confirmTentativeStoreUUID();
        setActiveCloudStoreUUID(storeUUID());
        {
            std::lock_guard lock(m_mutex);
            m_absenceConfirmedToken = QVariant();
        }
        m_attemptCloudRecovery = false;
        setMigrationStoreURL({});
        updateStoreUUIDAsynchronously(true);
        log(QStringLiteral("Successfully loaded cloud store."));
    }
    fireFinishedLoadingLogReason(QStringLiteral("Finished loading cloud store"), cause, context);
    return cause == CloudStoreErrorCauseNoError;
}

bool CloudStoreManager::tryLoadLocalStore()
{
    return tryLoadLocalStoreKeepingCloudChoice(false);
}

bool CloudStoreManager::tryLoadLocalStoreKeepingCloudChoice(bool keepCloudChoice)
{
    log(QStringLiteral("Will load local store."));
    if (keepCloudChoice)
        m_enabledStore = EnabledStoreLocal;
    else
        setEnabledStore(EnabledStoreLocal);
    {
        std::lock_guard lock(m_mutex);
        m_cloudStoreToken = QVariant();
        // With the cloud off, what this run saw of the marker is behind it: once the cloud
        // is back on, a marker missing then leaves room for a new identity.
        if (!keepCloudChoice) {
            m_seenStoreUUID.clear();
            m_seenToken = QVariant();
        }
    }
    clearStore();
    qint32 cause = CloudStoreErrorCauseNoError;
    QVariant context;
    try {
        const QUrl storeURL = URLForLocalStore();
        const QUrl seedURL = migrationStoreURL();
        qint32 strategy = m_migrationStrategy;
        const auto seedOptions = optionsForMigrationStoreURL(seedURL);
        qint32 use = CloudStoreMigrationStrategyNone;
        if (strategy != CloudStoreMigrationStrategyNone && seedOptions) {
            CloudStoreManagerDelegate* delegate = m_delegate;
            const bool vetoed = delegate
                && !delegate->cloudStoreManagerShouldMigrateFromStoreURL(
                    *this, seedURL, storeURL, false);
            if (!vetoed && !QFileInfo::exists(storeURL.toLocalFile())) {
                log(QStringLiteral("Will migrate to local store from: %1 (strategy: %2).")
                        .arg(fileName(seedURL))
                        .arg(strategy));
                use = strategy;
            }
        }
        loadStoreAtURL(
            storeURL, optionsForLocalStore(), seedURL, seedOptions, use, &cause, &context);
    } catch (const std::exception& exception) {
        cause = CloudStoreErrorCauseOpenActiveStore;
        context = exceptionContext(exception);
        logError(exceptionText(exception), cause, context);
    }
    if (cause != CloudStoreErrorCauseNoError) {
        logError(QStringLiteral("Failed to load local store."), cause, context);
        clearStore();
        setEnabledStore(EnabledStoreNone);
    } else {
        setMigrationStoreURL({});
        log(QStringLiteral("Successfully loaded local store."));
    }
    fireFinishedLoadingLogReason(QStringLiteral("Finished loading local store"), cause, context);
    return cause == CloudStoreErrorCauseNoError;
}

void CloudStoreManager::fireBeginLoadingLogReason(const QString& reason)
{
    if (!m_queue->isCurrent()) {
        enqueue([this, reason] { fireBeginLoadingLogReason(reason); }, true, false);
        return;
    }
    log(QStringLiteral("%1.  Notifying application to reset its UI.").arg(reason));
    if (CloudStoreManagerDelegate* delegate = m_delegate)
        delegate->cloudStoreManagerWillLoadStoreIsCloud(*this, cloudEnabled());
    NotificationCenter::defaultCenter().post(StoreWillChangeNotification, this);
    std::lock_guard lock(m_mutex);
    if (m_finishedLoadingOperation)
        m_finishedLoadingOperation->cancelled = true;
}

void CloudStoreManager::fireFinishedLoadingLogReason(
    const QString& reason, qint32 cause, const QVariant& context)
{
    auto operation = std::make_shared<Operation>();
    {
        std::lock_guard lock(m_mutex);
        if (m_finishedLoadingOperation)
            m_finishedLoadingOperation->cancelled = true;
        m_finishedLoadingOperation = operation;
    }
    m_queue->async([lifetime = m_lifetime, operation, reason, cause, context] {
        lifetime->call([&](CloudStoreManager& manager) {
            if (!operation->cancelled)
                manager.notifyFinishedLoading(reason, cause, context);
        });
    });
}

void CloudStoreManager::notifyFinishedLoading(
    const QString& reason, qint32 cause, const QVariant& context)
{
    log(QStringLiteral("%1 (%2).  Notifying application to refresh its UI.")
            .arg(reason, CSMNameOfCause(cause)));
    CloudStoreManagerDelegate* delegate = m_delegate;
    if (cause != CloudStoreErrorCauseNoError) {
        if (delegate)
            delegate->cloudStoreManagerFailedLoadingStoreWithCause(
                *this, cause, context, cloudEnabled());
        return;
    }
    auto coordinator = persistentStoreCoordinator();
    if (delegate)
        delegate->cloudStoreManagerDidLoadStoreForCoordinator(*this, coordinator, cloudEnabled());
    NotificationCenter::defaultCenter().post(StoreDidChangeNotification, this);
    if (!cloudEnabled())
        return;
    bool check = false;
    if (context.metaType() == QMetaType::fromType<Notification>()) {
        check = context.value<Notification>().userInfo.value(UbiquitousTransitionTypeKey).toInt()
            == TransitionTypeInitialImportCompleted;
    }
    if (!check) {
        const auto stores = coordinator->persistentStores();
        check = !stores.isEmpty()
            && coordinator->metadataForPersistentStore(stores.last())
                   .value(UbiquitizedKey)
                   .toBool();
    }
    if (check)
        scheduleHealthCheck();
}

void CloudStoreManager::scheduleHealthCheck()
{
    platform::dispatch::afterMain(m_healthCheckDelayMs, [lifetime = m_lifetime] {
        platform::dispatch::asyncGlobal(
            [lifetime] {
                lifetime->call([](CloudStoreManager& self) {
                    self.enqueue([raw = &self] { raw->checkHealth(); });
                });
            },
            platform::dispatch::Priority::Background);
    });
}

void CloudStoreManager::checkHealth()
{
    if (cloudVersionForStoreURL({}) != desiredCloudVersion()) {
        log(QStringLiteral(
            "Cloud store is healthy but version is below desired.  Will rebuild to upgrade."));
        rebuildCloudContentFromCloudStoreOrLocalStore(false);
        return;
    }
    if (activeCloudStoreUUID().isEmpty())
        return;
    if (localCloudStoreCorruptedUUID() == storeUUID())
        return;
    handleCloudContentCorruption();
}

// ---------------------------------------------------------------------------------------
// Migration

void CloudStoreManager::loadStoreAtURL(const QUrl& storeURL, const QVariantMap& options,
    const QUrl& seedURL, const std::optional<QVariantMap>& seedOptions, qint32 strategy,
    qint32* cause, QVariant* context)
{
    qint32 localCause = CloudStoreErrorCauseNoError;
    QVariant localContext;
    if (!cause)
        cause = &localCause;
    if (!context)
        context = &localContext;
    try {
        Error failure;
        const bool seeded = migrateStore(
            seedURL, seedOptions, storeURL, options, strategy, &failure, cause, context);
        auto coordinator = persistentStoreCoordinator();
        const auto stores = coordinator->persistentStores();
        // The platform's migration leaves the store it made in the coordinator.
        const bool loaded
            = stores.size() == 1 && fileName(stores.first()->URL()) == fileName(storeURL);
        if (seeded && !loaded) {
            log(QStringLiteral("Loading store: %1").arg(fileName(storeURL)));
            if (!coordinator->addPersistentStore(
                    cd::SQLiteStoreType, m_storeConfiguration, storeURL, options, &failure)) {
                *cause = CloudStoreErrorCauseOpenActiveStore;
                *context = storeURL.toLocalFile();
                error(failure, *cause, *context);
            }
        }
    } catch (const std::exception& exception) {
        *cause = CloudStoreErrorCauseOpenActiveStore;
        *context = exceptionContext(exception);
        logError(exceptionText(exception), *cause, *context);
    }
    // Whatever the seeding answered, a load that leaves no store is no success.
    if (*cause == CloudStoreErrorCauseNoError
        && !persistentStoreCoordinator()->persistentStoreForURL(storeURL)) {
        *cause = CloudStoreErrorCauseOpenActiveStore;
        *context = storeURL.toLocalFile();
        logError(QStringLiteral("The store was not loaded."), *cause, *context);
    }
}

bool CloudStoreManager::migrateStore(const QUrl& seedURLIn, std::optional<QVariantMap> seedOptions,
    const QUrl& targetURL, QVariantMap targetOptions, qint32 strategy, Error* errorOut,
    qint32* cause, QVariant* context)
{
    Error localError;
    qint32 localCause = 0;
    QVariant localContext;
    if (!errorOut)
        errorOut = &localError;
    if (!cause)
        cause = &localCause;
    if (!context)
        context = &localContext;
    QUrl seedURL = seedURLIn;
    if (!seedOptions)
        seedOptions = optionsForMigrationStoreURL(seedURL);
    if (strategy == 0)
        strategy = m_migrationStrategy;
    *cause = CloudStoreErrorCauseNoError;
    auto fail = [&](const Error& failure, qint32 why, const QVariant& where) {
        *errorOut = failure;
        *cause = why;
        *context = where;
        error(failure, why, where);
        return false;
    };

    bool result = false;
    QUrl copyURL;
    try {
        do {
            // A store opened for reading is seeded from a copy, which may be migrated.
            if (seedOptions && seedOptions->value(cd::ReadOnlyPersistentStoreOption).toBool()
                && QFileInfo::exists(seedURL.toLocalFile())) {
                copyURL
                    = child(QUrl::fromLocalFile(QFileInfo(seedURL.toLocalFile()).absolutePath()),
                        CopyMigrationStoreName + '.' + StoreExtension);
                removeStoreFiles(copyURL.toLocalFile());
                // With the log its last saves may still be in (left by a process that ended
                // before it closed the store).
                QFile source(seedURL.toLocalFile());
                QFile log(seedURL.toLocalFile() + QStringLiteral("-wal"));
                const bool copied = source.copy(copyURL.toLocalFile())
                    && (!log.exists() || log.copy(copyURL.toLocalFile() + QStringLiteral("-wal")));
                if (!copied) {
                    const QString problem = source.error() != QFile::NoError ? source.errorString()
                                                                             : log.errorString();
                    result = fail(
                        cd::makeError(cd::PersistentStoreOperationError,
                            QStringLiteral("The seed store could not be copied: %1").arg(problem),
                            seedURL.toLocalFile()),
                        CloudStoreErrorCauseOpenSeedStore, seedURL.toLocalFile());
                    break;
                }
                seedOptions->insert(cd::ReadOnlyPersistentStoreOption, false);
                seedOptions->insert(cd::MigratePersistentStoresAutomaticallyOption, true);
                seedOptions->insert(cd::InferMappingModelAutomaticallyOption, true);
                seedURL = copyURL;
            }
            if (!targetOptions.contains(cd::PersistentStoreUbiquitousContentNameKey))
                targetOptions.insert(cd::PersistentStoreRemoveUbiquitousMetadataOption, true);

            bool made = true;
            for (const QUrl& url : { seedURL, targetURL }) {
                if (url.isEmpty())
                    continue;
                const QString folder = QFileInfo(url.toLocalFile()).absolutePath();
                if (!QDir().mkpath(folder)) {
                    made = fail(cd::makeError(cd::PersistentStoreOperationError,
                                    QStringLiteral("The folder could not be made."), folder),
                        CloudStoreErrorCauseCreateStorePath, folder);
                    break;
                }
            }
            if (!made)
                break;

            switch (strategy) {
            case CloudStoreMigrationStrategyCopyEntities:
                log(QStringLiteral(
                    "Seeding store (strategy: CloudStoreMigrationStrategyCopyEntities): %1 -> %2")
                        .arg(fileName(seedURL), fileName(targetURL)));
                result = copyMigrateStore(seedURL, seedOptions.value_or(QVariantMap()), targetURL,
                    targetOptions, errorOut, cause, context);
                if (!result)
                    removeStoreFiles(targetURL.toLocalFile());
                break;
            case CloudStoreMigrationStrategyIOS: {
                log(QStringLiteral("Seeding store (strategy: CloudStoreMigrationStrategyIOS): %1 "
                                   "-> %2")
                        .arg(fileName(seedURL), fileName(targetURL)));
                auto coordinator = persistentStoreCoordinator();
                Error failure;
                auto seedStore = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, seedURL,
                    seedOptions.value_or(QVariantMap()), &failure);
                if (!seedStore) {
                    result
                        = fail(failure, CloudStoreErrorCauseOpenSeedStore, seedURL.toLocalFile());
                    break;
                }
                if (!coordinator->migratePersistentStore(
                        seedStore, targetURL, targetOptions, cd::SQLiteStoreType, &failure)) {
                    result = fail(failure, CloudStoreErrorCauseSeedStore, targetURL.toLocalFile());
                    removeStoreFiles(targetURL.toLocalFile());
                    break;
                }
                result = true;
                break;
            }
            case CloudStoreMigrationStrategyManual: {
                log(QStringLiteral("Seeding store (strategy: CloudStoreMigrationStrategyManual): "
                                   "%1 -> %2")
                        .arg(fileName(seedURL), fileName(targetURL)));
                CloudStoreManagerDelegate* delegate = m_delegate;
                Error failure;
                if (!delegate
                    || !delegate->cloudStoreManagerManuallyMigrateStore(*this, seedURL,
                        seedOptions.value_or(QVariantMap()), targetURL, targetOptions, &failure)) {
                    if (failure.isNull()) {
                        failure = cd::makeError(cd::MigrationError,
                            QStringLiteral("The store was not migrated by the application."),
                            seedURL.toLocalFile());
                    }
                    result = fail(failure, CloudStoreErrorCauseSeedStore, seedURL.toLocalFile());
                    removeStoreFiles(targetURL.toLocalFile());
                    break;
                }
                result = true;
                break;
            }
            case CloudStoreMigrationStrategyNone:
                result = true;
                break;
            default:
                // A strategy the manager does not know seeds nothing, and says so.
                result = fail(cd::makeError(cd::MigrationError,
                                  QStringLiteral("Unknown migration strategy: %1").arg(strategy),
                                  targetURL.toLocalFile()),
                    CloudStoreErrorCauseSeedStore, targetURL.toLocalFile());
                break;
            }
        } while (false);
    } catch (const std::exception& exception) {
        *cause = CloudStoreErrorCauseSeedStore;
        *context = exceptionContext(exception);
        logError(exceptionText(exception), *cause, *context);
        result = false;
    }
    if (!copyURL.isEmpty())
        removeStoreFiles(copyURL.toLocalFile());
    return result;
}

bool CloudStoreManager::copyMigrateStore(const QUrl& seedURL, const QVariantMap& seedOptions,
    const QUrl& targetURL, const QVariantMap& targetOptions, Error* errorOut, qint32* cause,
    QVariant* context)
{
    auto fail = [&](const Error& failure, qint32 why, const QVariant& where) {
        if (errorOut)
            *errorOut = failure;
        if (cause)
            *cause = why;
        if (context)
            *context = where;
        error(failure, why, where);
        return false;
    };
    Error failure;
    auto seedCoordinator = std::make_shared<Coordinator>(m_model);
    auto seedStore = seedCoordinator->addPersistentStore(
        cd::SQLiteStoreType, {}, seedURL, seedOptions, &failure);
    if (!seedStore)
        return fail(failure, CloudStoreErrorCauseOpenSeedStore, seedURL.toLocalFile());
    auto targetCoordinator = std::make_shared<Coordinator>(m_model);
    auto targetStore = targetCoordinator->addPersistentStore(
        cd::SQLiteStoreType, {}, targetURL, targetOptions, &failure);
    if (!targetStore)
        return fail(failure, CloudStoreErrorCauseOpenActiveStore, targetURL.toLocalFile());

    bool result = true;
    {
        cd::ManagedObjectContext seedContext(
            cd::ManagedObjectContext::ConcurrencyType::Confinement);
        seedContext.setPersistentStoreCoordinator(seedCoordinator);
        cd::ManagedObjectContext targetContext(
            cd::ManagedObjectContext::ConcurrencyType::Confinement);
        targetContext.setPersistentStoreCoordinator(targetCoordinator);

        QVariantMap metadata = seedCoordinator->metadataForPersistentStore(seedStore);
        for (auto it = metadata.begin(); it != metadata.end();) {
            it = it.key().startsWith(cd::UbiquityMetadataPrefix) ? metadata.erase(it)
                                                                 : std::next(it);
        }
        metadata.insert(targetCoordinator->metadataForPersistentStore(targetStore));
        Error metadataError;
        if (!targetCoordinator->setMetadata(metadata, targetStore, &metadataError))
            result = fail(metadataError, CloudStoreErrorCauseSeedStore, targetURL.toLocalFile());

        QHash<const cd::ManagedObject*, cd::ManagedObject*> cache;
        cache.reserve(MigrationFetchBatchSize);
        for (const cd::EntityDescription* entity : m_model->entities()) {
            if (!result)
                break;
            cd::FetchRequest request(entity->name());
            request.setFetchBatchSize(MigrationFetchBatchSize);
            Error fetchError;
            const auto objects = seedContext.executeFetchRequest(request, &fetchError);
            if (!fetchError.isNull()) {
                result = fail(fetchError, CloudStoreErrorCauseSeedStore, seedURL.toLocalFile());
                break;
            }
            for (cd::ManagedObject* object : objects)
                copyMigrateObject(object, targetContext, cache);
        }
        if (result) {
            Error saveError;
            if (!targetContext.save(&saveError))
                result = fail(saveError, CloudStoreErrorCauseSeedStore, seedURL.toLocalFile());
        }
    }
    Error removal;
    if (!seedCoordinator->removePersistentStore(seedStore, &removal))
        fail(removal, CloudStoreErrorCauseClearStore, QVariant::fromValue(seedStore));
    if (!targetCoordinator->removePersistentStore(targetStore, &removal))
        fail(removal, CloudStoreErrorCauseClearStore, QVariant::fromValue(targetStore));
    return result;
}

cd::ManagedObject* CloudStoreManager::copyMigrateObject(cd::ManagedObject* source,
    cd::ManagedObjectContext& targetContext,
    QHash<const cd::ManagedObject*, cd::ManagedObject*>& cache)
{
    if (!source)
        return nullptr;
    if (cd::ManagedObject* known = cache.value(source))
        return known;
    cd::ManagedObject* copy = targetContext.insertNewObject(source->entity().name());
    if (!copy)
        return nullptr;
    // Recorded first, so that an object reached again is not copied twice.
    cache.insert(source, copy);
    const auto& attributes = source->entity().attributes();
    for (int i = 0; i < attributes.size(); ++i)
        copy->setValue(i, source->value(i));
    return copy;
}

// ---------------------------------------------------------------------------------------
// Switching, deletion and rebuild

void CloudStoreManager::setEnabledStore(quint64 store)
{
    m_enabledStore = store;
    if (store == EnabledStoreCloud && !cloudEnabled())
        platform::UserDefaults::standard().setBool(CloudEnabledKey, true);
    else if (store == EnabledStoreLocal && cloudEnabled())
        platform::UserDefaults::standard().setBool(CloudEnabledKey, false);
}

void CloudStoreManager::setCloudEnabled(bool enabled)
{
    if (cloudEnabled() == enabled)
        return;
    if (!ensureQueued([this, enabled] { setCloudEnabled(enabled); }))
        return;
    const bool was = cloudEnabled();
    if (was == enabled)
        return;
    platform::UserDefaults::standard().setBool(CloudEnabledKey, enabled);
    auto state
        = [](bool on) { return on ? QStringLiteral("enabled") : QStringLiteral("disabled"); };
    log(QStringLiteral("Switching cloud %1 -> %2").arg(state(was), state(enabled)));
    reloadStore();
}

bool CloudStoreManager::cloudSafeForSeeding() const
{
    return !tentativeStoreUUID().isEmpty() || storeUUID_ThreadSafe().isEmpty();
}

bool CloudStoreManager::dispatchAndWaitFor(const Confirmation& confirmation)
{
    struct Shared {
        std::promise<bool> answer;
        std::atomic<bool> answered { false };
    };
    auto shared = std::make_shared<Shared>();
    auto answered = shared->answer.get_future();
    platform::dispatch::asyncMain([confirmation, shared] {
        confirmation([shared](bool yes) {
            if (!shared->answered.exchange(true))
                shared->answer.set_value(yes);
        });
    });
    return answered.get();
}

bool CloudStoreManager::setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(
    Confirmation confirmation)
{
    if (cloudEnabled())
        return true;
    if (!ensureQueued([this, confirmation] {
            setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(confirmation);
        }))
        return false;
    if (cloudSafeForSeeding()) {
        log(QStringLiteral("Will enable cloud, %1 cloud store.")
                .arg(QStringLiteral("using existing")));
        setCloudEnabled(true);
        return true;
    }
    auto coordinator = persistentStoreCoordinator();
    coordinator->unlock();
    const bool overwrite = dispatchAndWaitFor(confirmation);
    coordinator->lock();
    log(QStringLiteral("Will enable cloud, %1 cloud store.")
            .arg(overwrite ? QStringLiteral("overwriting") : QStringLiteral("using existing")));
    if (overwrite)
        return migrateLocalToCloud();
    setCloudEnabled(true);
    return true;
}

bool CloudStoreManager::setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(
    Confirmation confirmation)
{
    if (!cloudEnabled())
        return true;
    if (!ensureQueued([this, confirmation] {
            setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(confirmation);
        }))
        return false;
    if (QFileInfo::exists(m_localStoreURL.toLocalFile())) {
        auto coordinator = persistentStoreCoordinator();
        coordinator->unlock();
        const bool overwrite = dispatchAndWaitFor(confirmation);
        coordinator->lock();
        log(QStringLiteral("Will disable cloud, %1 local store.")
                .arg(overwrite ? QStringLiteral("overwriting") : QStringLiteral("using existing")));
        if (overwrite)
            return migrateCloudToLocal();
    } else {
        log(QStringLiteral("Will disable cloud, %1 local store.")
                .arg(QStringLiteral("using existing")));
    }
    if (tryLoadLocalStore())
        return true;
    tryLoadCloudStore();
    return false;
}

bool CloudStoreManager::migrateLocalToCloud()
{
    if (!ensureQueued([this] { migrateLocalToCloud(); }))
        return false;
    if (!QFileInfo::exists(m_localStoreURL.toLocalFile())) {
        logError(QStringLiteral("Cannot migrate local to cloud: Local store doesn't exist."),
            CloudStoreErrorCauseSeedStore, m_localStoreURL.toLocalFile());
        return false;
    }
    log(QStringLiteral("Will overwrite the cloud store with the local store."));
    setMigrationStoreURL(m_localStoreURL);
    const bool wasEnabled = cloudEnabled();
    return loadCloudStoreUnderNewUUID(wasEnabled);
}

bool CloudStoreManager::migrateCloudToLocal()
{
    if (!ensureQueued([this] { migrateCloudToLocal(); }))
        return false;
    log(QStringLiteral("Will overwrite the local store with the cloud store (using cloud logs)."));
    setMigrationStoreURL(URLForCloudStore());
    deleteLocalStore();
    const bool wasEnabled = cloudEnabled();
    if (tryLoadLocalStore())
        return true;
    revertMigration(wasEnabled);
    return false;
}

bool CloudStoreManager::loadCloudStoreUnderNewUUID(bool wasEnabled)
{
    const QString oldUUID = storeUUID_ThreadSafe();
    createTentativeStoreUUID();
    if (tryLoadCloudStore()) {
        const QString newUUID = storeUUID_ThreadSafe();
        if (!oldUUID.isEmpty() && !newUUID.isEmpty() && oldUUID != newUUID)
            deleteCloudStoreUUID(oldUUID, false);
        return true;
    }
    revertMigration(wasEnabled);
    return false;
}

void CloudStoreManager::revertMigration(bool enableCloud)
{
    log(QStringLiteral("Reverting migration attempt of %1, will %2 cloud.")
            .arg(orUnset(fileName(migrationStoreURL())),
                enableCloud ? QStringLiteral("enable") : QStringLiteral("disable")));
    setMigrationStoreURL({});
    if (enableCloud)
        tryLoadCloudStore();
    else
        tryLoadLocalStore();
}

bool CloudStoreManager::rebuildCloudContentFromCloudStoreOrLocalStore(
    bool allowRebuildFromLocalStore)
{
    if (!ensureQueued([this, allowRebuildFromLocalStore] {
            rebuildCloudContentFromCloudStoreOrLocalStore(allowRebuildFromLocalStore);
        }))
        return false;
    const bool wasEnabled = cloudEnabled();
    const QUrl cloudStore = URLForCloudStore();
    const QString contentFolder
        = QDir(URLForCloudContentDirectory().toLocalFile()).filePath(storeUUID());
    const bool haveContent
        = !URLForCloudContentDirectory().isEmpty() && QFileInfo(contentFolder).isDir();
    const bool haveStore = QFileInfo::exists(cloudStore.toLocalFile());
    if (!haveContent && !haveStore) {
        if (allowRebuildFromLocalStore) {
            log(QStringLiteral("Cannot rebuild cloud content: Cloud store doesn't exist.  Will "
                               "rebuild from local store."));
            return migrateLocalToCloud();
        }
        log(QStringLiteral("Cannot rebuild cloud content: Cloud store doesn't exist.  Giving up."));
        reloadStore();
        return false;
    }
    if (haveStore) {
        log(QStringLiteral(
            "Will rebuild cloud content from the cloud store (ignoring cloud logs)."));
        clearStore();
        const QUrl source = child(URLForCloudStoreDirectory(), MigrationSourceName);
        setMigrationStoreURL(source);
        removeStoreFiles(source.toLocalFile());
        QFile store(cloudStore.toLocalFile());
        if (!store.copy(source.toLocalFile())) {
            error(cd::makeError(cd::PersistentStoreOperationError,
                      QStringLiteral("The cloud store could not be copied: %1")
                          .arg(store.errorString()),
                      source.toLocalFile()),
                CloudStoreErrorCauseSeedStore, source.toLocalFile());
            revertMigration(wasEnabled);
            return false;
        }
        // The copy seeds a store of a new identity, whose confirmation clears the
        // corruption mark; under the old one the load would find the damaged content again.
        return loadCloudStoreUnderNewUUID(wasEnabled);
    }
    log(QStringLiteral("Will rebuild cloud content from the cloud store (using cloud logs)."));
    setMigrationStoreURL(URLForCloudStore());
    createTentativeStoreUUID();
    if (tryLoadCloudStore())
        return true;
    revertMigration(wasEnabled);
    return false;
}

bool CloudStoreManager::removeItemAtURL(const QUrl& url, bool localOnly)
{
    bool ran = false;
    bool removed = true;
    cd::FileCoordinator coordinator;
    Error failure;
    const bool coordinated = coordinator.coordinateWritingItemAtURL(
        url, cd::FileCoordinator::WritingForDeleting,
        [&](const QUrl& target) {
            ran = true;
            const QString path = target.toLocalFile();
            if (!QFileInfo::exists(path))
                return;
            Error removal;
            if (localOnly && cd::CloudContainer::isUbiquitousItemAtURL(target)) {
                removed = cd::CloudContainer::evictUbiquitousItemAtURL(target, &removal);
                if (!removed)
                    error(removal, CloudStoreErrorCauseDeleteStore, path);
            } else if (!removeItem(path)) {
                removed = false;
                error(cd::makeError(cd::PersistentStoreOperationError,
                          QStringLiteral("The item could not be removed."), path),
                    CloudStoreErrorCauseDeleteStore, path);
            }
        },
        &failure);
    if (!coordinated)
        error(failure, CloudStoreErrorCauseDeleteStore, url.toLocalFile());
    // A removal that failed is no success, whatever else went well.
    return ran && removed;
}

void CloudStoreManager::deleteCloudContainerLocalOnly(bool localOnly)
{
    if (!ensureQueued([this, localOnly] { deleteCloudContainerLocalOnly(localOnly); }))
        return;
    log(QStringLiteral("Will delete the cloud container %1.")
            .arg(localOnly ? QStringLiteral("on this device")
                           : QStringLiteral("on this device and in the cloud")));
    auto finish = [this] {
        if (cloudEnabled())
            reloadStore();
    };
    try {
        if (cloudEnabled())
            clearStore();
        removeItemAtURL(URLForCloudContainer(), localOnly);
        if (!localOnly) {
            createTentativeStoreUUID();
            auto& values = cd::UbiquitousKeyValueStore::defaultStore();
            values.synchronize();
            const QVariantMap all = values.dictionaryRepresentation();
            for (auto it = all.cbegin(); it != all.cend(); ++it)
                values.removeObjectForKey(it.key());
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void CloudStoreManager::deleteCloudStoreLocalOnly(bool localOnly)
{
    deleteCloudStoreUUID(storeUUID_ThreadSafe(), localOnly);
    if (cloudEnabled())
        reloadStore();
}

bool CloudStoreManager::deleteCloudStoreUUID(const QString& uuid, bool localOnly)
{
    if (!ensureQueued([this, uuid, localOnly] { deleteCloudStoreUUID(uuid, localOnly); }))
        return false;
    log(QStringLiteral("Will delete the cloud store (UUID:%1) %2.")
            .arg(orUnset(uuid),
                localOnly ? QStringLiteral("on this device")
                          : QStringLiteral("on this device and in the cloud")));
    if (cloudEnabled() && storeUUID_ThreadSafe() == uuid)
        clearStore();
    const QUrl storeURL = URLForCloudStoreWithUUID(uuid);
    QVariantMap options = optionsForCloudStoreURL(storeURL);
    // The store's content is the account's, and goes only from its folder.
    options.insert(cd::PersistentStoreUbiquitousIdentityTokenOption, loadedAccountToken());
    Error failure;
    if (localOnly) {
        // Built again from the cloud's content, which stays.
        options.insert(cd::PersistentStoreRebuildFromUbiquitousContentOption, true);
        auto coordinator = std::make_shared<Coordinator>(m_model);
        if (!coordinator->addPersistentStore(
                cd::SQLiteStoreType, {}, storeURL, options, &failure)) {
            error(failure, CloudStoreErrorCauseDeleteStore, storeURL);
            return false;
        }
        return true;
    }
    if (!cd::UbiquitousContent::removeUbiquitousContentAndPersistentStore(
            storeURL, options, &failure)) {
        error(failure, CloudStoreErrorCauseDeleteStore, storeURL);
        return false;
    }
    return true;
}

void CloudStoreManager::deleteLocalStore()
{
    if (!ensureQueued([this] { deleteLocalStore(); }))
        return;
    log(QStringLiteral("Will delete the local store."));
    auto finish = [this] {
        if (!cloudEnabled())
            reloadStore();
    };
    try {
        if (!cloudEnabled())
            clearStore();
        const QUrl local = URLForLocalStore();
        const auto presenter = storeFilePresenter();
        cd::FileCoordinator coordinator(presenter.get());
        Error failure;
        if (!coordinator.coordinateWritingItemAtURL(
                local, cd::FileCoordinator::WritingForDeleting,
                [&](const QUrl& target) {
                    const QString path = target.toLocalFile();
                    if (QFileInfo::exists(path) && !removeItem(path)) {
                        error(cd::makeError(cd::PersistentStoreOperationError,
                                  QStringLiteral("The local store could not be removed."), path),
                            CloudStoreErrorCauseDeleteStore, path);
                    }
                },
                &failure))
            error(failure, CloudStoreErrorCauseDeleteStore, local.toLocalFile());
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// ---------------------------------------------------------------------------------------
// Identity, change notifications and corruption

cd::FileCoordinator CloudStoreManager::markerCoordinator(bool corrupted) const
{
    std::lock_guard lock(m_mutex);
    if (corrupted)
        return cd::FileCoordinator(m_corruptedUUIDPresenter.get());
    return cd::FileCoordinator(m_storeUUIDPresenter.get());
}

QVariant CloudStoreManager::loadedAccountToken() const
{
    std::lock_guard lock(m_mutex);
    return m_cloudStoreToken.isValid() ? m_cloudStoreToken : m_currentIdentityToken;
}

QString CloudStoreManager::identityCacheKey(const QUrl& marker, const QVariant& token)
{
    // Every account's marker lies at the same path: the account tells them apart.
    return QStringLiteral("%1@%2").arg(
        QFileInfo(marker.toLocalFile()).absoluteFilePath(), token.toString());
}

QString CloudStoreManager::storeUUID_ThreadSafe() const
{
    const QString tentative = tentativeStoreUUID();
    if (!tentative.isEmpty())
        return tentative;
    const QUrl marker = URLForCloudStoreUUID();
    const QVariant token = loadedAccountToken();
    if (!marker.isEmpty() && token.isValid()) {
        const QString cached
            = platform::UserDefaults::standard().stringForKey(identityCacheKey(marker, token));
        if (!cached.isEmpty())
            return cached;
    }
    return readStoreUUID();
}

QString CloudStoreManager::storeUUID()
{
    const QString uuid = storeUUID_ThreadSafe();
    return uuid.isEmpty() ? createTentativeStoreUUID() : uuid;
}

QString CloudStoreManager::storeUUIDForLog() const
{
    try {
        return orUnset(storeUUID_ThreadSafe());
    } catch (const platform::Exception& exception) {
        return QStringLiteral("<Error:%1>").arg(exception.reason());
    } catch (const std::exception& exception) {
        return QStringLiteral("<Error:%1>").arg(exceptionText(exception));
    }
}

QString CloudStoreManager::readStoreUUID() const
{
    return readStoreUUIDMarker().uuid;
}

CloudStoreManager::MarkerRead CloudStoreManager::readStoreUUIDMarker() const
{
    const QUrl marker = URLForCloudStoreUUID();
    // Without a cloud there is no marker to read.
    if (marker.isEmpty())
        return {};
    const QVariant token = loadedAccountToken();
    const MarkerRead read = readMarkerContent(token);
    const QString key = identityCacheKey(marker, token);
    std::lock_guard lock(m_mutex);
    switch (read.state) {
    case MarkerRead::Missing:
        platform::UserDefaults::standard().removeObject(key);
        m_markerEmptySince.reset();
        break;
    case MarkerRead::Present:
        platform::UserDefaults::standard().setObject(key, read.uuid);
        m_seenStoreUUID = read.uuid;
        m_seenToken = token;
        m_markerEmptySince.reset();
        break;
    case MarkerRead::BeingWritten:
        if (!m_markerEmptySince)
            m_markerEmptySince = std::chrono::steady_clock::now();
        break;
    case MarkerRead::OutOfReach:
        break;
    }
    return read;
}

CloudStoreManager::MarkerRead CloudStoreManager::readMarkerContent(const QVariant& token) const
{
    const QUrl marker = URLForCloudStoreUUID();
    MarkerRead away;
    away.state = MarkerRead::OutOfReach;
    if (marker.isEmpty() || !cd::CloudContainer::holdsToken(token))
        return away;
    auto* self = const_cast<CloudStoreManager*>(this);
    MarkerRead read;
    Error failure;
    const bool coordinated = markerCoordinator(false).coordinateReadingItemAtURL(
        marker,
        [&](const QUrl& url) {
            const QString path = url.toLocalFile();
            if (!QFileInfo::exists(path))
                return;
            read.state = MarkerRead::BeingWritten;
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                self->error(cd::makeError(cd::PersistentStoreOperationError,
                                QStringLiteral("The StoreUUID could not be read: %1")
                                    .arg(file.errorString()),
                                path),
                    CloudStoreErrorCauseOpenActiveStore, path);
                return;
            }
            read.uuid = QString::fromLatin1(file.readAll());
            if (!read.uuid.isEmpty())
                read.state = MarkerRead::Present;
        },
        &failure);
    if (!coordinated) {
        self->error(failure, CloudStoreErrorCauseOpenActiveStore, marker.toLocalFile());
        read.state = MarkerRead::BeingWritten;
    }
    // What was read is the account's only if its folder stayed in the place meanwhile.
    if (!cd::CloudContainer::holdsToken(token))
        return away;
    return read;
}

CloudStoreManager::IdentityForLoad CloudStoreManager::identityForLoad(const QVariant& token)
{
    if (!tentativeStoreUUID().isEmpty())
        return IdentityForLoad::Settled;
    const QUrl marker = URLForCloudStoreUUID();
    if (marker.isEmpty() || !token.isValid())
        return IdentityForLoad::OutOfReach;
    if (!platform::UserDefaults::standard().stringForKey(identityCacheKey(marker, token)).isEmpty())
        return IdentityForLoad::Settled;
    const MarkerRead read = readStoreUUIDMarker();
    switch (read.state) {
    case MarkerRead::Present:
        return IdentityForLoad::Settled;
    case MarkerRead::BeingWritten:
        return IdentityForLoad::AwaitMarker;
    case MarkerRead::OutOfReach:
        return IdentityForLoad::OutOfReach;
    case MarkerRead::Missing:
        break;
    }
    std::lock_guard lock(m_mutex);
    // Missing on two looks in this account: the load makes the account's identity.
    if (m_absenceConfirmedToken.isValid() && m_absenceConfirmedToken == token)
        return IdentityForLoad::Settled;
    return IdentityForLoad::LookIntoAbsence;
}

void CloudStoreManager::updateStoreUUIDAsynchronously(bool asynchronously)
{
    if (asynchronously) {
        platform::dispatch::asyncGlobal(
            [lifetime = m_lifetime] {
                lifetime->call(
                    [](CloudStoreManager& self) { self.updateStoreUUIDAsynchronously(false); });
            },
            platform::dispatch::Priority::Background);
        return;
    }
    rereadStoreUUID();
}

bool CloudStoreManager::rereadStoreUUID()
{
    const MarkerRead read = readStoreUUIDMarker();
    switch (read.state) {
    case MarkerRead::BeingWritten:
        // Its next change tells what it holds; until then nothing changes, and one left
        // so for long is mended.
        log(MarkerBeingWrittenText);
        if (!activeCloudStoreUUID().isEmpty())
            scheduleMarkerMend(m_markerMendDelayMs);
        return false;
    case MarkerRead::OutOfReach:
        // Not this account's to read: its change is told as a change of account.
        accommodateSignOut();
        return false;
    case MarkerRead::Missing:
        if (accommodateMissingStoreUUID())
            return false;
        break;
    case MarkerRead::Present:
        break;
    }
    const QString active = activeCloudStoreUUID();
    if (!active.isEmpty() && active != read.uuid && cloudEnabled())
        reloadStore();
    return true;
}

bool CloudStoreManager::accommodateMissingStoreUUID()
{
    if (!cloudEnabled())
        return false;
    {
        std::lock_guard lock(m_mutex);
        if (m_lookingForDeletion)
            return true;
        if (m_activeCloudStoreUUID.isEmpty()) {
            return !m_lastCloudStoreUUID.isEmpty()
                && m_lastCloudStoreUUID == m_deletedCloudStoreUUID;
        }
    }
    // Seen by this run or not, only two looks tell what its absence means.
    checkCloudDeletion();
    return true;
}

void CloudStoreManager::checkCloudDeletion()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_lookingForDeletion)
            return;
        m_lookingForDeletion = true;
    }
    enqueue([this] { lookForCloudDeletion(1); });
}

bool CloudStoreManager::cloudIsTheLoadedAccount() const
{
    const QVariant token = cd::CloudContainer::ubiquityIdentityToken();
    std::lock_guard lock(m_mutex);
    return token.isValid() && token == m_cloudStoreToken;
}

QList<CloudStoreManager::Block> CloudStoreManager::stopLooking()
{
    std::lock_guard lock(m_mutex);
    m_lookingForDeletion = false;
    return std::exchange(m_afterLooks, {});
}

void CloudStoreManager::settleLooking(QList<Block> waiting)
{
    // Behind what the looks ended in; behind new looks, should that have started some.
    for (Block& block : waiting)
        enqueueWhenMarkerSettled(std::move(block));
}

void CloudStoreManager::lookForCloudDeletion(int look)
{
    assertQueued();
    if (!cloudEnabled()) {
        settleLooking(stopLooking());
        return;
    }
    if (!cloudIsTheLoadedAccount()) {
        auto waiting = stopLooking();
        log(QStringLiteral("The StoreUUID is out of reach: the cloud is away or another "
                           "account's.  Nothing is deleted."));
        accommodateSignOut();
        settleLooking(std::move(waiting));
        return;
    }
    const QVariant token = locked(m_cloudStoreToken);
    const MarkerRead read = readMarkerContent(token);
    if (read.state != MarkerRead::Missing) {
        auto waiting = stopLooking();
        rereadStoreUUID();
        // A load that waited for the looks goes on with what is there now.
        if (cloudEnabled() && activeCloudStoreUUID().isEmpty()
            && m_enabledStore == EnabledStoreCloud)
            reloadStore();
        settleLooking(std::move(waiting));
        return;
    }
    if (look < 2) {
        log(QStringLiteral("The StoreUUID is missing; looking again in %1 ms before anything "
                           "changes.")
                .arg(m_deletionCheckDelayMs.load()));
        platform::dispatch::afterMain(m_deletionCheckDelayMs, [lifetime = m_lifetime, look] {
            lifetime->call([look](CloudStoreManager& self) {
                self.enqueue([raw = &self, look] { raw->lookForCloudDeletion(look + 1); });
            });
        });
        return;
    }
    auto waiting = stopLooking();
    const QUrl marker = URLForCloudStoreUUID();
    platform::UserDefaults::standard().removeObject(identityCacheKey(marker, token));
    bool seen = false;
    {
        std::lock_guard lock(m_mutex);
        seen = !m_seenStoreUUID.isEmpty() && m_seenToken == token;
    }
    if (seen) {
        handleConfirmedCloudDeletion();
    } else {
        // This run never saw the account's marker: there is none to delete, and the cloud
        // store may have an identity of its own.
        log(QStringLiteral("The StoreUUID is missing in this account; the cloud store gets a "
                           "new identity."));
        {
            std::lock_guard lock(m_mutex);
            m_absenceConfirmedToken = token;
        }
        if (cloudEnabled())
            reloadStore();
    }
    settleLooking(std::move(waiting));
}

void CloudStoreManager::accommodateSignOut()
{
    // Handled as the change of account it is, if that is not told already: a reload that
    // deletes nothing. The monitor, which may not have seen it yet, is told to look too:
    // otherwise the account's return before its next poll would be no change to it.
    cd::CloudContainer::lookAtIdentity();
    if (currentIdentityToken() != cd::CloudContainer::ubiquityIdentityToken())
        cloudStoreChanged(Notification());
}

void CloudStoreManager::scheduleMarkerMend(int delayMs)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_mendScheduled)
            return;
        m_mendScheduled = true;
    }
    platform::dispatch::afterMain(std::max(delayMs, 0), [lifetime = m_lifetime] {
        lifetime->call([](CloudStoreManager& self) {
            self.enqueue([raw = &self] {
                {
                    std::lock_guard lock(raw->m_mutex);
                    raw->m_mendScheduled = false;
                }
                raw->mendLeftEmptyStoreUUID();
            });
        });
    });
}

void CloudStoreManager::setMarkerMendHook(MarkerMendHook hook)
{
    std::lock_guard lock(m_mutex);
    m_markerMendHook = std::move(hook);
}

void CloudStoreManager::mendLeftEmptyStoreUUID()
{
    if (!ensureQueued([this] { mendLeftEmptyStoreUUID(); }))
        return;
    const QString identity = activeCloudStoreUUID();
    if (!cloudEnabled() || identity.isEmpty() || !cloudIsTheLoadedAccount())
        return;
    std::optional<std::chrono::steady_clock::time_point> since;
    {
        std::lock_guard lock(m_mutex);
        since = m_markerEmptySince;
    }
    // Seen whole, or gone, since it was found empty.
    if (!since)
        return;
    const auto due = *since + std::chrono::milliseconds(m_markerMendDelayMs.load());
    const auto now = std::chrono::steady_clock::now();
    if (now < due) {
        scheduleMarkerMend(
            int(std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1));
        return;
    }
    const QUrl marker = URLForCloudStoreUUID();
    const QVariant token = locked(m_cloudStoreToken);
    bool mended = false;
    // A plain write: the empty version it replaces is no version worth keeping.
    markerCoordinator(false).coordinateWritingItemAtURL(marker, 0, [&](const QUrl& url) {
        const QString path = url.toLocalFile();
        // Only one still empty or unreadable: one that names an identity by now, whichever,
        // stays, and one gone is a deletion's to look into.
        const auto stillLeftEmpty = [&path] {
            if (!QFileInfo::exists(path))
                return false;
            QFile file(path);
            return !file.open(QIODevice::ReadOnly) || file.readAll().isEmpty();
        };
        const auto leftAsItIs = [&] {
            log(QStringLiteral("%1 names an identity by now; it is left as it is.")
                    .arg(fileName(url)));
        };
        if (!stillLeftEmpty()) {
            if (QFileInfo::exists(path))
                leftAsItIs();
            return;
        }
        if (const auto hook = locked(m_markerMendHook))
            hook(path);
        // Another machine may write it as this one does: it is looked at again last, once
        // the identity lies whole beside it, and replaced only while still left empty.
        bool namedByNow = false;
        QString problem;
        mended = cd::CloudContainer::writeFile(path, identity.toLatin1(), token, &problem, [&] {
            namedByNow = !stillLeftEmpty();
            return !namedByNow;
        });
        if (namedByNow) {
            leftAsItIs();
            return;
        }
        if (!mended) {
            error(cd::makeError(cd::PersistentStoreOperationError,
                      QStringLiteral("The marker could not be written: %1").arg(problem), path),
                CloudStoreErrorCauseConfirmActiveStore, path);
        }
    });
    if (!mended)
        return;
    log(QStringLiteral("%1 was left empty; wrote %2 into it again.")
            .arg(fileName(marker), identity));
    platform::UserDefaults::standard().setObject(identityCacheKey(marker, token), identity);
    std::lock_guard lock(m_mutex);
    m_seenStoreUUID = identity;
    m_seenToken = token;
    m_markerEmptySince.reset();
}

bool CloudStoreManager::claimCloudDeletion(QString* identity)
{
    std::lock_guard lock(m_mutex);
    // The one loaded, else the one the marker named when this run saw it in the account,
    // else the last one loaded.
    *identity = !m_activeCloudStoreUUID.isEmpty()
        ? m_activeCloudStoreUUID
        : (!m_seenStoreUUID.isEmpty() && m_seenToken == m_cloudStoreToken ? m_seenStoreUUID
                                                                          : m_lastCloudStoreUUID);
    if (!identity->isEmpty() && *identity == m_deletedCloudStoreUUID)
        return false;
    m_deletedCloudStoreUUID = *identity;
    return true;
}

void CloudStoreManager::setStoreUUID(const QString& uuid)
{
    setStoreUUID(uuid, desiredCloudVersion());
}

bool CloudStoreManager::writeMarker(
    const QUrl& marker, const QString& uuid, qint32 cause, bool corrupted)
{
    bool written = false;
    // Only into the account's own folder.
    const QVariant token = loadedAccountToken();
    markerCoordinator(corrupted).coordinateWritingItemAtURL(
        marker, cd::FileCoordinator::WritingForMerging, [&](const QUrl& url) {
            const QString path = url.toLocalFile();
            const QString folder = QFileInfo(path).absolutePath();
            if (!cd::CloudContainer::makeFolder(folder, token)) {
                error(cd::makeError(cd::PersistentStoreOperationError,
                          QStringLiteral("The marker's folder could not be made: the cloud "
                                         "folder is away or another account's."),
                          folder),
                    cause, folder);
                return;
            }
            // Written aside and renamed over the old one: a reader, here or on another
            // machine, never finds the marker empty or half written.
            QString problem;
            if (!cd::CloudContainer::writeFile(path, uuid.toLatin1(), token, &problem)) {
                error(cd::makeError(cd::PersistentStoreOperationError,
                          QStringLiteral("The marker could not be written: %1").arg(problem), path),
                    cause, path);
                return;
            }
            written = true;
        });
    return written;
}

void CloudStoreManager::setStoreUUID(const QString& uuid, qint32 version)
{
    if (!ensureQueued([this, uuid, version] { setStoreUUID(uuid, version); }))
        return;
    if (uuid.isEmpty())
        return;
    const QUrl marker = URLForCloudStoreUUIDForVersion(version);
    if (marker.isEmpty())
        return;
    log(QStringLiteral("Writing new StoreUUID:%1 to %2 (v%3).")
            .arg(uuid, fileName(marker))
            .arg(version));
    const QVariant token = loadedAccountToken();
    if (!writeMarker(marker, uuid, CloudStoreErrorCauseConfirmActiveStore, false))
        return;
    for (qint32 higher = desiredCloudVersion(); higher > version; --higher) {
        const QUrl other = URLForCloudStoreUUIDForVersion(higher);
        if (other == marker)
            continue;
        log(QStringLiteral("Removing %1 (v%2) to force version down to %3.")
                .arg(fileName(other))
                .arg(higher)
                .arg(version));
        markerCoordinator(false).coordinateWritingItemAtURL(
            other, cd::FileCoordinator::WritingForDeleting, [&token](const QUrl& url) {
                cd::CloudContainer::removeFile(url.toLocalFile(), token);
            });
        platform::UserDefaults::standard().removeObject(identityCacheKey(other, token));
    }
    // What this machine wrote is what it knows the marker holds.
    platform::UserDefaults::standard().setObject(identityCacheKey(marker, token), uuid);
    if (marker == URLForCloudStoreUUID()) {
        std::lock_guard lock(m_mutex);
        m_seenStoreUUID = uuid;
        m_seenToken = token;
        m_markerEmptySince.reset();
    }
    markerCoordinator(true).coordinateWritingItemAtURL(URLForCloudCorruptedUUIDForVersion(version),
        cd::FileCoordinator::WritingForDeleting,
        [&token](const QUrl& url) { cd::CloudContainer::removeFile(url.toLocalFile(), token); });
}

QString CloudStoreManager::createTentativeStoreUUID()
{
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    std::lock_guard lock(m_mutex);
    m_tentativeStoreUUID = uuid;
    return uuid;
}

void CloudStoreManager::confirmTentativeStoreUUID()
{
    const QString tentative = tentativeStoreUUID();
    if (tentative.isEmpty())
        return;
    log(QStringLiteral("Confirming tentative StoreUUID: %1").arg(tentative));
    setStoreUUID(tentative);
    unsetTentativeStoreUUID();
}

void CloudStoreManager::unsetTentativeStoreUUID()
{
    std::lock_guard lock(m_mutex);
    m_tentativeStoreUUID.clear();
}

void CloudStoreManager::markCloudStoreCorrupted()
{
    const QString uuid = storeUUID_ThreadSafe();
    {
        std::lock_guard lock(m_mutex);
        m_localCloudStoreCorruptedUUID = uuid;
    }
    if (uuid.isEmpty())
        return;
    const QUrl marker = URLForCloudCorruptedUUID();
    if (!marker.isEmpty())
        writeMarker(marker, uuid, CloudStoreErrorCauseCorruptActiveStore, true);
    enqueue([this] { handleCloudContentCorruption(); });
}

bool CloudStoreManager::handleCloudContentCorruption()
{
    assertQueued();
    if (!cloudEnabled())
        return false;
    const QUrl marker = URLForCloudCorruptedUUID();
    QString corruptUUID;
    if (!marker.isEmpty()) {
        Error failure;
        if (!markerCoordinator(true).coordinateReadingItemAtURL(
                marker,
                [&](const QUrl& url) {
                    const QString path = url.toLocalFile();
                    if (!QFileInfo::exists(path))
                        return;
                    QString problem;
                    corruptUUID = readText(path, &problem);
                    if (!problem.isEmpty()) {
                        error(cd::makeError(cd::PersistentStoreOperationError, problem, path),
                            CloudStoreErrorCauseCorruptActiveStore, path);
                    }
                },
                &failure))
            error(failure, CloudStoreErrorCauseCorruptActiveStore, marker.toLocalFile());
    }
    // Compared with the identity there is; looking makes none.
    const QString current = storeUUID_ThreadSafe();
    if (corruptUUID.isEmpty() || corruptUUID != current)
        return false;
    const bool deviceCorrupt = localCloudStoreCorruptedUUID() == current;
    if (deviceCorrupt)
        clearStore();
    log(QStringLiteral("Cloud content corruption detected (device store is %1).")
            .arg(deviceCorrupt ? QStringLiteral("corrupt") : QStringLiteral("healthy")));
    const QString waitText = QStringLiteral(
        "Handling cloud corruption with default strategy: Wait for a remote rebuild.");
    auto rebuild = [this] {
        log(QStringLiteral(
            "Handling cloud corruption with default strategy: Rebuilding cloud content."));
        rebuildCloudContentFromCloudStoreOrLocalStore(false);
    };
    CloudStoreManagerDelegate* delegate = m_delegate;
    if (delegate
        && delegate->cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(
            *this, !deviceCorrupt)) {
        log(QStringLiteral("Application handled cloud corruption."));
    } else if (deviceCorrupt) {
        log(waitText);
    } else {
        rebuild();
    }
    return true;
}

void CloudStoreManager::storeUUIDDidChange()
{
    if (!ensureQueued([this] { storeUUIDDidChange(); }))
        return;
    if (!rereadStoreUUID())
        return;
    const QString active = activeCloudStoreUUID();
    if (active.isEmpty() || active != storeUUID_ThreadSafe()) {
        log(QStringLiteral("StoreUUID changed %1 -> %2").arg(orUnset(active), storeUUIDForLog()));
        unsetTentativeStoreUUID();
        cloudStoreChanged(Notification());
    }
}

void CloudStoreManager::corruptedUUIDDidChange()
{
    if (!cloudEnabled())
        return;
    if (!ensureQueued([this] { corruptedUUIDDidChange(); }))
        return;
    if (!handleCloudContentCorruption() && activeCloudStoreUUID().isEmpty())
        reloadStore();
}

void CloudStoreManager::accommodateLocalDeletionWithCompletionHandler(const Completion& completion)
{
    // The store is closed before the file goes.
    enqueue(
        [this] {
            if (!cloudEnabled())
                clearStore();
        },
        true);
    completion(Error());
    if (!cloudEnabled()) {
        // A new store is made once the deleting party is done with the file, not under it
        // (waiting without the coordinator's lock, which that party may need).
        enqueue(
            [this] {
                const auto presenter = storeFilePresenter();
                cd::FileCoordinator(presenter.get())
                    .coordinateReadingItemAtURL(URLForLocalStore(), [](const QUrl&) {});
                enqueue([this] { reloadStore(); });
            },
            false, false);
    }
}

void CloudStoreManager::accommodateCloudDeletionWithCompletionHandler(const Completion& completion)
{
    // The deleting party goes on; what went is looked into before anything is thrown away
    // (a marker being rewritten, or a cloud folder away, deletes nothing).
    completion(Error());
    checkCloudDeletion();
}

void CloudStoreManager::handleConfirmedCloudDeletion()
{
    assertQueued();
    // The marker's absence may have been handled already, seen by another look.
    QString identity;
    if (!claimCloudDeletion(&identity))
        return;
    log(QStringLiteral("Handling cloud deletion."));
    if (cloudEnabled())
        clearStore();
    // The store of the identity deleted: a read that found the marker gone has forgotten
    // that identity already.
    const QUrl store = identity.isEmpty() ? URLForCloudStore() : URLForCloudStoreWithUUID(identity);
    const QString path = store.toLocalFile();
    if (QFileInfo::exists(path) && !removeItem(path)) {
        error(cd::makeError(cd::PersistentStoreOperationError,
                  QStringLiteral("The cloud store could not be removed."), path),
            CloudStoreErrorCauseDeleteStore, path);
    }
    removeItemAtURL(store, false);
    deleteMarkerOfIdentity(URLForCloudStoreUUID(), identity, false);
    deleteMarkerOfIdentity(URLForCloudCorruptedUUID(), identity, true);
    CloudStoreManagerDelegate* delegate = m_delegate;
    if (delegate && delegate->respondsToHandleCloudContentDeletion()) {
        delegate->cloudStoreManagerHandleCloudContentDeletion(*this);
        return;
    }
    if (cloudEnabled()) {
        log(QStringLiteral("Recovering from cloud deletion.  Falling back to local store."));
        setCloudEnabled(false);
    }
}

void CloudStoreManager::deleteMarkerOfIdentity(
    const QUrl& marker, const QString& identity, bool corrupted)
{
    const QVariant token = locked(m_cloudStoreToken);
    markerCoordinator(corrupted).coordinateWritingItemAtURL(
        marker, cd::FileCoordinator::WritingForDeleting, [&](const QUrl& url) {
            const QString path = url.toLocalFile();
            // Another account's marker in the place is not the deleted one.
            if (!QFileInfo::exists(path) || !cd::CloudContainer::holdsToken(token))
                return;
            QString problem;
            const QString named = readText(path, &problem);
            if (!problem.isEmpty() || named != identity) {
                log(QStringLiteral("Keeping %1: it names %2 now.")
                        .arg(fileName(url), orUnset(named)));
                return;
            }
            if (!cd::CloudContainer::removeFile(path, token)) {
                error(cd::makeError(cd::PersistentStoreOperationError,
                          QStringLiteral("The marker could not be removed."), path),
                    CloudStoreErrorCauseDeleteStore, path);
            }
        });
}

QVariant CloudStoreManager::accountToken()
{
    // A machine that has had an account takes a folder without a token for what it is most
    // likely to be, its account's folder not in the place (a share not mounted yet), and
    // never signs in to it: that would make a new account there.
    const QVariant token = locked(m_accountSeen) || hasHadAnAccount()
        ? cd::CloudContainer::ubiquityIdentityToken()
        : cd::CloudContainer::signIn();
    if (!token.isValid())
        return token;
    auto& defaults = platform::UserDefaults::standard();
    if (defaults.objectForKey(IdentityTokenKey) != token)
        defaults.setObject(IdentityTokenKey, token);
    std::lock_guard lock(m_mutex);
    m_accountSeen = true;
    return token;
}

bool CloudStoreManager::hasHadAnAccount() const
{
    if (platform::UserDefaults::standard().objectForKey(IdentityTokenKey).isValid())
        return true;
    // One from before the account was recorded: a replica of an account's store is here.
    const QDir stores(
        URLForCloudStoreDirectoryForCloudVersion(desiredCloudVersion()).toLocalFile());
    return !stores.entryList({ QStringLiteral("*.") + StoreExtension }, QDir::Files).isEmpty();
}

void CloudStoreManager::cloudStoreChanged(const Notification& notification)
{
    Q_UNUSED(notification);
    const QVariant token = accountToken();
    QVariant previous;
    bool changed = false;
    {
        std::lock_guard lock(m_mutex);
        previous = m_currentIdentityToken;
        if (!previous.isValid() || previous != token) {
            m_currentIdentityToken = token;
            changed = true;
        }
    }
    if (changed) {
        log(QStringLiteral("Identity token changed: %1 -> %2")
                .arg(orUnset(previous.toString()), orUnset(token.toString())));
    }
    if (cloudEnabled())
        reloadStore();
}

void CloudStoreManager::userDefaultsDidChange(const Notification& notification)
{
    Q_UNUSED(notification);
    enqueue([this] {
        const quint64 store = m_enabledStore;
        if (store == EnabledStoreNone || (store == EnabledStoreCloud && !cloudEnabled())
            || (store == EnabledStoreLocal && cloudEnabled()))
            reloadStore();
    });
}

void CloudStoreManager::applicationDidBecomeActive(const Notification& notification)
{
    Q_UNUSED(notification);
    const QVariant token = accountToken();
    const QVariant current = currentIdentityToken();
    if (!current.isValid() || current != token)
        cloudStoreChanged(Notification());
}

void CloudStoreManager::cloudStoreManagerDidDetectCorruption(const Notification& notification)
{
    const QVariant urls = notification.userInfo.value(StoreURLsErrorKey);
    bool mark = !urls.isValid() || urls.isNull();
    if (!mark) {
        const QString uuid = storeUUID_ThreadSafe();
        if (uuid.isEmpty())
            return;
        for (const QVariant& url : urls.toList()) {
            if (url.toUrl().toString().contains(uuid)) {
                mark = true;
                break;
            }
        }
    }
    if (!mark)
        return;
    logError(QStringLiteral("Detected iCloud transaction log import failure."),
        CloudStoreErrorCauseCorruptActiveStore, notification.userInfo);
    markCloudStoreCorrupted();
}

void CloudStoreManager::didImportChanges(const Notification& notification)
{
    // The context is asked for and merged into in one turn of the main queue: a store
    // change (which drops the application's context there) cannot come between the two,
    // and this thread never waits for the main one, which may be waiting for this manager
    // to go. The screens hear of the import once it is merged.
    platform::dispatch::asyncMain([lifetime = m_lifetime, notification] {
        lifetime->call([&](CloudStoreManager& self) { self.mergeImport(notification); });
    });
}

void CloudStoreManager::mergeImport(const Notification& notification)
{
    CloudStoreManagerDelegate* delegate = m_delegate;
    cd::ManagedObjectContext* context = delegate
        ? delegate->cloudStoreManagerManagedObjectContextForUbiquityChanges(*this, notification)
        : nullptr;
    if (context) {
        log(QStringLiteral("Importing ubiquity changes into application's MOC.  Changes:\n%1")
                .arg(describe(notification.userInfo)));
        bool failed = false;
        context->performBlockAndWait([&] {
            context->mergeChangesFromUbiquitousImport(notification.userInfo);
            Error failure;
            if (context->hasChanges() && !context->save(&failure)) {
                error(
                    failure, CloudStoreErrorCauseImportChanges, QVariant::fromValue(notification));
                failed = true;
            }
        });
        if (failed)
            reloadStore();
    } else {
        log(QStringLiteral(
            "Application did not specify an import MOC, not importing ubiquity changes:\n%1")
                .arg(describe(notification.userInfo)));
    }
    NotificationCenter::defaultCenter().post(
        StoreDidImportChangesNotification, this, notification.userInfo);
}

void CloudStoreManager::storesWillChange(const Notification& notification)
{
    Q_UNUSED(notification);
    fireBeginLoadingLogReason(QStringLiteral("Stores will change"));
}

void CloudStoreManager::storesDidChange(const Notification& notification)
{
    std::shared_ptr<Coordinator> coordinator;
    {
        std::lock_guard lock(m_mutex);
        coordinator = m_coordinator;
    }
    if (!coordinator || notification.object != coordinator.get()
        || coordinator->persistentStores().isEmpty())
        return;
    fireFinishedLoadingLogReason(QStringLiteral("Stores changed"), CloudStoreErrorCauseNoError,
        QVariant::fromValue(notification));
}
